#include "cli/CliInfo.h"

#include "cli/CliConsole.h"
#include "cli/CliContext.h"
#include "cli/CliExitCodes.h"
#include "probe/AVProbe.h"

int RunCliInfo(const QStringList& files, TCliConsole& console)
{
    int status = CliExitSuccess;
    bool first = true;
    for (const QString& file : files) {
        TAVProbe probe;
        if (!probe.LoadLibraries(CliLibraryFolder()) || !probe.Open(file)) {
            console.Err(CliMessage(file + QStringLiteral(": ") + probe.LastErrMsg()));
            status = CliExitSomeFailed;
            continue;
        }
        if (!first)
            console.Out(QString());
        first = false;
        // The text's lines end in CR LF; on this platform a line ends in LF.
        QString text = probe.InfoText();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
        console.Out(text);
        probe.Close();
    }
    return status;
}
