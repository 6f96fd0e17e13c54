#include "probe/ContainerTags.h"

#include "media/MediaHelpers.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/parseutils.h>
}

#include <QString>

namespace {

// The digits at the start of a tag ("3/12", "2010-05-01T..."); 0 when there are none
// or they do not fit.
qint32 LeadingNumber(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && digits < 9 && trimmed.at(digits).isDigit() &&
           trimmed.at(digits).unicode() < 128)
        ++digits;
    return digits == 0 ? 0 : trimmed.left(digits).toInt();
}

} // namespace

qint64 ContainerTimestamp(const AVDictionary* metadata)
{
    const QByteArray text = MetadataValue(metadata, QStringLiteral("creation_time"), QString()).toUtf8();
    int64_t microseconds = 0;
    if (text.isEmpty() || av_parse_time(&microseconds, text.constData(), 0) < 0)
        return 0;
    return microseconds / 1000000;
}

qint32 ContainerYear(const AVDictionary* metadata)
{
    const qint32 year = LeadingNumber(MetadataValue(metadata, QStringLiteral("year"), QString()));
    return year != 0 ? year : LeadingNumber(MetadataValue(metadata, QStringLiteral("date"), QString()));
}

qint32 ContainerTrack(const AVDictionary* metadata)
{
    return LeadingNumber(MetadataValue(metadata, QStringLiteral("track"), QString()));
}
