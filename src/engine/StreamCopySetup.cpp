// An output stream that copies its source's packets: the source's codec
// parameters, with the tag, time base and shape the output may need.

#include "engine/TranscodeSetupSteps.h"

#include "media/FFmpegException.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <climits>

namespace {

// The input's tag, unless the output format knows that tag as another codec
// or has a tag of its own for the codec.
uint32_t CopiedCodecTag(const AVOutputFormat* format, const AVCodecParameters* input)
{
    if (!format->codec_tag || av_codec_get_id(format->codec_tag, input->codec_tag) == input->codec_id)
        return input->codec_tag;
    unsigned int tag = 0;
    if (!av_codec_get_tag2(format->codec_tag, input->codec_id, &tag) || tag == 0)
        return input->codec_tag;
    return 0;
}

// The codec's frame period when the stream counts in much finer units (a
// 90 kHz transport stream clock), else the stream's own time base.
AVRational CopiedTimeBase(const TInputStream& ist)
{
    const AVRational streamBase = ist.Stream->time_base;
    AVRational framePeriod = av_mul_q(ist.CodecTimeBase, AVRational{ist.TicksPerFrame, 1});
    if (ist.CodecTimeBase.num > 0 && av_q2d(framePeriod) > av_q2d(streamBase) && av_q2d(streamBase) < 1.0 / 1000) {
        av_reduce(&framePeriod.num, &framePeriod.den, framePeriod.num, framePeriod.den, INT_MAX);
        return framePeriod;
    }
    return streamBase;
}

} // namespace

void PrepareStreamCopy(TCustomFFmpeg& task, TOutputStream& ost, const TInputStream& ist)
{
    const TOptionState& o = task.Opts();
    const AVCodecParameters* input = ist.Stream->codecpar;
    AVCodecParameters* output = ost.Stream->codecpar;
    AVCodecContext* settings = ost.Encoder();
    const AVFormatContext* container = task.Files.Output(ost.FileIndex);

    // 1. The extra data and its zero padding must fit.
    if (input->extradata_size > INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE)
        throw FFmpegException("icodec.extradata_size is invalid (too large)");

    // 5. What cannot be done without decoding.
    switch (input->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        if (task.HookCallback)
            throw FFmpegException("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
        if (o.UsingVhook || !task.VideoHooks.IsEmpty())
            throw FFmpegException("-vcodec copy and -vhook are incompatible (frames are not decoded)");
        if (task.PreviewFlags() != 0)
            throw FFmpegException("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
        break;
    case AVMEDIA_TYPE_AUDIO:
        if (o.AudioVolume != 256)
            throw FFmpegException("-acodec copy and -vol are incompatible (frames are not decoded)");
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        break;
    default:
        throw FFmpegException("invalid codec_type of output stream");
    }

    // 2.-3. Codec, bit rate, extra data and the shape of the pictures or sound.
    const uint32_t requestedTag = settings ? settings->codec_tag : 0;
    const AVRational sampleAspect = settings ? settings->sample_aspect_ratio : AVRational{0, 1};
    if (avcodec_parameters_copy(output, input) < 0)
        throw FFmpegException("av_mallocz fail");
    output->codec_tag = requestedTag != 0 ? requestedTag : CopiedCodecTag(container->oformat, input);
    if (input->codec_type == AVMEDIA_TYPE_VIDEO) {
        // The aspect asked for when the stream was made (the input's unless changed).
        output->sample_aspect_ratio = sampleAspect;
        ost.Stream->sample_aspect_ratio = sampleAspect;
    } else if (input->codec_type == AVMEDIA_TYPE_AUDIO) {
        if ((output->codec_id == AV_CODEC_ID_MP3 && output->block_align == 1) ||
            output->codec_id == AV_CODEC_ID_AC3)
            output->block_align = 0;
    }

    // 4. Time base.
    ost.Stream->time_base = CopiedTimeBase(ist);

    // The stream's codec record mirrors what is copied, for the loop.
    if (settings) {
        avcodec_parameters_to_context(settings, output);
        settings->time_base = ost.Stream->time_base;
    }
    ost.Codec->CodecId = output->codec_id;
    ost.EncodingNeeded = false;
}
