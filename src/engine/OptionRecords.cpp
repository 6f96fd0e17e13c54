// Reading the option records' texts, the defaults list of an output and the
// creation-time arithmetic.

#include "engine/OptionRecords.h"

#include <QDateTime>
#include <QTimeZone>

#include <cmath>

namespace {

// Days from 1899-12-30 (the date-time origin of the records) to 1970-01-01.
constexpr double UnixEpochDays = 25569.0;
constexpr double SecondsPerDay = 86400.0;

QString DefaultName(const QString& key)
{
    return QStringLiteral("def_") + key;
}

} // namespace

std::vector<TOptionLine> ReadOptionLines(const QString& text)
{
    QString normalised = text.trimmed();
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    normalised.replace(QLatin1String("<CRLF>"), QLatin1String("\n"));

    std::vector<TOptionLine> lines;
    for (const QString& line : normalised.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            lines.emplace_back(line.toLower(), QString());
        else
            lines.emplace_back(line.left(equals).toLower(), line.mid(equals + 1));
    }
    return lines;
}

TOutputDefaults::TOutputDefaults(const TOutputOptions& options)
{
    const std::pair<const char*, const QString*> fields[] = {
        {"def_acodec", &options.AudioCodec},    {"def_vcodec", &options.VideoCodec},
        {"def_scodec", &options.SubtitleCodec}, {"def_apre", &options.AudioPreset},
        {"def_vpre", &options.VideoPreset},     {"def_spre", &options.SubtitlePreset},
        {"def_s", &options.FrameSize},          {"def_vf", &options.VideoFilters},
    };
    for (const auto& [name, value] : fields)
        if (!value->isEmpty())
            FLines.emplace_back(QLatin1String(name), *value);

    static const QStringList streamKeys = {"acodec", "vcodec", "scodec",   "apre", "vpre",
                                           "spre",   "s",      "vfilters", "vf"};
    for (const auto& [lineKey, value] : ReadOptionLines(options.ExtOptions)) {
        if (!streamKeys.contains(lineKey) || value.isEmpty())
            continue;
        const QString key = lineKey == QLatin1String("vfilters") ? QStringLiteral("vf") : lineKey;
        if (Value(DefaultName(key)).isEmpty())
            SetValue(DefaultName(key), value);
        FLines.emplace_back(key, value);
    }
}

QString TOutputDefaults::Value(const QString& name) const
{
    for (const auto& [lineName, value] : FLines)
        if (lineName == name)
            return value;
    return QString();
}

void TOutputDefaults::SetValue(const QString& name, const QString& value)
{
    for (auto& [lineName, lineValue] : FLines) {
        if (lineName == name) {
            lineValue = value;
            return;
        }
    }
    FLines.emplace_back(name, value);
}

QString TOutputDefaults::Take(const QString& key)
{
    for (auto line = FLines.begin(); line != FLines.end(); ++line) {
        if (line->first == key) {
            const QString value = line->second;
            FLines.erase(line);
            return value;
        }
    }
    return Value(DefaultName(key));
}

qint64 CreationTimeFromDateTime(double dateTime, double utcOffsetDays)
{
    return std::llround((dateTime - UnixEpochDays - utcOffsetDays) * SecondsPerDay);
}

qint64 CreationTimeFromTimestamp(double timestamp)
{
    if (timestamp == 0)
        return QDateTime::currentSecsSinceEpoch();
    // The wall-clock time the date-time stands for, and the local offset
    // from UTC in force at that time (daylight saving included).
    const double days = std::floor(timestamp);
    const qint64 msecsOfDay = std::llround((timestamp - days) * SecondsPerDay * 1000.0);
    const QDateTime local(
        QDate(1899, 12, 30).addDays(static_cast<qint64>(days)),
        QTime::fromMSecsSinceStartOfDay(static_cast<int>(qMin<qint64>(msecsOfDay, 86399999))), Qt::LocalTime);
    return CreationTimeFromDateTime(timestamp, local.offsetFromUtc() / SecondsPerDay);
}
