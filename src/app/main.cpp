// Program entry: the application object, the splash, the main window, the
// message loop.
#include "app/GlobalObject.h"
#include "app/ui/ClarvixApplication.h"
#include "app/ui/ColourThemes.h"
#include "app/ui/FrmCover.h"
#include "app/ui/FrmMain.h"
#include "engine/ui/Previewer.h"
#include "platform/ShellOpener.h"
#include "platform/Shutdown.h"
#include "platform/ui/MessageBoxDialogs.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// With CLARVIX_STARTUP_REPORT set, prints the time from program start to the
// first paint of the main window; the value "quit" then ends the program
// (start-up measurements).
class TStartupReport : public QObject
{
public:
    TStartupReport(QWidget* mainWindow, const QElapsedTimer& clock, bool quit) : clock_(clock), quit_(quit)
    {
        mainWindow->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            std::fprintf(stderr, "main window shown after %lld ms\n",
                         static_cast<long long>(clock_.elapsed()));
            if (quit_)
                // exit, not quit: quit asks every window to close, and the main
                // window would ask for confirmation.
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& clock_;
    bool quit_;
    bool reported_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();

    TClarvixApplication app(argc, argv);
    ApplyDesignTimeTheme();

    TMessageBoxDialogs dialogs;
    TDesktopShell shell;
    TLogindShutdown shutdown;
    SetDialogs(&dialogs);
    SetShell(&shell);
    SetShutdown(&shutdown);
    InstallPreviewer(); // the engine's floating preview windows

    const QString executableFolder = ExecutableFolder();
    int result = 0;
    {
        TfrmCover cover(executableFolder);
        cover.show();
        cover.repaint();
        QCoreApplication::processEvents();

        TfrmMain frmMain(executableFolder);
        cover.SetMainWindow(&frmMain);

        std::unique_ptr<TStartupReport> report;
        if (qEnvironmentVariableIsSet("CLARVIX_STARTUP_REPORT"))
            report = std::make_unique<TStartupReport>(
                &frmMain, clock, qEnvironmentVariable("CLARVIX_STARTUP_REPORT") == QLatin1String("quit"));

        frmMain.show();
        result = app.exec();
    }

    SetShutdown(nullptr);
    SetShell(nullptr);
    SetDialogs(nullptr);
    return result;
}
