// One packet of an input stream on its way to the outputs: the stream's
// clock, decoding through the library's send/receive interface (or, for
// streams only copied, the clock advance without decoding), audio volume,
// rate emulation and the hand-over to every output stream the input stream
// feeds. Called without a packet, it drains the decoder and then the encoders.

#include "engine/AudioVolume.h"
#include "engine/LoopStages.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/time.h>
}

#include <algorithm>

namespace {

int64_t ToMicroseconds(int64_t timestamp, AVRational timeBase)
{
    return av_rescale_q(timestamp, timeBase, AV_TIME_BASE_Q);
}

bool AtOrAfterStart(const TLoopContext& loop, const TInputStream& ist)
{
    return loop.Opts.StartTime == 0 || ist.Pts >= loop.Opts.StartTime;
}

// "re": never run ahead of the wall clock.
void EmulateRate(const TLoopContext& loop, const TInputStream& ist)
{
    if (!loop.Opts.RateEmu)
        return;
    const int64_t elapsed = LoopClockNow() - ist.Start;
    if (ist.Pts > elapsed + 1000)
        av_usleep(unsigned((ist.Pts - elapsed) / 1000 * 1000));
}

// One frame's duration from the codec's time base, as the stream advances
// when its packets are not decoded (or a picture carries no timestamp).
int64_t VideoFrameDuration(const TInputStream& ist, int64_t packetDuration)
{
    if (ist.CodecTimeBase.num != 0)
        return int64_t(ist.TicksPerFrame) * ist.CodecTimeBase.num * AV_TIME_BASE / ist.CodecTimeBase.den;
    return packetDuration > 0 ? ToMicroseconds(packetDuration, ist.Stream->time_base) : 0;
}

void AdvanceClockWithoutDecoding(TInputStream& ist, const AVPacket& packet)
{
    const AVCodecParameters* parameters = ist.Stream->codecpar;
    switch (parameters->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        if (parameters->sample_rate > 0 && parameters->frame_size > 0)
            ist.NextPts += int64_t(AV_TIME_BASE) * parameters->frame_size / parameters->sample_rate;
        else if (packet.duration > 0) // PCM has no fixed frame size: its packets say how long they are
            ist.NextPts += ToMicroseconds(packet.duration, ist.Stream->time_base);
        break;
    case AVMEDIA_TYPE_VIDEO:
        ist.NextPts += VideoFrameDuration(ist, packet.duration);
        break;
    default:
        break;
    }
}

void CopyToOutputs(TLoopContext& loop, TInputStream& ist, const AVPacket& packet)
{
    if (!AtOrAfterStart(loop, ist))
        return;
    for (auto& ost : loop.Files.OutputStreams)
        if (!ost->EncodingNeeded && loop.FeedsFrom(*ost, ist))
            CopyPacket(loop, *ost, ist, packet);
}

void NoteMultipleFrames(TLoopContext& loop, TInputStream& ist)
{
    if ((!ist.ShowedMultiPacketWarning && loop.Opts.Verbose > 0) || loop.Opts.Verbose > 1) {
        loop.Log(llError, QString::asprintf("Multiple frames in a packet from stream %d", ist.Index));
        ist.ShowedMultiPacketWarning = true;
    }
}

// The layout a converter can be made for: decoders that name no channels get the usual order.
void UsableLayout(AVChannelLayout& target, const AVChannelLayout& source)
{
    av_channel_layout_uninit(&target);
    if (source.order == AV_CHANNEL_ORDER_UNSPEC || av_channel_layout_check(&source) == 0)
        av_channel_layout_default(&target, source.nb_channels);
    else
        av_channel_layout_copy(&target, &source);
}

// The decoded block as 16-bit interleaved samples in loop.AudioSamples; its size in bytes.
int64_t DecodedAudioAsS16(TLoopContext& loop, TInputStreamWork& work, const AVFrame& frame, int packetSize)
{
    const int channels = frame.ch_layout.nb_channels;
    const int64_t bytes = int64_t(frame.nb_samples) * channels * 2;
    const int64_t wanted = std::max<int64_t>({bytes, 2 * int64_t(packetSize), 192000});
    if (!loop.AudioSamples.Reserve(size_t(wanted)))
        throw FFmpegException("Out of memory");
    UsableLayout(work.DecodedLayout, frame.ch_layout);
    work.DecodedRate = frame.sample_rate;
    uint8_t* target = loop.AudioSamples.Data();
    if (frame.format == AV_SAMPLE_FMT_S16) {
        memcpy(target, frame.extended_data[0], size_t(bytes));
        return bytes;
    }
    if (!work.ToS16 || work.ConverterFormat != frame.format || work.ConverterRate != frame.sample_rate ||
        av_channel_layout_compare(&work.ConverterLayout, &work.DecodedLayout) != 0) {
        SwrContext* converter = nullptr;
        if (swr_alloc_set_opts2(&converter, &work.DecodedLayout, AV_SAMPLE_FMT_S16, frame.sample_rate,
                                &work.DecodedLayout, AVSampleFormat(frame.format), frame.sample_rate, 0,
                                nullptr) < 0 ||
            swr_init(converter) < 0) {
            swr_free(&converter);
            return -1;
        }
        work.ToS16.reset(converter);
        work.ConverterFormat = frame.format;
        work.ConverterRate = frame.sample_rate;
        av_channel_layout_copy(&work.ConverterLayout, &work.DecodedLayout);
    }
    const int converted = swr_convert(work.ToS16.get(), &target, frame.nb_samples,
                                      const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    return converted < 0 ? -1 : int64_t(converted) * channels * 2;
}

int DecodeAudio(TLoopContext& loop, TInputStream& ist, const AVPacket* packet)
{
    AVCodecContext* decoder = ist.DecoderContext.get();
    const int sent = avcodec_send_packet(decoder, packet);
    if (sent < 0 && sent != AVERROR_EOF)
        return -1;
    AVFrame* frame = loop.DecodedFrame.get();
    TInputStreamWork& work = loop.WorkOf(ist);
    int frames = 0;
    for (;;) {
        const int received = avcodec_receive_frame(decoder, frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            break;
        if (received < 0)
            return -1;
        if (packet && ++frames == 2)
            NoteMultipleFrames(loop, ist);
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
            ist.Pts = ToMicroseconds(frame->best_effort_timestamp, ist.Stream->time_base);
        else
            ist.Pts = ist.NextPts;
        const int64_t size = DecodedAudioAsS16(loop, work, *frame, packet ? packet->size : 0);
        const int channels = frame->ch_layout.nb_channels;
        const int rate = frame->sample_rate;
        av_frame_unref(frame);
        if (size < 0)
            return -1;
        if (size == 0 || rate <= 0 || channels <= 0)
            continue;
        ist.NextPts = ist.Pts + (int64_t(AV_TIME_BASE) / 2) * size / (int64_t(rate) * channels);

        uint8_t* samples = loop.AudioSamples.Data();
        if (loop.Opts.AudioVolume != 256)
            ScaleAudioVolume(reinterpret_cast<int16_t*>(samples), size_t(size / 2), loop.Opts.AudioVolume);
        EmulateRate(loop, ist);
        if (!AtOrAfterStart(loop, ist))
            continue;
        for (auto& ost : loop.Files.OutputStreams)
            if (ost->EncodingNeeded && loop.FeedsFrom(*ost, ist))
                OutputAudioBlock(loop, *ost, ist, samples, size);
    }
    if (!packet)
        FlushEncoders(loop, ist);
    return 0;
}

void OutputPicture(TLoopContext& loop, TInputStream& ist, AVFrame* picture)
{
    for (auto& ost : loop.Files.OutputStreams)
        if (ost->EncodingNeeded && loop.FeedsFrom(*ost, ist)) {
            const int written = OutputVideoFrame(loop, *ost, ist, picture);
            if (!loop.Opts.VstatsFileName.isEmpty() && written > 0)
                WriteVideoStats(loop, *ost, written);
        }
}

// With a filter graph the picture goes through it and every picture that comes out is output.
void FilterAndOutput(TLoopContext& loop, TInputStream& ist, AVFrame* picture)
{
    picture->pts = ist.Pts;
    picture->sample_aspect_ratio = ist.DecoderContext->sample_aspect_ratio;
    if (av_buffersrc_add_frame_flags(ist.InputVideoFilter, picture, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
        throw FFmpegException("Error while feeding the filter graph");
    if (!AtOrAfterStart(loop, ist))
        return;
    if (!ist.FilteredPicture)
        ist.FilteredPicture.reset(av_frame_alloc());
    AVFrame* filtered = ist.FilteredPicture.get();
    if (!filtered)
        throw FFmpegException("Out of memory");
    const AVRational sinkTimeBase = av_buffersink_get_time_base(ist.OutputVideoFilter);
    while (av_buffersink_get_frame(ist.OutputVideoFilter, filtered) >= 0) {
        if (filtered->pts != AV_NOPTS_VALUE)
            ist.Pts = ToMicroseconds(filtered->pts, sinkTimeBase);
        for (auto& ost : loop.Files.OutputStreams)
            if (ost->EncodingNeeded && loop.FeedsFrom(*ost, ist))
                ost->Encoder()->sample_aspect_ratio = filtered->sample_aspect_ratio;
        OutputPicture(loop, ist, filtered);
        av_frame_unref(filtered);
    }
}

int DecodeVideo(TLoopContext& loop, TInputStream& ist, const AVPacket* packet)
{
    AVCodecContext* decoder = ist.DecoderContext.get();
    const int sent = avcodec_send_packet(decoder, packet);
    if (sent < 0 && sent != AVERROR_EOF)
        return -1;
    AVFrame* frame = loop.DecodedFrame.get();
    for (;;) {
        const int received = avcodec_receive_frame(decoder, frame);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            break;
        if (received < 0)
            return -1;
        loop.WorkOf(ist).Quality = frame->quality;
        // The picture's own time: decoders with frame threads or reordering
        // deliver pictures later than the packet that was just sent.
        if (frame->best_effort_timestamp != AV_NOPTS_VALUE)
            ist.Pts = ToMicroseconds(frame->best_effort_timestamp, ist.Stream->time_base);
        else
            ist.Pts = ist.NextPts;
        ist.NextPts = ist.Pts + VideoFrameDuration(ist, frame->pkt_duration);

        AVFrame* picture = PreprocessPicture(loop, ist, frame);
        EmulateRate(loop, ist);
        if (ist.FilterGraph)
            FilterAndOutput(loop, ist, picture);
        else if (AtOrAfterStart(loop, ist))
            OutputPicture(loop, ist, picture);
        av_frame_unref(frame);
    }
    if (!packet)
        FlushEncoders(loop, ist);
    return 0;
}

int DecodeSubtitle(TLoopContext& loop, TInputStream& ist, const AVPacket* packet)
{
    if (!packet) // subtitle decoders hold nothing back
        return 0;
    AVSubtitle subtitle{};
    int gotSubtitle = 0;
    if (avcodec_decode_subtitle2(ist.DecoderContext.get(), &subtitle, &gotSubtitle,
                                 const_cast<AVPacket*>(packet)) < 0)
        return -1;
    if (!gotSubtitle)
        return 0;
    if (AtOrAfterStart(loop, ist))
        for (auto& ost : loop.Files.OutputStreams)
            if (ost->EncodingNeeded && loop.FeedsFrom(*ost, ist))
                OutputSubtitle(loop, *ost, ist, subtitle, packet->pts);
    avsubtitle_free(&subtitle);
    return 0;
}

} // namespace

int OutputPacket(TLoopContext& loop, TInputStream& ist, const AVPacket* packet)
{
    if (ist.NextPts == AV_NOPTS_VALUE)
        ist.NextPts = ist.Pts;
    if (packet && packet->dts != AV_NOPTS_VALUE)
        ist.NextPts = ist.Pts = ToMicroseconds(packet->dts, ist.Stream->time_base);

    if (!ist.DecodingNeeded) {
        if (!packet)
            return 0;
        ist.Pts = ist.NextPts;
        AdvanceClockWithoutDecoding(ist, *packet);
        EmulateRate(loop, ist);
        CopyToOutputs(loop, ist, *packet);
        return 0;
    }

    if (packet) {
        // A stream that is decoded for one output may still be copied to another.
        ist.Pts = ist.NextPts;
        CopyToOutputs(loop, ist, *packet);
    }
    switch (ist.Stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        return DecodeAudio(loop, ist, packet);
    case AVMEDIA_TYPE_VIDEO:
        return DecodeVideo(loop, ist, packet);
    case AVMEDIA_TYPE_SUBTITLE:
        return DecodeSubtitle(loop, ist, packet);
    default:
        return -1;
    }
}
