#include "engine/CodecLookup.h"

extern "C" {
#include <libavcodec/dv_profile.h>
}

#include "engine/TCustomFFmpeg.h"

namespace {

struct TEncoderRename
{
    const char* OldName;
    const char* InstalledName;
};

// The first is gone from the library, the second is experimental there and
// the third was renamed.
constexpr TEncoderRename EncoderRenames[] = {
    {"libfaac", "aac"},
    {"vorbis", "libvorbis"},
    {"libflac", "flac"},
};

bool IsExperimental(const AVCodec* codec)
{
    return (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) != 0;
}

} // namespace

QString MappedEncoderName(const QString& name)
{
    for (const TEncoderRename& rename : EncoderRenames)
        if (name == QLatin1String(rename.OldName))
            return QString::fromLatin1(rename.InstalledName);
    return name;
}

TCodecLookup LookUpCodec(const QString& name, AVMediaType type, bool encoder, int strictness)
{
    TCodecLookup result;
    if (name.isEmpty()) {
        result.Ok = true;
        return result;
    }
    const char* kind = encoder ? "encoder" : "decoder";
    const QByteArray lookedUp = (encoder ? MappedEncoderName(name) : name).toUtf8();
    const AVCodec* codec = encoder ? avcodec_find_encoder_by_name(lookedUp.constData())
                                   : avcodec_find_decoder_by_name(lookedUp.constData());
    if (!codec) {
        result.Error = QString::asprintf("Unknown %s '%s'", kind, name.toUtf8().constData());
        return result;
    }
    if (codec->type != type) {
        result.Error = QString::asprintf("Invalid %s type '%s'", kind, name.toUtf8().constData());
        return result;
    }
    if (IsExperimental(codec) && strictness > FF_COMPLIANCE_EXPERIMENTAL) {
        result.Error = QString::asprintf("%s '%s' is experimental and might produce bad results.\r\n"
                                         "Add '-strict experimental' if you want to use it.",
                                         kind, codec->name);
        // The library prefers a non-experimental codec when looking up by id.
        const AVCodec* other = encoder ? avcodec_find_encoder(codec->id) : avcodec_find_decoder(codec->id);
        if (other && !IsExperimental(other))
            result.Error += QString::asprintf("\r\nOr use the non experimental %s '%s'.", kind, other->name);
        return result;
    }
    result.Ok = true;
    result.Id = codec->id;
    result.Codec = codec;
    return result;
}

bool TCustomFFmpeg::FindCodec(const QString& name, AVMediaType type, bool encoder, int strictness,
                              AVCodecID& codecId, const AVCodec** codec)
{
    const TCodecLookup found = LookUpCodec(name, type, encoder, strictness);
    codecId = found.Id;
    if (codec)
        *codec = found.Codec;
    if (!found.Ok)
        SetLastErrMsg(found.Error);
    return found.Ok;
}

AVPixelFormat DvPixelFormat(const AVCodecContext* codec)
{
    if (codec->codec_id != AV_CODEC_ID_DVVIDEO ||
        av_dv_codec_profile2(codec->width, codec->height, codec->pix_fmt, codec->framerate))
        return codec->pix_fmt;
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_DVVIDEO);
    if (!encoder || !encoder->pix_fmts)
        return codec->pix_fmt;
    for (const AVPixelFormat* format = encoder->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
        if (av_dv_codec_profile2(codec->width, codec->height, *format, codec->framerate))
            return *format;
    return codec->pix_fmt;
}
