#include "app/ui/ClarvixApplication.h"

#include "app/ui/AppException.h"

TClarvixApplication::TClarvixApplication(int& argc, char** argv)
    : QApplication(argc, argv), onException_(&ShowAppException)
{
}

void TClarvixApplication::SetExceptionHandler(TExceptionHandler handler)
{
    onException_ = handler ? std::move(handler) : TExceptionHandler(&ShowAppException);
}

bool TClarvixApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        try {
            onException_(receiver, e);
        } catch (...) {
            // A handler that fails must not take the program down with it.
        }
    } catch (...) {
        // Only std::exception carries a message; anything else is dropped
        // like the platform faults the handler never shows.
    }
    return false;
}
