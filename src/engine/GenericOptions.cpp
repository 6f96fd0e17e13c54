#include "engine/LegacyOptions.h"
#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

namespace {

// Whether the option store has a place for the option (the same search
// SetDefaultOption makes), so that an unknown name can be told from a bad value.
bool GenericOptionKnown(const TOptionStore& store, const QByteArray& name)
{
    if (name.isEmpty())
        return false;
    for (int type = 0; type < TOptionStore::MediaTypeCount; ++type)
        if (av_opt_find(store.CodecOptions[0].get(), name.constData(), nullptr,
                        TOptionStore::OptionMasks[type], 0))
            return true;
    if (store.FormatOptions && av_opt_find(store.FormatOptions.get(), name.constData(), nullptr, 0, 0))
        return true;
    if (store.ScaleOptions && av_opt_find(store.ScaleOptions.get(), name.constData(), nullptr, 0, 0))
        return true;
    const char kind = name[0];
    if ((kind == 'a' || kind == 'v' || kind == 's') && name.size() > 1) {
        const int type = kind == 'a'   ? AVMEDIA_TYPE_AUDIO
                         : kind == 'v' ? AVMEDIA_TYPE_VIDEO
                                       : AVMEDIA_TYPE_SUBTITLE;
        return av_opt_find(store.CodecOptions[type].get(), name.constData() + 1, nullptr, 0, 0) != nullptr;
    }
    return false;
}

bool GenericFlagKnown(const TOptionStore& store, const QString& option, const QString& flag)
{
    const AVOption* owner =
        av_opt_find(store.CodecOptions[0].get(), option.toUtf8().constData(), nullptr, 0, 0);
    if (!owner || !owner->unit)
        return false;
    return av_opt_find(store.CodecOptions[0].get(), flag.toUtf8().constData(), owner->unit, 0, 0) != nullptr;
}

bool ClassHasOption(const AVClass* const* privClass, const char* name)
{
    return *privClass && av_opt_find2(const_cast<const AVClass**>(privClass), name, nullptr, 0,
                                      AV_OPT_SEARCH_FAKE_OBJ, nullptr);
}

// The encoder whose private options include name: the H.264 encoder first,
// since the translated presets are written for it, then every other encoder.
const AVCodec* EncoderWithPrivateOption(const char* name)
{
    if (const AVCodec* x264 = avcodec_find_encoder_by_name("libx264");
        x264 && ClassHasOption(&x264->priv_class, name))
        return x264;
    void* iterator = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&iterator))
        if (av_codec_is_encoder(codec) && ClassHasOption(&codec->priv_class, name))
            return codec;
    return nullptr;
}

const AVOutputFormat* MuxerWithPrivateOption(const char* name)
{
    void* iterator = nullptr;
    while (const AVOutputFormat* format = av_muxer_iterate(&iterator))
        if (ClassHasOption(&format->priv_class, name))
            return format;
    return nullptr;
}

// Tries the value on a fresh private-option object of the encoder.
bool EncoderAccepts(const AVCodec* codec, const char* name, const char* value)
{
    CodecContextPtr context(avcodec_alloc_context3(codec));
    return context && context->priv_data && av_opt_set(context->priv_data, name, value, 0) >= 0;
}

bool MuxerAccepts(const AVOutputFormat* format, const char* name, const char* value)
{
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, format, nullptr, nullptr) < 0 || !raw)
        return false;
    FormatContextPtr context(raw);
    return context->priv_data && av_opt_set(context->priv_data, name, value, 0) >= 0;
}

// Sets (or, with an empty value, removes) one entry of a private option list.
void StorePrivateOption(std::vector<TPrivateCodecOption>& list, const QString& name, const QString& value)
{
    std::erase_if(list, [&](const TPrivateCodecOption& option) { return option.Name == name; });
    if (!value.isEmpty())
        list.push_back({name, value});
}

QString PrivateValue(const std::vector<TPrivateCodecOption>& list, const QString& name)
{
    for (const TPrivateCodecOption& option : list)
        if (option.Name == name)
            return option.Value;
    return QString();
}

} // namespace

bool TCustomFFmpeg::SetGenericOption(const QString& name, const QString& value)
{
    const TLegacyTranslation translation = TranslateLegacyOption(
        name.trimmed(), value.trimmed(),
        [this](const QString& option) { return PrivateValue(FOpts.VideoPrivateOptions, option); },
        [this](const QString& option, const QString& flag) {
            return GenericFlagKnown(FOpts.Options, option, flag);
        });
    for (const QString& part : translation.NoEquivalent)
        DefaultLogger()->Log(
            this, llWarning,
            QStringLiteral("Option %1 has no equivalent in the installed libraries; ignored").arg(part));

    if (!translation.IsLegacy && value.trimmed().isEmpty())
        return false;
    const std::vector<TOptionAssignment> assignments =
        translation.IsLegacy ? translation.Assignments
                             : std::vector<TOptionAssignment>{{name.trimmed(), value.trimmed()}};
    bool ok = true;
    for (const TOptionAssignment& assignment : assignments) {
        const QByteArray nameBytes = assignment.Name.toUtf8();
        const QByteArray valueBytes = assignment.Value.toUtf8();
        if (GenericOptionKnown(FOpts.Options, nameBytes)) {
            ok = SetDefaultOption(FOpts.Options, assignment.Name, assignment.Value) && ok;
            continue;
        }
        if (nameBytes.isEmpty()) {
            ok = false;
            continue;
        }
        // Options that are private to encoders or muxers now: kept for the
        // encoder or muxer opened later, after the value was tried on one
        // that knows them.
        if (const AVCodec* encoder = EncoderWithPrivateOption(nameBytes.constData())) {
            if (!valueBytes.isEmpty() &&
                !EncoderAccepts(encoder, nameBytes.constData(), valueBytes.constData())) {
                DefaultLogger()->Log(this, llError,
                                     QStringLiteral("Invalid value \"%1\" for option \"%2\"")
                                         .arg(assignment.Value, assignment.Name));
                ok = false;
                continue;
            }
            StorePrivateOption(encoder->type == AVMEDIA_TYPE_AUDIO ? FOpts.AudioPrivateOptions
                                                                   : FOpts.VideoPrivateOptions,
                               assignment.Name, assignment.Value);
            continue;
        }
        if (const AVOutputFormat* muxer = MuxerWithPrivateOption(nameBytes.constData())) {
            if (!valueBytes.isEmpty() &&
                !MuxerAccepts(muxer, nameBytes.constData(), valueBytes.constData())) {
                DefaultLogger()->Log(this, llError,
                                     QStringLiteral("Invalid value \"%1\" for option \"%2\"")
                                         .arg(assignment.Value, assignment.Name));
                ok = false;
                continue;
            }
            StorePrivateOption(FOpts.MuxerPrivateOptions, assignment.Name, assignment.Value);
            continue;
        }
        ok = false;
    }
    return ok;
}

void TCustomFFmpeg::SetBitRate(const QString& name, const QString& value)
{
    if (!SetGenericOption(name, value))
        return;
    const int type = name == QLatin1String("ab") ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO;
    int64_t bitRate = 0;
    if (av_opt_get_int(FOpts.Options.CodecOptions[type].get(), "b", 0, &bitRate) >= 0 && bitRate < 1000)
        DefaultLogger()->Log(
            this, llWarning,
            QStringLiteral("WARNING: The bitrate parameter is set too low. It takes bits/s as "
                           "argument, not kbits/s"));
}
