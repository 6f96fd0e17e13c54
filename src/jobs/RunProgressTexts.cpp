#include "jobs/RunProgressTexts.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int WholeSourceLimit = 51; // shorter captions are shown whole
constexpr int ShortSourceHead = 44;  // characters kept of a longer one

} // namespace

std::optional<int> ProgressPercent(qint64 currentDuration, qint64 totalDuration)
{
    if (totalDuration <= 0)
        return std::nullopt;
    // A duration this large would overflow the product; it is past any total anyway.
    constexpr qint64 ProductLimit = std::numeric_limits<qint64>::max() / 100;
    if (currentDuration > ProductLimit)
        return 100;
    const qint64 percent = currentDuration * 100 / totalDuration;
    return int(std::clamp<qint64>(percent, 0, 100));
}

QString PercentText(int percent)
{
    return QString::number(percent) + QLatin1Char('%');
}

QString SecondsText(qint64 microseconds)
{
    return QString::number(microseconds / 1000000) + QStringLiteral(" Second");
}

QString KilobytesText(qint64 bytes)
{
    return QString::number(bytes / 1000) + QStringLiteral(" kb");
}

QString TaskNumberText(int taskIndex, int taskCount)
{
    return QLatin1Char('[') + QString::number(taskIndex + 1) + QLatin1Char('/') + QString::number(taskCount) +
           QLatin1Char(']');
}

QString FileExtension(const QString& path)
{
    const qsizetype nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < nameStart)
        return QString();
    return path.mid(dot);
}

QString ShortSourceText(const QString& sourcePath)
{
    if (sourcePath.size() < WholeSourceLimit)
        return sourcePath;
    qsizetype head = ShortSourceHead;
    // Never cut a character outside the basic plane in half.
    if (sourcePath.at(head - 1).isHighSurrogate())
        --head;
    return sourcePath.left(head) + QStringLiteral("..") + FileExtension(sourcePath);
}

TRunProgressTexts MakeRunProgressTexts(const TProgressValues& values, const QString& sourcePath)
{
    TRunProgressTexts texts;
    texts.TaskIndex = values.TaskIndex;
    texts.Percent = ProgressPercent(values.CurrentDuration, values.TotalDuration);
    texts.Time = SecondsText(values.CurrentDuration);
    if (texts.Percent) {
        texts.BarPosition = *texts.Percent;
        texts.BarText = PercentText(*texts.Percent);
        texts.RowText = texts.BarText;
        texts.Length = SecondsText(values.TotalDuration);
    } else {
        texts.BarPosition = 0;
        texts.BarText = texts.Time;
        texts.RowText = texts.Time;
    }
    texts.Size = KilobytesText(values.CurrentSize);
    texts.TaskNumber = TaskNumberText(values.TaskIndex, values.TaskCount);
    texts.File = ShortSourceText(sourcePath);
    return texts;
}

QString FinishedRowText()
{
    return PercentText(100);
}
