// clarvix-convert: the conversion road of the main window from a command line.
#include "cli/CliConverter.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notes (a missing runtime folder of the offscreen platform, font
// substitutions) would mix into the converter's messages; only its serious
// errors are shown.
void CliQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "clarvix-convert: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    // Watermark text needs fonts and painting, which a Gui application gives;
    // over SSH or in scripts there is no display, so none is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(CliQtMessages);
    // Qt takes arguments such as "--style" and "-reverse" for itself; the
    // application object sees only the program name, the converter all the rest.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return RunClarvixConvert(arguments);
}
