// One block of decoded audio into one encoded audio output stream. The
// block arrives as 16-bit interleaved samples at the source's rate and
// channel count; it is kept in step with the input clock (silence put in,
// samples thrown away, or drift absorbed by the resampler), resampled to the
// output's rate and channels when they differ, queued in the stream's FIFO
// and taken out one encoder frame at a time, converted to the encoder's
// sample format on the way.

#include "engine/AudioBufferSizes.h"
#include "engine/AudioSync.h"
#include "engine/LoopStages.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int S16Bytes = 2;

int EncoderChannels(const AVCodecContext* encoder)
{
    return encoder->ch_layout.nb_channels;
}

int64_t FifoSamples(const TOutputStream& ost, int channels)
{
    return ost.Fifo ? int64_t(av_fifo_can_read(ost.Fifo.get())) / (int64_t(channels) * S16Bytes) : 0;
}

// Resampler from the source's rate and channels to the output's, 16-bit on both sides.
void MakeResampler(TLoopContext& loop, TOutputStream& ost, const TInputStream& ist,
                   const TInputStreamWork& source)
{
    const AVCodecContext* encoder = ost.Encoder();
    if (ist.DecoderContext->sample_fmt != AV_SAMPLE_FMT_S16 && loop.Opts.Verbose > 0)
        loop.Log(llVerbose, QStringLiteral("Warning, using s16 intermediate sample format for resampling"));
    SwrContext* resampler = nullptr;
    const bool made =
        swr_alloc_set_opts2(&resampler, const_cast<AVChannelLayout*>(&encoder->ch_layout), AV_SAMPLE_FMT_S16,
                            encoder->sample_rate, const_cast<AVChannelLayout*>(&source.DecodedLayout),
                            AV_SAMPLE_FMT_S16, source.DecodedRate, 0, nullptr) >= 0 &&
        av_opt_set_int(resampler, "filter_size", 16, 0) >= 0 &&
        av_opt_set_int(resampler, "phase_shift", 10, 0) >= 0 &&
        av_opt_set_int(resampler, "linear_interp", 0, 0) >= 0 &&
        av_opt_set_double(resampler, "cutoff", 0.8, 0) >= 0 && swr_init(resampler) >= 0;
    if (!made) {
        swr_free(&resampler);
        throw FFmpegException(QString::asprintf("Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                                                source.DecodedLayout.nb_channels, source.DecodedRate,
                                                EncoderChannels(encoder), encoder->sample_rate));
    }
    ost.ResampleCtx.reset(resampler);
    TOutputStreamWork& work = loop.WorkOf(ost);
    av_channel_layout_copy(&work.ResamplerLayout, &source.DecodedLayout);
    work.ResamplerRate = source.DecodedRate;
}

// A source may change its channels or rate midway (broadcast streams do):
// the resampler must be made for what arrives, never fed blocks of another shape.
bool ResamplerFits(TLoopContext& loop, const TOutputStream& ost, const TInputStreamWork& source)
{
    const TOutputStreamWork& work = loop.WorkOf(ost);
    return ost.ResampleCtx && work.ResamplerRate == source.DecodedRate &&
           av_channel_layout_compare(&work.ResamplerLayout, &source.DecodedLayout) == 0;
}

// Converter from 16-bit interleaved to the encoder's sample format, made once per format pair.
void MakeReformatter(TLoopContext& loop, TOutputStream& ost)
{
    const AVCodecContext* encoder = ost.Encoder();
    const int pair = encoder->sample_fmt + 5 * AV_SAMPLE_FMT_S16;
    if (ost.ReformatCtx && ost.ReformatPair == pair)
        return;
    SwrContext* converter = nullptr;
    if (swr_alloc_set_opts2(&converter, const_cast<AVChannelLayout*>(&encoder->ch_layout),
                            encoder->sample_fmt, encoder->sample_rate,
                            const_cast<AVChannelLayout*>(&encoder->ch_layout), AV_SAMPLE_FMT_S16,
                            encoder->sample_rate, 0, nullptr) < 0 ||
        swr_init(converter) < 0) {
        swr_free(&converter);
        throw FFmpegException(QString::asprintf("Cannot convert %s sample format to %s sample format",
                                                av_get_sample_fmt_name(AV_SAMPLE_FMT_S16),
                                                av_get_sample_fmt_name(encoder->sample_fmt)));
    }
    ost.ReformatCtx.reset(converter);
    ost.ReformatPair = pair;
}

TAudioBufferSizes NeededBufferSizes(const TOutputStream& ost, const TInputStreamWork& source, int64_t size)
{
    const AVCodecContext* encoder = ost.Encoder();
    TAudioBufferShape shape;
    shape.InputBytesPerSample = S16Bytes;
    shape.InputChannels = source.DecodedLayout.nb_channels;
    shape.InputRate = source.DecodedRate;
    shape.OutputBytesPerSample = S16Bytes;
    shape.OutputChannels = EncoderChannels(encoder);
    shape.OutputRate = encoder->sample_rate;
    shape.FrameSize = encoder->frame_size;
    shape.CodedBitsPerSample = av_get_bits_per_sample(encoder->codec_id);
    return AudioBufferSizes(size, shape);
}

void ReserveWorkBuffer(TLoopContext& loop, const TOutputStream& ost, const TInputStreamWork& source,
                       int64_t room)
{
    const TAudioBufferSizes sizes = NeededBufferSizes(ost, source, room);
    if (AudioBufferSizesTooLarge(sizes))
        throw FFmpegException("Buffer sizes too large in do_audio_out");
    if (!loop.AudioWork.Reserve(size_t(sizes.Work)))
        throw FFmpegException("Out of memory in do_audio_out");
}

// The encoder's reusable frame, able to hold sampleCount samples and writable.
AVFrame* EncoderFrame(TOutputStreamWork& work, const AVCodecContext* encoder, int sampleCount)
{
    if (!work.EncoderFrame)
        work.EncoderFrame.reset(av_frame_alloc());
    AVFrame* frame = work.EncoderFrame.get();
    if (!frame)
        throw FFmpegException("Out of memory");
    const bool reusable =
        frame->buf[0] && work.EncoderFrameCapacity >= sampleCount && av_frame_is_writable(frame);
    if (!reusable) {
        av_frame_unref(frame);
        frame->format = encoder->sample_fmt;
        frame->sample_rate = encoder->sample_rate;
        if (av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout) < 0)
            throw FFmpegException("Out of memory");
        frame->nb_samples = std::max(sampleCount, work.EncoderFrameCapacity);
        if (av_frame_get_buffer(frame, 0) < 0)
            throw FFmpegException("Out of memory");
        work.EncoderFrameCapacity = frame->nb_samples;
    }
    frame->nb_samples = sampleCount;
    return frame;
}

void WriteEncodedAudio(TLoopContext& loop, TOutputStream& ost)
{
    AVCodecContext* encoder = ost.Encoder();
    AVPacket* packet = loop.EncodedPacket.get();
    for (;;) {
        const int received = avcodec_receive_packet(encoder, packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        if (received < 0)
            throw FFmpegException("Audio encoding failed");
        loop.Task.Counters.AudioSize += packet->size;
        packet->stream_index = ost.Stream->index;
        av_packet_rescale_ts(packet, encoder->time_base, ost.Stream->time_base);
        WriteFrame(loop, ost, packet);
    }
}

// Puts the block behind what the FIFO holds; the FIFO grows as needed.
void QueueSamples(TOutputStream& ost, const uint8_t* data, int64_t size)
{
    if (!ost.Fifo)
        ost.Fifo.reset(av_fifo_alloc2(size_t(size), 1, 0));
    if (!ost.Fifo)
        throw FFmpegException("av_fifo_realloc2() failed");
    const size_t room = av_fifo_can_write(ost.Fifo.get());
    if (room < size_t(size) && av_fifo_grow2(ost.Fifo.get(), size_t(size) - room) < 0)
        throw FFmpegException("av_fifo_realloc2() failed");
    av_fifo_write(ost.Fifo.get(), data, size_t(size));
}

} // namespace

void EncodeAudio(TLoopContext& loop, TOutputStream& ost, const uint8_t* samples, int sampleCount)
{
    AVCodecContext* encoder = ost.Encoder();
    if (!samples) {
        const int sent = avcodec_send_frame(encoder, nullptr);
        if (sent < 0 && sent != AVERROR_EOF)
            throw FFmpegException("Audio encoding failed");
        if (sent >= 0)
            WriteEncodedAudio(loop, ost);
        return;
    }
    AVFrame* frame = EncoderFrame(loop.WorkOf(ost), encoder, sampleCount);
    if (encoder->sample_fmt == AV_SAMPLE_FMT_S16)
        memcpy(frame->data[0], samples, size_t(sampleCount) * EncoderChannels(encoder) * S16Bytes);
    else {
        MakeReformatter(loop, ost);
        if (swr_convert(ost.ReformatCtx.get(), frame->extended_data, sampleCount, &samples, sampleCount) <
            0) {
            loop.RaiseOrLog(QStringLiteral("av_audio_convert() failed"));
            return;
        }
    }
    // SyncOpts counts samples, the encoder's time base is normally one sample as well.
    frame->pts = av_rescale_q(ost.SyncOpts, AVRational{1, encoder->sample_rate}, encoder->time_base);
    if (avcodec_send_frame(encoder, frame) < 0)
        throw FFmpegException("Audio encoding failed");
    WriteEncodedAudio(loop, ost);
}

void OutputAudioBlock(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, const uint8_t* data,
                      int64_t size)
{
    const TOptionState& opts = loop.Opts;
    const TInputStreamWork& source = loop.WorkOf(ist);
    const AVCodecContext* encoder = ost.Encoder();
    const int inputChannels = source.DecodedLayout.nb_channels;
    const int outputChannels = EncoderChannels(encoder);
    ReserveWorkBuffer(loop, ost, source, size);

    if (inputChannels != outputChannels || source.DecodedRate != encoder->sample_rate)
        ost.AudioResample = true;
    if (ost.AudioResample && !ResamplerFits(loop, ost, source))
        MakeResampler(loop, ost, ist, source);

    TAudioClock clock;
    clock.SyncIptsSeconds = double(ost.SyncIst->Pts - opts.StartTime) / AV_TIME_BASE;
    clock.SyncOpts = ost.SyncOpts;
    clock.FifoSamples = FifoSamples(ost, outputChannels);
    clock.InputRate = source.DecodedRate;
    clock.OutputRate = encoder->sample_rate;
    clock.InputChannels = inputChannels;
    clock.IsStart = ist.IsStart;
    if (opts.AudioSyncMethod != 0) {
        const TAudioSyncDecision decision =
            DecideAudioSync(clock, opts.AudioSyncMethod, opts.AudioDriftThreshold, size);
        switch (decision.Action) {
        case TAudioSyncAction::Discard:
            data += decision.ByteCount;
            size -= decision.ByteCount;
            if (opts.Verbose > 2)
                loop.Log(llVerbose, QString::asprintf("discarding %d audio samples", int(-decision.Delta)));
            if (size == 0)
                return;
            ist.IsStart = false;
            break;
        case TAudioSyncAction::InsertSilence: {
            ReserveWorkBuffer(loop, ost, source, size + decision.ByteCount);
            ist.IsStart = false;
            if (!loop.Silence.Reserve(size_t(decision.ByteCount + size)))
                throw FFmpegException("Out of memory in do_audio_out");
            memset(loop.Silence.Data(), 0, size_t(decision.ByteCount));
            memcpy(loop.Silence.Data() + decision.ByteCount, data, size_t(size));
            data = loop.Silence.Data();
            size += decision.ByteCount;
            if (opts.Verbose > 2)
                loop.Log(llVerbose,
                         QString::asprintf("adding %d audio samples of silence", int(decision.Delta)));
            break;
        }
        case TAudioSyncAction::Compensate:
            if (opts.Verbose > 2)
                loop.Log(llVerbose,
                         QString::asprintf("compensating audio timestamp drift:%f compensation:%d in:%d",
                                           decision.Delta, decision.Compensation, encoder->sample_rate));
            if (ost.ResampleCtx)
                swr_set_compensation(ost.ResampleCtx.get(), decision.Compensation, encoder->sample_rate);
            break;
        case TAudioSyncAction::None:
            break;
        }
    } else {
        // Samples from before the start (a seek lands on the key frame before
        // it) would put the sound ahead of the picture: they are left out.
        if (clock.SyncIptsSeconds < 0) {
            const int64_t frameBytes = int64_t(inputChannels) * S16Bytes;
            const int64_t early = std::min<int64_t>(std::llrint(-clock.SyncIptsSeconds * source.DecodedRate),
                                                    size / frameBytes);
            data += early * frameBytes;
            size -= early * frameBytes;
            if (size == 0)
                return;
            clock.SyncIptsSeconds += double(early) / source.DecodedRate;
        }
        ost.SyncOpts = FollowInputClock(clock);
    }

    if (ost.AudioResample) {
        uint8_t* work = loop.AudioWork.Data();
        const int capacity = int(loop.AudioWork.Capacity() / (size_t(outputChannels) * S16Bytes));
        const int resampled = swr_convert(ost.ResampleCtx.get(), &work, capacity, &data,
                                          int(size / (int64_t(inputChannels) * S16Bytes)));
        if (resampled < 0)
            throw FFmpegException("Audio resampling failed");
        data = work;
        size = int64_t(resampled) * outputChannels * S16Bytes;
    }
    if (size == 0)
        return;

    const int64_t sampleBytes = int64_t(outputChannels) * S16Bytes;
    if (encoder->frame_size > 1) {
        QueueSamples(ost, data, size);
        const size_t frameBytes = size_t(encoder->frame_size) * size_t(sampleBytes);
        if (!loop.FifoTake.Reserve(frameBytes))
            throw FFmpegException("Out of memory in do_audio_out");
        while (av_fifo_can_read(ost.Fifo.get()) >= frameBytes) {
            av_fifo_read(ost.Fifo.get(), loop.FifoTake.Data(), frameBytes);
            EncodeAudio(loop, ost, loop.FifoTake.Data(), encoder->frame_size);
            ost.SyncOpts += encoder->frame_size;
        }
        return;
    }
    // An encoder that takes any number of samples (PCM) gets the whole block.
    const int sampleCount = int(size / sampleBytes);
    EncodeAudio(loop, ost, data, sampleCount);
    ost.SyncOpts += sampleCount;
}
