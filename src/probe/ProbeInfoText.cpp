#include "probe/ProbeInfoText.h"

#include "media/MediaHelpers.h"
#include "probe/StreamCodecContext.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
#include <libavutil/rational.h>
}

#include <cmath>
#include <cstdlib>

const std::array<TMetadataKeyName, 22> MetadataKeyNames = {{
    {"TALB", "album"},     {"TAL", "album"},      {"TCOM", "composer"},   {"TCON", "genre"},
    {"TCO", "genre"},      {"TCOP", "copyright"}, {"TDRL", "date"},       {"TENC", "encoder"},
    {"TEN", "encoder"},    {"TSOA", "albumsort"}, {"TSOP", "authorsort"}, {"TIT2", "title"},
    {"TT2", "title"},      {"TLAN", "language"},  {"TPE1", "artist"},     {"TP1", "artist"},
    {"TPOS", "disc"},      {"TPUB", "publisher"}, {"TRCK", "track"},      {"TRK", "track"},
    {"TSOT", "titlesort"}, {"TYER", "year"},
}};

QString ShownMetadataKey(const QString& key)
{
    for (const TMetadataKeyName& name : MetadataKeyNames)
        if (key == QLatin1String(name.Key))
            return QString::fromLatin1(name.Shown);
    return key;
}

void AppendMetadataBlock(QStringList& lines, const AVDictionary* metadata, const QString& indent)
{
    const int count = av_dict_count(metadata);
    if (count == 0)
        return;
    if (count == 1 && av_dict_get(metadata, "language", nullptr, AV_DICT_MATCH_CASE))
        return;
    lines << indent + QStringLiteral("Metadata:");
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(metadata, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        if (qstrcmp(entry->key, "language") == 0)
            continue;
        const QString key = ShownMetadataKey(QString::fromUtf8(entry->key));
        lines << QStringLiteral("%1  %2: %3")
                     .arg(indent, key.leftJustified(16), QString::fromUtf8(entry->value));
    }
}

QString RateText(double value, const char* word)
{
    const long long hundredths = std::llround(value * 100);
    if (hundredths % 100 != 0)
        return QString::asprintf(", %3.2f %s", value, word);
    if (hundredths % 100000 != 0)
        return QString::asprintf(", %1.0f %s", value, word);
    return QString::asprintf(", %1.0fk %s", value / 1000, word);
}

QString FractionalSecondsText(qint64 microseconds)
{
    // The sign is written once, so a start just before zero reads "-0.023220".
    const char* sign = microseconds < 0 ? "-" : "";
    const unsigned long long magnitude =
        microseconds < 0 ? 0ULL - static_cast<unsigned long long>(microseconds) : microseconds;
    return QString::asprintf("%s%llu.%.6llu", sign, magnitude / 1000000, magnitude % 1000000);
}

namespace {

void AppendRate(QString& line, AVRational rate, const char* word)
{
    if (rate.num != 0 && rate.den != 0)
        line += RateText(av_q2d(rate), word);
}

QString CodecDescription(const AVCodecContext* codec)
{
    if (!codec)
        return {};
    char text[256] = {};
    avcodec_string(text, sizeof text, const_cast<AVCodecContext*>(codec), 0);
    return QString::fromUtf8(text);
}

} // namespace

QString StreamLine(const AVFormatContext* context, int index)
{
    const AVStream* stream = context->streams[index];
    const AVCodecParameters* par = stream->codecpar;
    const CodecContextPtr codec = StreamCodecContext(stream);

    QString line = QStringLiteral("Stream #%1").arg(index);
    if (context->iformat && (context->iformat->flags & AVFMT_SHOW_IDS))
        line += QString::asprintf("[0x%x]", static_cast<unsigned>(stream->id));
    const QString language = MetadataValue(stream->metadata, QStringLiteral("language"), QString());
    if (!language.isEmpty())
        line += QStringLiteral("(%1)").arg(language);

    int divisor = static_cast<int>(av_gcd(stream->time_base.num, stream->time_base.den));
    if (divisor == 0)
        divisor = 1;
    line +=
        QStringLiteral(", %1/%2").arg(stream->time_base.num / divisor).arg(stream->time_base.den / divisor);
    line += QStringLiteral(": ") + CodecDescription(codec.get());

    const AVRational sar = stream->sample_aspect_ratio;
    if (sar.num != 0 && av_cmp_q(sar, par->sample_aspect_ratio) != 0) {
        AVRational dar{0, 1};
        av_reduce(&dar.num, &dar.den, static_cast<int64_t>(par->width) * sar.num,
                  static_cast<int64_t>(par->height) * sar.den, 1024 * 1024);
        line += QString::asprintf(", PAR %d:%d DAR %d:%d", sar.num, sar.den, dar.num, dar.den);
    }

    if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        AppendRate(line, stream->avg_frame_rate, "fps");
        AppendRate(line, stream->r_frame_rate, "tbr");
        AppendRate(line, av_inv_q(stream->time_base), "tbn");
        // Demuxed streams carry no codec time base in the current library, so
        // this appears only for a context that sets one.
        if (codec)
            AppendRate(line, av_inv_q(codec->time_base), "tbc");
    }

    const bool timeBaseUsable = stream->time_base.num != 0 && stream->time_base.den != 0;
    if (stream->start_time != AV_NOPTS_VALUE && timeBaseUsable)
        line += QStringLiteral(", StartTime: ") +
                FractionalSecondsText(av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q));
    if (stream->duration == AV_NOPTS_VALUE || !timeBaseUsable)
        line += QStringLiteral(", Duration: N/A");
    else
        line += QStringLiteral(", Duration: ") +
                TimeToStr(av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q));
    return line;
}
