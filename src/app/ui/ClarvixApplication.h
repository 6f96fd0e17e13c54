#pragma once

#include <QApplication>
#include <exception>
#include <functional>

// The application object. Exceptions that escape an event handler end only
// the current command: they are caught here and handed to the installed
// exception handler (ShowAppException unless another is installed).
class TClarvixApplication : public QApplication
{
    Q_OBJECT

public:
    using TExceptionHandler = std::function<void(QObject* sender, const std::exception& exception)>;

    TClarvixApplication(int& argc, char** argv);

    void SetExceptionHandler(TExceptionHandler handler);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    TExceptionHandler onException_;
};
