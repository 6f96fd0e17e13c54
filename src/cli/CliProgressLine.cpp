#include "cli/CliProgressLine.h"

#include "jobs/RunProgressTexts.h"

#include <QStringList>

QString CliProgressLine(const TRunProgressTexts& texts)
{
    // Without a percentage the bar only repeats the current time.
    QStringList parts{texts.Percent ? texts.TaskNumber + QLatin1Char(' ') + texts.BarText : texts.TaskNumber,
                      QStringLiteral("Current Time: ") + texts.Time};
    if (!texts.Length.isEmpty())
        parts << QStringLiteral("Length: ") + texts.Length;
    parts << QStringLiteral("File Size: ") + texts.Size << QStringLiteral("File: ") + texts.File;
    return parts.join(QStringLiteral("  "));
}
