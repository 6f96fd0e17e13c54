#pragma once

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// The splash window shown while the main window is created: borderless,
// centred on the screen, one picture filling it. It closes itself at the
// first timer tick at which the main window is showing.
class TfrmCover : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DesignWidth = 399;
    static constexpr int DesignHeight = 239;
    static constexpr int TimerInterval = 1000;

    // `executableFolder` holds the optional pictures "skin/ipodvideocover.jpg"
    // and "skin/videocover.jpg".
    explicit TfrmCover(const QString& executableFolder, QWidget* parent = nullptr);

    // The window whose showing ends the splash.
    void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    QLabel* imgCover;
    QTimer* tmr1;

public slots:
    void tmr1Timer();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate(const QString& executableFolder);
    void FormShow();
    static QPixmap DesignPicture();

    QPointer<QWidget> mainWindow_;
};
