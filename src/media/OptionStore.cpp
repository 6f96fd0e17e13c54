#include "media/OptionStore.h"

#include "media/FFLogger.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace {

// Sets an option on one context when the context knows it; found tells
// whether it does. Returns the library's result (0 when not found).
int SetIfKnown(void* context, const char* name, const char* value, bool& found)
{
    found = av_opt_find(context, name, nullptr, 0, 0) != nullptr;
    return found ? av_opt_set(context, name, value, 0) : 0;
}

} // namespace

TOptionStore::TOptionStore(int scaleFlags)
{
    Reset(scaleFlags);
}

void TOptionStore::Reset(int scaleFlags)
{
    OptionNames.clear();
    for (CodecContextPtr& context : CodecOptions)
        context.reset(avcodec_alloc_context3(nullptr));
    FormatOptions.reset(avformat_alloc_context());
    ScaleOptions.reset(sws_getContext(16, 16, AV_PIX_FMT_YUV420P, 16, 16, AV_PIX_FMT_YUV420P, scaleFlags,
                                      nullptr, nullptr, nullptr));
}

bool SetDefaultOption(TOptionStore& store, const QString& nameText, const QString& valueText)
{
    const QByteArray nameBytes = nameText.trimmed().toUtf8();
    const QByteArray valueBytes = valueText.trimmed().toUtf8();
    if (nameBytes.isEmpty() || valueBytes.isEmpty())
        return false;
    const char* name = nameBytes.constData();
    const char* value = valueBytes.constData();

    const AVOption* option = nullptr;
    int result = 0;
    // Codec options: the video context holds every codec option, so it decides
    // which media types an option belongs to.
    for (int type = 0; type < TOptionStore::MediaTypeCount && result >= 0; ++type) {
        const int mask = TOptionStore::OptionMasks[type];
        const AVOption* found = av_opt_find(store.CodecOptions[0].get(), name, nullptr, mask, 0);
        if (!found)
            continue;
        option = found;
        result = av_opt_set(store.CodecOptions[type].get(), name, value, 0);
    }
    bool found = false;
    if (!option && store.FormatOptions) {
        result = SetIfKnown(store.FormatOptions.get(), name, value, found);
        if (found)
            option = av_opt_find(store.FormatOptions.get(), name, nullptr, 0, 0);
    }
    if (!option && store.ScaleOptions) {
        result = SetIfKnown(store.ScaleOptions.get(), name, value, found);
        if (found)
            option = av_opt_find(store.ScaleOptions.get(), name, nullptr, 0, 0);
    }
    // "aXXX", "vXXX", "sXXX": the codec option XXX of that media type only.
    if (!option && (name[0] == 'a' || name[0] == 'v' || name[0] == 's')) {
        const int type = name[0] == 'a'   ? AVMEDIA_TYPE_AUDIO
                         : name[0] == 'v' ? AVMEDIA_TYPE_VIDEO
                                          : AVMEDIA_TYPE_SUBTITLE;
        void* context = store.CodecOptions[type].get();
        result = SetIfKnown(context, name + 1, value, found);
        if (found)
            option = av_opt_find(context, name + 1, nullptr, 0, 0);
    }

    if (option && result < 0) {
        av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value, name);
        return false;
    }
    if (!option)
        return false;

    store.OptionNames.emplace_back(option->name);
    if (store.CodecOptions[0]->debug != 0 || (store.FormatOptions && store.FormatOptions->debug != 0))
        DefaultLogger()->SetLogLevel(llDebug);
    return true;
}

void ApplyOptions(const TOptionStore& store, void* target, void* source, int mask)
{
    for (const std::string& name : store.OptionNames) {
        const AVOption* option = av_opt_find(source, name.c_str(), nullptr, 0, 0);
        if (!option || (option->flags & mask) != mask)
            continue;
        uint8_t* value = nullptr;
        if (av_opt_get(source, name.c_str(), 0, &value) >= 0 && value)
            av_opt_set(target, name.c_str(), reinterpret_cast<const char*>(value), 0);
        av_free(value);
    }
}
