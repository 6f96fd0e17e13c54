// At an input stream's end, every encoder it feeds gives out what it still
// holds: audio first encodes the rest of its FIFO as a last (short or
// zero-padded) frame, then every encoder is drained.

#include "engine/LoopStages.h"
#include "media/FFmpegException.h"

#include <cstring>

namespace {

constexpr int S16Bytes = 2;

void FlushAudioFifo(TLoopContext& loop, TOutputStream& ost)
{
    AVCodecContext* encoder = ost.Encoder();
    if (!ost.Fifo)
        return;
    const size_t sampleBytes = size_t(encoder->ch_layout.nb_channels) * S16Bytes;
    const size_t remaining = av_fifo_can_read(ost.Fifo.get());
    const int samples = int(remaining / sampleBytes);
    if (samples == 0)
        return;
    const bool shortLastFrame = encoder->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    const int frameSamples = shortLastFrame ? samples : encoder->frame_size;
    const size_t frameBytes = size_t(frameSamples) * sampleBytes;
    if (!loop.FifoTake.Reserve(frameBytes))
        throw FFmpegException("frame_bytes invalid.");
    av_fifo_read(ost.Fifo.get(), loop.FifoTake.Data(), size_t(samples) * sampleBytes);
    memset(loop.FifoTake.Data() + size_t(samples) * sampleBytes, 0,
           frameBytes - size_t(samples) * sampleBytes);
    EncodeAudio(loop, ost, loop.FifoTake.Data(), frameSamples);
    ost.SyncOpts += frameSamples;
}

} // namespace

void FlushEncoders(TLoopContext& loop, TInputStream& ist)
{
    for (auto& ostPointer : loop.Files.OutputStreams) {
        TOutputStream& ost = *ostPointer;
        if (!ost.EncodingNeeded || !loop.FeedsFrom(ost, ist) || !ost.Encoder())
            continue;
        switch (OutputStreamType(ost)) {
        case AVMEDIA_TYPE_AUDIO:
            if (ost.Encoder()->frame_size <= 1)
                break; // PCM-like: nothing is held back
            FlushAudioFifo(loop, ost);
            EncodeAudio(loop, ost, nullptr, 0);
            break;
        case AVMEDIA_TYPE_VIDEO:
            EncodeVideo(loop, ost, nullptr);
            break;
        default:
            break;
        }
    }
}
