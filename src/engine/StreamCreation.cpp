// New streams on an output, from the option state: the codec each will be
// encoded with (or that it is a copy) and the encoder settings the options
// asked for. Each consumes the options meant for one stream of its kind.

#include "engine/CodecLookup.h"
#include "engine/TCustomFFmpeg.h"

#include "media/FFLogger.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Lambda for a quantiser (the codec library's FF_QP2LAMBDA).
constexpr float LambdaPerQuantiser = 118.0f;

TOutputFile& OutputFileOf(const TFileTables& files, AVFormatContext* output)
{
    TOutputFile* file = files.OutputOf(output);
    if (!file)
        throw FFmpegException("Could not alloc stream");
    return *file;
}

// A new stream with the id "streamid" gave its index.
AVStream* NewStream(AVFormatContext* output, const TOptionState& o)
{
    AVStream* stream = avformat_new_stream(output, nullptr);
    if (!stream)
        return nullptr;
    if (stream->index < MaxStreamsPerFile)
        stream->id = o.StreamIdMap[stream->index];
    return stream;
}

// The pixel aspect that shows a FrameWidth x FrameHeight picture at FrameAspectRatio.
AVRational SampleAspect(const TOptionState& o)
{
    const double ratio = o.FrameWidth > 0 && o.FrameHeight > 0
                             ? static_cast<double>(o.FrameAspectRatio) * o.FrameHeight / o.FrameWidth
                             : static_cast<double>(o.FrameAspectRatio) * 3.0 / 4.0;
    return av_d2q(ratio, 255);
}

uint16_t* CopyMatrix(const TQuantMatrix& matrix)
{
    auto* copy = static_cast<uint16_t*>(av_malloc_array(matrix.size(), sizeof(uint16_t)));
    if (!copy)
        throw FFmpegException("av_malloc fail");
    std::copy(matrix.begin(), matrix.end(), copy);
    return copy;
}

// "start,end,q/start,end,q/...": q > 0 is a fixed quantiser, q <= 0 a quality factor of -q %.
void SetRcOverride(AVCodecContext* codec, const QString& text)
{
    const QStringList entries = text.split(QLatin1Char('/'));
    auto* overrides = static_cast<RcOverride*>(av_calloc(entries.size(), sizeof(RcOverride)));
    if (!overrides)
        throw FFmpegException("av_malloc fail");
    AVMemoryPtr<RcOverride> owner(overrides);
    for (int i = 0; i < entries.size(); ++i) {
        int start = 0, end = 0, q = 0;
        if (std::sscanf(entries[i].toUtf8().constData(), "%d,%d,%d", &start, &end, &q) != 3)
            throw FFmpegException("error parsing rc_override");
        overrides[i].start_frame = start;
        overrides[i].end_frame = end;
        if (q > 0) {
            overrides[i].qscale = q;
            overrides[i].quality_factor = 1.0f;
        } else {
            overrides[i].qscale = 0;
            overrides[i].quality_factor = static_cast<float>(-q / 100.0);
        }
    }
    av_freep(&codec->rc_override);
    codec->rc_override = owner.release();
    codec->rc_override_count = static_cast<int>(entries.size());
}

// The encoder's own pixel format when it does not take the one asked for.
AVPixelFormat SupportedPixelFormat(const AVCodec* encoder, AVPixelFormat wanted, int strictness)
{
    if (!encoder || !encoder->pix_fmts)
        return wanted;
    for (const AVPixelFormat* format = encoder->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
        if (*format == wanted)
            return wanted;
    // The MJPEG encoder takes these too when told not to be strict.
    if (encoder->id == AV_CODEC_ID_MJPEG && strictness < 0 &&
        (wanted == AV_PIX_FMT_YUV420P || wanted == AV_PIX_FMT_YUV422P))
        return wanted;
    return encoder->pix_fmts[0];
}

AVSampleFormat SupportedSampleFormat(const AVCodec* encoder, AVSampleFormat wanted)
{
    if (!encoder || !encoder->sample_fmts)
        return wanted;
    for (const AVSampleFormat* format = encoder->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format)
        if (*format == wanted)
            return wanted;
    return encoder->sample_fmts[0];
}

// The supported rate nearest to the one asked for (the first of equals).
int SupportedSampleRate(const AVCodec* encoder, int wanted)
{
    if (!encoder || !encoder->supported_samplerates)
        return wanted;
    int best = encoder->supported_samplerates[0];
    for (const int* rate = encoder->supported_samplerates; *rate != 0; ++rate)
        if (std::abs(*rate - wanted) < std::abs(best - wanted))
            best = *rate;
    return best;
}

CodecContextPtr NewCodecContext(const AVCodec* encoder, AVMediaType type, AVCodecID id)
{
    CodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (!codec)
        throw FFmpegException("Could not alloc stream");
    codec->codec_type = type;
    codec->codec_id = id;
    return codec;
}

} // namespace

void TCustomFFmpeg::CreateVideoStream(AVFormatContext* output)
{
    TOptionState& o = FOpts;
    TOutputFile& file = OutputFileOf(Files, output);
    AVCodecContext* videoOptions = o.Options.CodecOptions[AVMEDIA_TYPE_VIDEO].get();

    // The encoder first, so that a missing one leaves no stream behind.
    const bool copy = o.VideoStreamCopy;
    const AVCodec* namedEncoder = nullptr;
    AVCodecID codecId = AV_CODEC_ID_NONE;
    if (!copy) {
        if (!o.VideoCodecName.isEmpty()) {
            if (!FindCodec(o.VideoCodecName, AVMEDIA_TYPE_VIDEO, true, videoOptions->strict_std_compliance, codecId,
                           &namedEncoder)) {
                o.VideoCodecName.clear();
                throw FFmpegException(LastErrMsg());
            }
        } else {
            codecId = av_guess_codec(output->oformat, nullptr, output->url, nullptr, AVMEDIA_TYPE_VIDEO);
        }
    }
    const AVCodec* encoder = namedEncoder ? namedEncoder : avcodec_find_encoder(codecId);

    // 1. The stream and its codec.
    AVStream* stream = NewStream(output, o);
    if (!stream) {
        o.VideoCodecName.clear();
        throw FFmpegException("Could not alloc stream");
    }
    TOutputStreamCodec entry;
    entry.Context = NewCodecContext(copy ? nullptr : encoder, AVMEDIA_TYPE_VIDEO, codecId);
    AVCodecContext* codec = entry.Context.get();
    entry.Bsfs = std::move(o.VideoBsfs);
    o.VideoBsfs.clear();
    codec->thread_count = o.ThreadCount;
    if (o.VideoCodecTag != 0)
        codec->codec_tag = o.VideoCodecTag;

    // 2. Global and local headers.
    if ((o.VideoGlobalHeader & 1) || (o.VideoGlobalHeader == 0 && (output->oformat->flags & AVFMT_GLOBALHEADER))) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        videoOptions->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (o.VideoGlobalHeader & 2) {
        codec->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
        videoOptions->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
    }

    if (copy) {
        // 3. A copy keeps the input's pictures; only their shape may change.
        entry.StreamCopy = true;
        stream->sample_aspect_ratio = codec->sample_aspect_ratio = SampleAspect(o);
    } else {
        // 4. Encoding.
        AVRational rate = o.FrameRate.num != 0 ? o.FrameRate : AVRational{25, 1};
        entry.Encoder = namedEncoder;
        ApplyOptions(o.Options, codec, videoOptions, AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
        if (encoder && encoder->supported_framerates && !o.ForceFps)
            rate = encoder->supported_framerates[av_find_nearest_q_idx(rate, encoder->supported_framerates)];
        codec->time_base = av_inv_q(rate);
        codec->framerate = rate;
        codec->width = o.FrameWidth;
        codec->height = o.FrameHeight;
        stream->sample_aspect_ratio = codec->sample_aspect_ratio = SampleAspect(o);
        codec->pix_fmt = SupportedPixelFormat(encoder, static_cast<AVPixelFormat>(o.FramePixFmt),
                                              codec->strict_std_compliance);
        codec->pix_fmt = DvPixelFormat(codec);
        if (o.IntraOnly)
            codec->gop_size = 0;
        if (o.VideoQScale != 0 || o.SameQuant) {
            codec->flags |= AV_CODEC_FLAG_QSCALE;
            entry.Quality = o.VideoQScale * LambdaPerQuantiser;
            codec->global_quality = static_cast<int>(entry.Quality);
        }
        if (o.IntraMatrix) {
            av_freep(&codec->intra_matrix);
            codec->intra_matrix = CopyMatrix(*o.IntraMatrix);
        }
        if (o.InterMatrix) {
            av_freep(&codec->inter_matrix);
            codec->inter_matrix = CopyMatrix(*o.InterMatrix);
        }
        if (!o.RcOverride.isEmpty())
            SetRcOverride(codec, o.RcOverride);
        if (codec->rc_initial_buffer_occupancy == 0)
            codec->rc_initial_buffer_occupancy = static_cast<int>(codec->rc_buffer_size * 3LL / 4);
        // The motion-estimation threshold is gone from the encoders.
        codec->intra_dc_precision = o.IntraDcPrecision - 8;
        if (o.DoPsnr)
            codec->flags |= AV_CODEC_FLAG_PSNR;
        if (o.DoPass == 1)
            codec->flags |= AV_CODEC_FLAG_PASS1;
        if (o.DoPass == 2)
            codec->flags |= AV_CODEC_FLAG_PASS2;
    }
    entry.CodecId = codecId;
    file.Streams.push_back(std::move(entry));

    // 5. Language.
    if (!o.VideoLanguage.isEmpty()) {
        av_dict_set(&stream->metadata, "language", o.VideoLanguage.toUtf8().constData(), 0);
        o.VideoLanguage.clear();
    }

    // 6. What this stream consumed.
    o.VideoDisable = false;
    o.VideoCodecName.clear();
    o.VideoStreamCopy = false;
    o.FramePixFmt = AV_PIX_FMT_NONE;
}

void TCustomFFmpeg::CreateAudioStream(AVFormatContext* output)
{
    TOptionState& o = FOpts;
    TOutputFile& file = OutputFileOf(Files, output);
    AVCodecContext* audioOptions = o.Options.CodecOptions[AVMEDIA_TYPE_AUDIO].get();

    const bool copy = o.AudioStreamCopy;
    const AVCodec* namedEncoder = nullptr;
    AVCodecID codecId = AV_CODEC_ID_NONE;
    if (!copy) {
        if (!o.AudioCodecName.isEmpty()) {
            if (!FindCodec(o.AudioCodecName, AVMEDIA_TYPE_AUDIO, true, audioOptions->strict_std_compliance, codecId,
                           &namedEncoder)) {
                o.AudioCodecName.clear();
                throw FFmpegException(LastErrMsg());
            }
        } else {
            codecId = av_guess_codec(output->oformat, nullptr, output->url, nullptr, AVMEDIA_TYPE_AUDIO);
        }
    }
    const AVCodec* encoder = namedEncoder ? namedEncoder : avcodec_find_encoder(codecId);

    AVStream* stream = NewStream(output, o);
    if (!stream) {
        o.AudioCodecName.clear();
        throw FFmpegException("Could not alloc stream");
    }
    TOutputStreamCodec entry;
    entry.Context = NewCodecContext(copy ? nullptr : encoder, AVMEDIA_TYPE_AUDIO, codecId);
    AVCodecContext* codec = entry.Context.get();
    entry.Bsfs = std::move(o.AudioBsfs);
    o.AudioBsfs.clear();
    codec->thread_count = o.ThreadCount;
    if (o.AudioCodecTag != 0)
        codec->codec_tag = o.AudioCodecTag;
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        audioOptions->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }

    if (copy) {
        entry.StreamCopy = true;
        av_channel_layout_uninit(&codec->ch_layout);
        av_channel_layout_default(&codec->ch_layout, o.AudioChannels);
        codec->sample_rate = o.AudioSampleRate;
    } else {
        entry.Encoder = namedEncoder;
        ApplyOptions(o.Options, codec, audioOptions, AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
        if (o.AudioQScale > -99999.0f) {
            codec->flags |= AV_CODEC_FLAG_QSCALE;
            entry.Quality = o.AudioQScale * LambdaPerQuantiser;
            codec->global_quality = static_cast<int>(entry.Quality);
        }
        // The input's layout when it has as many channels as asked for, else the usual one of that count.
        av_channel_layout_uninit(&codec->ch_layout);
        AVChannelLayout layout{};
        if (o.AudioChannelLayout != 0 && av_channel_layout_from_mask(&layout, o.AudioChannelLayout) == 0 &&
            layout.nb_channels == o.AudioChannels)
            codec->ch_layout = layout;
        else
            av_channel_layout_default(&codec->ch_layout, o.AudioChannels);
        codec->sample_fmt = SupportedSampleFormat(encoder, static_cast<AVSampleFormat>(o.AudioSampleFmt));
        codec->sample_rate = SupportedSampleRate(encoder, o.AudioSampleRate);
        if (codec->sample_rate != o.AudioSampleRate)
            DefaultLogger()->LogFmt(this, llWarning, "Requested sampling rate unsupported using closest supported (%d)",
                                    codec->sample_rate);
    }
    entry.CodecId = codecId;
    // Timestamps count samples at the rate actually encoded.
    codec->time_base = AVRational{1, codec->sample_rate > 0 ? codec->sample_rate : o.AudioSampleRate};
    file.Streams.push_back(std::move(entry));

    if (!o.AudioLanguage.isEmpty()) {
        av_dict_set(&stream->metadata, "language", o.AudioLanguage.toUtf8().constData(), 0);
        o.AudioLanguage.clear();
    }
    o.AudioDisable = false;
    o.AudioCodecName.clear();
    o.AudioStreamCopy = false;
}

void TCustomFFmpeg::CreateSubtitleStream(AVFormatContext* output)
{
    TOptionState& o = FOpts;
    TOutputFile& file = OutputFileOf(Files, output);
    AVCodecContext* subtitleOptions = o.Options.CodecOptions[AVMEDIA_TYPE_SUBTITLE].get();

    const bool copy = o.SubtitleStreamCopy;
    const AVCodec* namedEncoder = nullptr;
    AVCodecID codecId = AV_CODEC_ID_NONE;
    if (!copy) {
        if (!FindCodec(o.SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, true, subtitleOptions->strict_std_compliance,
                       codecId, &namedEncoder))
            throw FFmpegException(LastErrMsg());
        // Formats now name a subtitle encoder of their own; without a name, that one.
        if (codecId == AV_CODEC_ID_NONE)
            codecId = av_guess_codec(output->oformat, nullptr, output->url, nullptr, AVMEDIA_TYPE_SUBTITLE);
    }
    const AVCodec* encoder = namedEncoder ? namedEncoder : avcodec_find_encoder(codecId);

    AVStream* stream = NewStream(output, o);
    if (!stream)
        throw FFmpegException("Could not alloc stream");
    TOutputStreamCodec entry;
    entry.Context = NewCodecContext(copy ? nullptr : encoder, AVMEDIA_TYPE_SUBTITLE, codecId);
    AVCodecContext* codec = entry.Context.get();
    entry.Bsfs = std::move(o.SubtitleBsfs);
    o.SubtitleBsfs.clear();
    if (o.SubtitleCodecTag != 0)
        codec->codec_tag = o.SubtitleCodecTag;
    if (copy) {
        entry.StreamCopy = true;
    } else {
        entry.Encoder = namedEncoder;
        ApplyOptions(o.Options, codec, subtitleOptions, AV_OPT_FLAG_SUBTITLE_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
        // The library opens no encoder without a time base. Subtitles reach
        // the encoder timed in microseconds whatever their source, and the
        // source is not even chosen yet, so microseconds it is.
        codec->time_base = AV_TIME_BASE_Q;
    }
    entry.CodecId = codecId;
    file.Streams.push_back(std::move(entry));

    if (!o.SubtitleLanguage.isEmpty()) {
        av_dict_set(&stream->metadata, "language", o.SubtitleLanguage.toUtf8().constData(), 0);
        o.SubtitleLanguage.clear();
    }
    o.SubtitleDisable = false;
    o.SubtitleCodecName.clear();
    o.SubtitleStreamCopy = false;
}
