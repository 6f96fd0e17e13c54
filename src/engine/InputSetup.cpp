// Opening an input of a task: the container, its stream information, the
// seek to the start time and one unopened decoder context per stream, whose
// properties also become the option state's idea of "the input" (frame size,
// rate, aspect, audio format) for the options given after it.

#include "engine/TCustomFFmpeg.h"

#include "media/CodecLock.h"
#include "media/FFLogger.h"
#include "media/FFmpegException.h"
#include "media/FormatIO.h"
#include "media/MediaHelpers.h"
#include "media/UnicodeProtocol.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Input parameters for demuxers that cannot tell them themselves (raw
// formats, capture devices); other demuxers leave them unused.
DictionaryPtr InputParameters(const TOptionState& o)
{
    AVDictionary* parameters = nullptr;
    av_dict_set_int(&parameters, "sample_rate", o.AudioSampleRate, 0);
    av_dict_set_int(&parameters, "channels", o.AudioChannels, 0);
    if (o.FrameRate.num > 0 && o.FrameRate.den > 0)
        av_dict_set(&parameters, "framerate",
                    QString::asprintf("%d/%d", o.FrameRate.num, o.FrameRate.den).toUtf8().constData(), 0);
    if (o.FrameWidth > 0 && o.FrameHeight > 0)
        av_dict_set(&parameters, "video_size",
                    QString::asprintf("%dx%d", o.FrameWidth, o.FrameHeight).toUtf8().constData(), 0);
    if (o.FramePixFmt != AV_PIX_FMT_NONE)
        if (const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(o.FramePixFmt)))
            av_dict_set(&parameters, "pixel_format", name, 0);
    if (o.VideoChannel != 0)
        av_dict_set_int(&parameters, "channel", o.VideoChannel, 0);
    if (!o.VideoStandard.isEmpty())
        av_dict_set(&parameters, "standard", o.VideoStandard.toUtf8().constData(), 0);
    return DictionaryPtr(parameters);
}

// Streams of the programs with that id stay, every other stream is dropped.
bool KeepProgram(AVFormatContext* input, int programId)
{
    for (unsigned i = 0; i < input->nb_streams; ++i)
        input->streams[i]->discard = AVDISCARD_ALL;
    bool found = false;
    for (unsigned p = 0; p < input->nb_programs; ++p) {
        AVProgram* program = input->programs[p];
        if (program->id != programId) {
            program->discard = AVDISCARD_ALL;
            continue;
        }
        found = true;
        for (unsigned s = 0; s < program->nb_stream_indexes; ++s)
            input->streams[program->stream_index[s]]->discard = AVDISCARD_DEFAULT;
    }
    return found;
}

// The ticks per frame the decoder declares when it starts (2 for the H.264
// decoder: its time base counts fields). Stream parameters no longer carry
// it, so a throw-away decoder is opened; 1 when it cannot be.
int DecoderTicksPerFrame(const AVCodec* decoder, const AVCodecParameters* parameters)
{
    if (!decoder)
        return 1;
    CodecContextPtr probe(avcodec_alloc_context3(decoder));
    if (!probe || avcodec_parameters_to_context(probe.get(), parameters) < 0)
        return 1;
    probe->thread_count = 1;
    TCodecLockGuard lock;
    if (avcodec_open2(probe.get(), decoder, nullptr) < 0)
        return 1;
    const int ticks = probe->ticks_per_frame > 0 ? probe->ticks_per_frame : 1;
    probe.reset();
    return ticks;
}

// Width / height in display terms, from the sample aspect ratio when known.
float DisplayAspect(AVRational sampleAspect, int width, int height)
{
    if (width <= 0 || height <= 0)
        return 4.0f / 3.0f;
    const double sample = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    return static_cast<float>(sample * width / height);
}

quint64 ChannelMask(const AVChannelLayout& layout)
{
    return layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0;
}

} // namespace

bool TCustomFFmpeg::OpenInputFile(const QString& fileName)
{
    TOptionState& o = FOpts;
    if (Files.InputCount() >= MaxInputFiles) {
        SetLastErrMsg(QString::asprintf("max input files %d reached", MaxInputFiles));
        return false;
    }

    // 1. The forced input format.
    const AVInputFormat* format = nullptr;
    if (!o.FormatName.isEmpty()) {
        const QString formatName = o.FormatName;
        o.FormatName.clear();
        format = av_find_input_format(formatName.toUtf8().constData());
        if (!format)
            throw FFmpegException(QString::asprintf("Unknown input format: \"%s\"", formatName.toUtf8().constData()));
    }

    // 2. The container context.
    AVFormatContext* context = avformat_alloc_context();
    if (!context)
        throw FFmpegException("avformat_alloc_context failed");
    FormatContextPtr unopened(context);

    // 3. Input parameters and the generic container options.
    DictionaryPtr parameters = InputParameters(o);
    ApplyOptions(o.Options, context, o.Options.FormatOptions.get(), AV_OPT_FLAG_DECODING_PARAM);

    // 4. Forced decoders of the container.
    AVCodecID videoId = AV_CODEC_ID_NONE, audioId = AV_CODEC_ID_NONE, subtitleId = AV_CODEC_ID_NONE;
    const AVCodec* videoDecoder = nullptr;
    const AVCodec* audioDecoder = nullptr;
    const AVCodec* subtitleDecoder = nullptr;
    const auto strictness = [&](AVMediaType type) { return o.Options.CodecOptions[type]->strict_std_compliance; };
    if (!FindCodec(o.VideoCodecName, AVMEDIA_TYPE_VIDEO, false, strictness(AVMEDIA_TYPE_VIDEO), videoId,
                   &videoDecoder) ||
        !FindCodec(o.AudioCodecName, AVMEDIA_TYPE_AUDIO, false, strictness(AVMEDIA_TYPE_AUDIO), audioId,
                   &audioDecoder) ||
        !FindCodec(o.SubtitleCodecName, AVMEDIA_TYPE_SUBTITLE, false, strictness(AVMEDIA_TYPE_SUBTITLE), subtitleId,
                   &subtitleDecoder))
        return false;
    context->video_codec_id = videoId;
    context->audio_codec_id = audioId;
    context->subtitle_codec_id = subtitleId;
    context->video_codec = videoDecoder;
    context->audio_codec = audioDecoder;
    context->subtitle_codec = subtitleDecoder;

    // 5. Non-blocking reads; the old pgmyuv format is image2 with its codec.
    context->flags |= AVFMT_FLAG_NONBLOCK;
    if (o.PgmyuvCompatibility)
        context->video_codec_id = AV_CODEC_ID_PGMYUV;

    // 6. Open the file; the opener frees the context when it fails.
    const std::string url = FileNameToURL(fileName);
    AVDictionary* openParameters = parameters.release();
    AVFormatContext* opened = unopened.release();
    const int openResult = ::OpenInputFile(&opened, url, format, &openParameters);
    av_dict_free(&openParameters);
    if (openResult < 0) {
        SetLastErrMsg(ErrorText(fileName, openResult));
        return false;
    }
    InputFormatPtr input(opened);

    // 7. Keep one program.
    if (o.ProgramId != 0) {
        const int programId = o.ProgramId;
        o.ProgramId = 0;
        if (!KeepProgram(input.get(), programId)) {
            SetLastErrMsg("Specified program id not found");
            return false;
        }
    }

    // 8. Looping reads exist only for picture sequences now.
    if (o.LoopInput && input->priv_data && av_opt_find(input->priv_data, "loop", nullptr, 0, 0))
        av_opt_set_int(input->priv_data, "loop", 1, 0);

    // 9. Stream information; the search opens decoders.
    int infoResult;
    {
        TCodecLockGuard lock;
        infoResult = avformat_find_stream_info(input.get(), nullptr);
    }
    if (infoResult < 0 && o.Verbose >= 0) {
        SetLastErrMsg(QString::asprintf("%s: could not find codec parameters", fileName.toUtf8().constData()));
        DefaultLogger()->Log(this, llVerbose, LastErrMsg());
        return false;
    }

    // 10. Seek to the start time.
    qint64 timestamp = o.StartTime;
    if (input->start_time != AV_NOPTS_VALUE)
        timestamp += input->start_time;
    if (o.StartTime != 0) {
        if (av_seek_frame(input.get(), -1, timestamp, AVSEEK_FLAG_BACKWARD) < 0 && o.Verbose > 0)
            DefaultLogger()->LogFmt(this, llVerbose, "%s: could not seek to position %0.3f",
                                    fileName.toUtf8().constData(), static_cast<double>(timestamp) / AV_TIME_BASE);
        o.StartTime = 0;
    }

    // 11. One decoder context per stream; the streams' properties become the option state's.
    TInputFile file;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = input->streams[i];
        AVCodecParameters* parameters = stream->codecpar;
        const AVMediaType type = parameters->codec_type;
        if (type < AVMEDIA_TYPE_UNKNOWN || type >= AVMEDIA_TYPE_NB)
            throw FFmpegException("invalid codec_type");

        TInputStreamCodec codec;
        switch (type) {
        case AVMEDIA_TYPE_VIDEO:
            codec.ForcedDecoder = videoDecoder;
            break;
        case AVMEDIA_TYPE_AUDIO:
            codec.ForcedDecoder = audioDecoder;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            codec.ForcedDecoder = subtitleDecoder;
            break;
        default:
            break;
        }
        const AVCodec* decoder =
            codec.ForcedDecoder ? codec.ForcedDecoder : avcodec_find_decoder(parameters->codec_id);
        codec.Context.reset(avcodec_alloc_context3(decoder));
        if (!codec.Context || avcodec_parameters_to_context(codec.Context.get(), parameters) < 0)
            throw FFmpegException("avcodec_alloc_context3 failed");
        AVCodecContext* decoderContext = codec.Context.get();
        decoderContext->thread_count = o.ThreadCount;
        codec.CodecTimeBase = av_stream_get_codec_timebase(stream);

        switch (type) {
        case AVMEDIA_TYPE_VIDEO: {
            ApplyOptions(o.Options, decoderContext, o.Options.CodecOptions[AVMEDIA_TYPE_VIDEO].get(),
                         AV_OPT_FLAG_VIDEO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
            o.FrameHeight = decoderContext->height;
            o.FrameWidth = decoderContext->width;
            const AVRational sampleAspect =
                stream->sample_aspect_ratio.num ? stream->sample_aspect_ratio : decoderContext->sample_aspect_ratio;
            o.FrameAspectRatio = DisplayAspect(sampleAspect, decoderContext->width, decoderContext->height);
            o.FramePixFmt = decoderContext->pix_fmt == AV_PIX_FMT_NONE ? 0 : decoderContext->pix_fmt;
            if (decoderContext->lowres) {
                o.FrameHeight >>= decoderContext->lowres;
                o.FrameWidth >>= decoderContext->lowres;
            }
            if (o.MeThreshold != 0)
                decoderContext->export_side_data |= AV_CODEC_EXPORT_DATA_MVS;
            codec.TicksPerFrame = DecoderTicksPerFrame(decoder, parameters);
            const AVRational rate = stream->r_frame_rate;
            const AVRational codecBase = codec.CodecTimeBase;
            if ((codecBase.den != rate.num * codec.TicksPerFrame || codecBase.num != rate.den) && o.Verbose >= 0)
                DefaultLogger()->LogFmt(
                    this, llInfo,
                    "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) -> %2.2f (%d/%d)",
                    static_cast<int>(i), codecBase.num ? static_cast<double>(codecBase.den) / codecBase.num : 0.0,
                    codecBase.den, codecBase.num, rate.den ? static_cast<double>(rate.num) / rate.den : 0.0,
                    rate.num, rate.den);
            o.FrameRate = rate;
            if (o.VideoDisable)
                stream->discard = AVDISCARD_ALL;
            else if (o.VideoDiscard != 0)
                stream->discard = static_cast<AVDiscard>(o.VideoDiscard);
            break;
        }
        case AVMEDIA_TYPE_AUDIO:
            ApplyOptions(o.Options, decoderContext, o.Options.CodecOptions[AVMEDIA_TYPE_AUDIO].get(),
                         AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_DECODING_PARAM);
            o.AudioChannelLayout = ChannelMask(parameters->ch_layout);
            o.AudioChannels = parameters->ch_layout.nb_channels;
            o.AudioSampleRate = parameters->sample_rate;
            o.AudioSampleFmt = parameters->format;
            if (o.AudioDisable)
                stream->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            if (o.SubtitleDisable)
                stream->discard = AVDISCARD_ALL;
            break;
        default:
            break;
        }
        file.Streams.push_back(std::move(codec));
    }

    // 12. The longest input sets the expected duration.
    if (input->duration != AV_NOPTS_VALUE && input->duration > TotalDuration)
        TotalDuration = input->duration;

    // 13. Register the input and its time offset.
    const int index = Files.InputCount();
    Files.InputTsOffsets[index] = o.CopyTs ? o.InputTsOffset : o.InputTsOffset - timestamp;
    AVFormatContext* registered = input.get();
    file.Context = std::move(input);
    Files.InputFiles.push_back(std::move(file));

    // 14. The library's description of the input.
    if (o.Verbose >= 0)
        av_dump_format(registered, index, fileName.toUtf8().constData(), 0);

    // 15. What this input consumed.
    o.VideoChannel = 0;
    o.VideoCodecName.clear();
    o.AudioCodecName.clear();
    o.SubtitleCodecName.clear();
    return true;
}
