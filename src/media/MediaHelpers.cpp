#include "media/MediaHelpers.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/avutil.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

#include <cerrno>

namespace {

// The library conditions that have a text of their own.
const char* KnownErrorText(int code)
{
    switch (code) {
    case AVERROR(ENOENT):
        return "No such file or directory";
    case AVERROR(EIO):
        return "I/O error";
    case AVERROR(ENOMEM):
        return "Not enough memory";
    case AVERROR_INVALIDDATA:
        return "Invalid data found when processing input";
    case AVERROR_EOF:
        return "End of file";
    case AVERROR(EDOM): // a file name pattern without its frame number
        return "Number syntax expected in filename";
    case AVERROR(EILSEQ):
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_MUXER_NOT_FOUND:
        return "Unknown format";
    case AVERROR(EPROTONOSUPPORT):
    case AVERROR_PROTOCOL_NOT_FOUND:
        return "Unsupported network protocol";
    case AVERROR_PATCHWELCOME:
        return "Not yet implemented in FFmpeg";
    default:
        return nullptr;
    }
}

bool IsPrintable(unsigned byte)
{
    return byte >= 32 && byte <= 126;
}

} // namespace

QString ErrorText(const QString& prefix, int errorCode)
{
    const char* known = KnownErrorText(errorCode);
    const QString text =
        known ? QString::fromLatin1(known) : QString::asprintf("Error number %d occurred", errorCode);
    return prefix + QStringLiteral(": ") + text;
}

QString TimeToStr(qint64 microseconds)
{
    if (microseconds == AV_NOPTS_VALUE)
        return QStringLiteral("N/A");
    const qint64 seconds = microseconds / 1000000;
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const qint64 secs = seconds % 60;
    const qint64 millis = microseconds % 1000000 * 1000 / 1000000;
    return QString::asprintf("%.2lld:%.2lld:%.2lld.%.3lld", hours, minutes, secs, millis);
}

QString StreamTypeName(int mediaType)
{
    switch (mediaType) {
    case 0:
        return QStringLiteral("Video");
    case 1:
        return QStringLiteral("Audio");
    case 2:
        return QStringLiteral("Data");
    case 3:
        return QStringLiteral("Subtitle");
    case 4:
        return QStringLiteral("Attachment");
    default:
        return QStringLiteral("Unknown");
    }
}

QString CodecText(const AVCodecContext* context, bool encoder)
{
    const AVCodec* codec =
        encoder ? avcodec_find_encoder(context->codec_id) : avcodec_find_decoder(context->codec_id);
    if (codec) {
        const QString name = QString::fromUtf8(codec->name);
        const QString longName = QString::fromUtf8(codec->long_name ? codec->long_name : "").trimmed();
        return longName.isEmpty() ? name : QStringLiteral("%1(%2)").arg(name, longName);
    }
    if (context->codec_id == AV_CODEC_ID_MPEG2TS)
        return QStringLiteral("mpeg2ts");
    // The library knows the codec by name even when this build cannot code it.
    if (const AVCodecDescriptor* descriptor = avcodec_descriptor_get(context->codec_id)) {
        const QString name = QString::fromUtf8(descriptor->name).trimmed();
        if (!name.isEmpty())
            return name;
    }
    const unsigned tag = context->codec_tag;
    const unsigned bytes[4] = {tag & 0xFF, (tag >> 8) & 0xFF, (tag >> 16) & 0xFF, (tag >> 24) & 0xFF};
    if (IsPrintable(bytes[0]) && IsPrintable(bytes[1]) && IsPrintable(bytes[2]) && IsPrintable(bytes[3]))
        return QString::asprintf("%c%c%c%c / 0x%04X", bytes[0], bytes[1], bytes[2], bytes[3], tag);
    return QString::asprintf("0x%04x", tag);
}

QString MetadataValue(const AVDictionary* metadata, const QString& key, const QString& fallback)
{
    const QByteArray name = key.toUtf8();
    const AVDictionaryEntry* entry = av_dict_get(metadata, name.constData(), nullptr, AV_DICT_MATCH_CASE);
    return entry ? QString::fromUtf8(entry->value) : fallback;
}

QString SizeToStr(qint64 bytes)
{
    constexpr qint64 KB = 1024;
    constexpr qint64 MB = KB * 1024;
    constexpr qint64 GB = MB * 1024;
    if (bytes > GB)
        return QString::asprintf("%.2f GB", double(bytes) / GB);
    if (bytes > MB)
        return QString::asprintf("%.2f MB", double(bytes) / MB);
    if (bytes > KB)
        return QString::asprintf("%.2f KB", double(bytes) / KB);
    return QString::asprintf("%lld Byte", static_cast<long long>(bytes));
}

QDateTime UnixToLocalDateTime(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::LocalTime);
}
