#include "engine/OptionValues.h"

#include "media/FFmpegException.h"
#include "platform/NumberText.h"

extern "C" {
#include <libavutil/parseutils.h>
}

#include <cctype>
#include <charconv>
#include <cstdlib>

bool FlagValue(const QString& value)
{
    return value != QLatin1String("0");
}

int IntegerValue(const QString& value)
{
    return StrToInt(value);
}

qint64 Int64Value(const QString& value)
{
    return StrToInt64(value);
}

float FloatValue(const QString& value)
{
    return static_cast<float>(StrToFloat(value));
}

qint64 TimeValue(const QString& optionName, const QString& value, bool isDuration)
{
    int64_t microseconds = 0;
    if (av_parse_time(&microseconds, value.toUtf8().constData(), isDuration ? 1 : 0) < 0)
        throw FFmpegException(
            QStringLiteral("Invalid %1 specification for %2: %3")
                .arg(isDuration ? QStringLiteral("duration") : QStringLiteral("date"), optionName, value));
    return microseconds;
}

TNumberScanner::TNumberScanner(const QString& text) : FText(text.toUtf8()) {}

long TNumberScanner::ReadLong()
{
    const char* start = FText.constData() + FPos;
    char* end = nullptr;
    const long value = std::strtol(start, &end, 0);
    FPos += end - start;
    return value;
}

long TNumberScanner::ReadDecimal()
{
    const char* start = FText.constData() + FPos;
    char* end = nullptr;
    const long value = std::strtol(start, &end, 10);
    FPos += end - start;
    return value;
}

double TNumberScanner::ReadDouble()
{
    // As strtod, but always with "." as the separator, whatever the locale.
    qsizetype pos = FPos;
    while (pos < FText.size() && std::isspace(static_cast<unsigned char>(FText[pos])))
        ++pos;
    if (pos < FText.size() && FText[pos] == '+')
        ++pos;
    const char* first = FText.constData() + pos;
    const char* last = FText.constData() + FText.size();
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() && error != std::errc::result_out_of_range)
        return 0;
    FPos = end - FText.constData();
    return value;
}

void TNumberScanner::Skip(int count)
{
    FPos = qMin(FPos + count, FText.size());
}

bool TNumberScanner::SkipPast(char c)
{
    const qsizetype found = FText.indexOf(c, FPos);
    if (found < 0)
        return false;
    FPos = found + 1;
    return true;
}
