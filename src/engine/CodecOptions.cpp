// Codec names, codec tags and bit-stream filters of the next streams.

#include "engine/TCustomFFmpeg.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavcodec/bsf.h>
#include <libavutil/opt.h>
}

namespace {

// "copy" asks for a stream copy; any other name is looked up when the stream
// is created (old encoder names are mapped there).
void SetCodecName(const QString& name, QString& codecName, bool& streamCopy)
{
    if (name.isEmpty())
        return;
    codecName.clear();
    if (name == QLatin1String("copy"))
        streamCopy = true;
    else
        codecName = name;
}

// The four characters as a little-endian number, first character lowest.
void SetCodecTag(const QString& tag, quint32& codecTag, const char* kind)
{
    if (tag.isEmpty())
        return;
    if (tag.size() != 4)
        throw FFmpegException(QStringLiteral("%1 tag parameter must be 4 chars").arg(QLatin1String(kind)));
    const QByteArray bytes = tag.toLatin1();
    codecTag = static_cast<quint32>(static_cast<quint8>(bytes[0])) |
               static_cast<quint32>(static_cast<quint8>(bytes[1])) << 8 |
               static_cast<quint32>(static_cast<quint8>(bytes[2])) << 16 |
               static_cast<quint32>(static_cast<quint8>(bytes[3])) << 24;
}

} // namespace

void TCustomFFmpeg::SetVideoCodec(const QString& name)
{
    SetCodecName(name, FOpts.VideoCodecName, FOpts.VideoStreamCopy);
}

void TCustomFFmpeg::SetAudioCodec(const QString& name)
{
    SetCodecName(name, FOpts.AudioCodecName, FOpts.AudioStreamCopy);
}

void TCustomFFmpeg::SetSubtitleCodec(const QString& name)
{
    SetCodecName(name, FOpts.SubtitleCodecName, FOpts.SubtitleStreamCopy);
}

void TCustomFFmpeg::SetVideoTag(const QString& tag)
{
    SetCodecTag(tag, FOpts.VideoCodecTag, "video");
}

void TCustomFFmpeg::SetAudioTag(const QString& tag)
{
    SetCodecTag(tag, FOpts.AudioCodecTag, "audio");
}

void TCustomFFmpeg::SetSubtitleTag(const QString& tag)
{
    SetCodecTag(tag, FOpts.SubtitleCodecTag, "subtitle");
}

void TCustomFFmpeg::AddBitStreamFilter(TBitStreamFilterChain& chain, const QString& value)
{
    if (value.isEmpty() || value.startsWith(QLatin1Char('=')))
        return;
    const qsizetype equals = value.indexOf(QLatin1Char('='));
    const QString name = equals < 0 ? value : value.left(equals);
    const QString arguments = equals < 0 ? QString() : value.mid(equals + 1);

    const AVBitStreamFilter* filter = av_bsf_get_by_name(name.trimmed().toUtf8().constData());
    AVBSFContext* raw = nullptr;
    if (!filter || av_bsf_alloc(filter, &raw) < 0)
        throw FFmpegException(QStringLiteral("Unknown bitstream filter %1").arg(value.trimmed()));
    BsfContextPtr context(raw);
    // The filter's own settings, "name=value:name=value" after the first "=".
    if (!arguments.trimmed().isEmpty() &&
        (!context->priv_data ||
         av_opt_set_from_string(context->priv_data, arguments.trimmed().toUtf8().constData(), nullptr, "=",
                                ":") < 0))
        throw FFmpegException(QStringLiteral("Invalid arguments \"%1\" for bitstream filter %2")
                                  .arg(arguments, name.trimmed()));
    chain.push_back(std::move(context));
}
