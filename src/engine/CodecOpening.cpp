// Opening and closing the codecs of a task's stream records. Every open and
// close holds CodecLock: several tasks, the probe and the player open codecs
// at the same time and the codec library does not allow that unguarded.

#include "engine/TranscodeSetupSteps.h"

#include "media/CodecLock.h"
#include "media/FFmpegException.h"
#include "media/MediaHelpers.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>

namespace {

template <class T> void RemoveFrom(std::vector<T*>& list, const T* item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

template <class T> T* CopyArray(const T* source, size_t count)
{
    if (!source || count == 0)
        return nullptr;
    auto* copy = static_cast<T*>(av_malloc_array(count, sizeof(T)));
    if (copy)
        std::copy(source, source + count, copy);
    return copy;
}

// An unopened encoder context with the settings of another one: its options
// (generic and the encoder's own) and the fields that are not options.
CodecContextPtr CopyEncoderSettings(const AVCodecContext* source)
{
    CodecContextPtr copy(avcodec_alloc_context3(source->codec));
    if (!copy)
        return copy;
    AVCodecContext* target = copy.get();
    av_opt_copy(target, source);
    if (source->priv_data && target->priv_data && source->codec && source->codec->priv_class)
        av_opt_copy(target->priv_data, source->priv_data);
    target->codec_type = source->codec_type;
    target->codec_id = source->codec_id;
    target->codec_tag = source->codec_tag;
    target->time_base = source->time_base;
    target->framerate = source->framerate;
    target->width = source->width;
    target->height = source->height;
    target->sample_aspect_ratio = source->sample_aspect_ratio;
    target->pix_fmt = source->pix_fmt;
    target->sample_fmt = source->sample_fmt;
    target->sample_rate = source->sample_rate;
    av_channel_layout_uninit(&target->ch_layout);
    av_channel_layout_copy(&target->ch_layout, &source->ch_layout);
    target->bits_per_raw_sample = source->bits_per_raw_sample;
    target->chroma_sample_location = source->chroma_sample_location;
    target->flags = source->flags;
    target->flags2 = source->flags2;
    target->global_quality = source->global_quality;
    target->thread_count = source->thread_count;
    target->intra_matrix = CopyArray(source->intra_matrix, 64);
    target->inter_matrix = CopyArray(source->inter_matrix, 64);
    target->rc_override = CopyArray(source->rc_override, static_cast<size_t>(source->rc_override_count));
    target->rc_override_count = target->rc_override ? source->rc_override_count : 0;
    target->stats_in = source->stats_in; // owned by the stream record
    if (!CopySubtitleHeader(target, source))
        return nullptr;
    return copy;
}

} // namespace

bool CopySubtitleHeader(AVCodecContext* target, const AVCodecContext* source)
{
    if (!source->subtitle_header || source->subtitle_header_size <= 0)
        return true;
    // Owned and freed by the context, so each context has its own; the
    // library reads it as text, hence the terminating zero.
    const int size = source->subtitle_header_size;
    target->subtitle_header = static_cast<uint8_t*>(av_mallocz(size_t(size) + 1));
    if (!target->subtitle_header)
        return false;
    std::copy(source->subtitle_header, source->subtitle_header + size, target->subtitle_header);
    target->subtitle_header_size = size;
    return true;
}

DictionaryPtr PrivateOptions(const std::vector<TPrivateCodecOption>& options)
{
    AVDictionary* dictionary = nullptr;
    for (const TPrivateCodecOption& option : options)
        av_dict_set(&dictionary, option.Name.toUtf8().constData(), option.Value.toUtf8().constData(), 0);
    return DictionaryPtr(dictionary);
}

const AVCodec* TCustomFFmpeg::EncoderFor(const TOutputStream& ost) const
{
    if (!ost.Codec)
        return nullptr;
    if (ost.Codec->Encoder)
        return ost.Codec->Encoder;
    AVCodecID id = ost.SavedCodecId;
    if (id == AV_CODEC_ID_NONE)
        id = ost.Encoder() ? ost.Encoder()->codec_id : ost.Codec->CodecId;
    return id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_encoder(id);
}

int TCustomFFmpeg::OpenEncoder(TOutputStream& ost, const AVCodec* encoder)
{
    AVCodecContext* context = ost.Encoder();
    if (!context || !encoder)
        return AVERROR_ENCODER_NOT_FOUND;
    const bool firstOpen = !Files.OutputFiles[ost.FileIndex]->HeaderWritten;
    DictionaryPtr options = PrivateOptions(context->codec_type == AVMEDIA_TYPE_VIDEO   ? FOpts.VideoPrivateOptions
                                           : context->codec_type == AVMEDIA_TYPE_AUDIO ? FOpts.AudioPrivateOptions
                                                                                       : std::vector<TPrivateCodecOption>{});
    AVDictionary* unused = options.release();
    int result;
    {
        TCodecLockGuard lock;
        result = avcodec_open2(context, encoder, &unused);
    }
    av_dict_free(&unused);
    if (result < 0)
        return result;
    Files.OpenedEncoders.push_back(&ost);
    // Before the header the muxer learns the stream from the opened encoder.
    if (firstOpen) {
        const int copied = avcodec_parameters_from_context(ost.Stream->codecpar, context);
        if (copied < 0)
            return copied;
        ost.Stream->time_base = context->time_base;
        if (context->codec_type == AVMEDIA_TYPE_VIDEO)
            ost.Stream->avg_frame_rate = context->framerate;
        // What the encoder declares for the muxer, such as its rate-control
        // buffer, which a program stream's buffer bounds are made from.
        for (int i = 0; i < context->nb_coded_side_data; ++i) {
            const AVPacketSideData& declared = context->coded_side_data[i];
            uint8_t* copy = av_stream_new_side_data(ost.Stream, declared.type, declared.size);
            if (!copy)
                return AVERROR(ENOMEM);
            std::copy(declared.data, declared.data + declared.size, copy);
        }
    }
    return 0;
}

int TCustomFFmpeg::ReopenEncoder(TOutputStream& ost, const AVCodec* encoder)
{
    if (!ost.Codec || !ost.Codec->ReopenTemplate)
        return AVERROR(EINVAL);
    CloseEncoder(ost);
    ost.Codec->Context = CopyEncoderSettings(ost.Codec->ReopenTemplate.get());
    if (!ost.Codec->Context)
        return AVERROR(ENOMEM);
    return OpenEncoder(ost, encoder);
}

void TCustomFFmpeg::CloseEncoder(TOutputStream& ost)
{
    RemoveFrom(Files.OpenedEncoders, &ost);
    if (!ost.Codec || !ost.Codec->Context)
        return;
    TCodecLockGuard lock;
    ost.Codec->Context.reset();
}

int TCustomFFmpeg::OpenDecoder(TInputStream& ist, const AVCodec* decoder)
{
    AVCodecContext* context = ist.DecoderContext.get();
    if (!context || !decoder)
        return AVERROR_DECODER_NOT_FOUND;
    context->pkt_timebase = ist.Stream->time_base;
    int result;
    {
        TCodecLockGuard lock;
        result = avcodec_open2(context, decoder, nullptr);
    }
    if (result < 0)
        return result;
    ist.DecoderOpened = true;
    Files.OpenedDecoders.push_back(&ist);
    return 0;
}

void TCustomFFmpeg::CloseDecoder(TInputStream& ist)
{
    RemoveFrom(Files.OpenedDecoders, &ist);
    ist.DecoderOpened = false;
    if (!ist.DecoderContext)
        return;
    TCodecLockGuard lock;
    ist.DecoderContext.reset();
}

void TCustomFFmpeg::CloseOpenedEncoders()
{
    while (!Files.OpenedEncoders.empty())
        CloseEncoder(*Files.OpenedEncoders.back());
}

void TCustomFFmpeg::CloseOpenedDecoders()
{
    while (!Files.OpenedDecoders.empty())
        CloseDecoder(*Files.OpenedDecoders.back());
}

void SaveEncoderForReopening(TOutputStream& ost)
{
    if (ost.Encoder())
        ost.Codec->ReopenTemplate = CopyEncoderSettings(ost.Encoder());
}

void InitBitStreamFilters(TOutputStream& ost)
{
    TBitStreamFilterChain& chain = ost.Codec->Bsfs;
    if (chain.empty())
        return;
    const AVCodecParameters* parameters = ost.Stream->codecpar;
    AVRational timeBase = ost.Stream->time_base;
    for (BsfContextPtr& filter : chain) {
        int result = avcodec_parameters_copy(filter->par_in, parameters);
        filter->time_base_in = timeBase;
        if (result >= 0)
            result = av_bsf_init(filter.get());
        if (result < 0)
            throw FFmpegException(ErrorText(
                QString::asprintf("%s failed for stream %d, codec %s", filter->filter->name, ost.Index,
                                  ost.EncodingNeeded && ost.Encoder() ? ost.Encoder()->codec->name : "copy"),
                result));
        parameters = filter->par_out;
        timeBase = filter->time_base_out;
    }
    if (avcodec_parameters_copy(ost.Stream->codecpar, parameters) < 0)
        throw FFmpegException("av_mallocz fail");
}
