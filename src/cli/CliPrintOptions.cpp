#include "cli/CliPrintOptions.h"

#include "cli/CliConsole.h"
#include "cli/CliTaskSetup.h"
#include "cli/OptionRecordLines.h"

void PrintCliTaskOptions(const TCliTaskRecords& task, bool first, TCliConsole& console)
{
    QStringList lines;
    if (!first)
        lines << QString();
    lines << QStringLiteral("[Input]") << OptionRecordLines(task.Input);
    lines << QStringLiteral("[Output]") << OptionRecordLines(task.Output);
    console.Out(lines.join(QLatin1Char('\n')));
}
