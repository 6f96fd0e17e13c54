// A packet of an output stream through the stream's bit-stream filters and
// into the container. A filter that fails passes the packet on unfiltered
// (or, with "xerror", ends the task); the container's refusal always ends it.

#include "engine/LoopStages.h"
#include "media/FFmpegException.h"
#include "media/MediaHelpers.h"

extern "C" {
#include <libavcodec/bsf.h>
}

#include <algorithm>

namespace {

void Mux(TLoopContext& loop, TOutputStream& ost, AVPacket* packet)
{
    TMuxedStream& muxed = *loop.WorkOf(ost).Muxed;
    if (muxed.Reopened && packet->dts != AV_NOPTS_VALUE) {
        muxed.Reopened = false;
        if (muxed.LastDts != AV_NOPTS_VALUE)
            muxed.ReopenShift = std::max(muxed.ReopenShift, muxed.LastDts + 1 - packet->dts);
    }
    if (muxed.ReopenShift != 0) {
        if (packet->dts != AV_NOPTS_VALUE)
            packet->dts += muxed.ReopenShift;
        if (packet->pts != AV_NOPTS_VALUE)
            packet->pts += muxed.ReopenShift;
    }
    if (packet->dts != AV_NOPTS_VALUE)
        muxed.LastDts = packet->dts;
    const int64_t start = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (start != AV_NOPTS_VALUE) {
        const int64_t end = start + std::max<int64_t>(packet->duration, 0);
        if (muxed.EndTime == AV_NOPTS_VALUE || end > muxed.EndTime)
            muxed.EndTime = end;
    }
    const int result = av_interleaved_write_frame(loop.Files.Output(ost.FileIndex), packet);
    if (result < 0)
        throw FFmpegException(ErrorText(QStringLiteral("av_interleaved_write_frame()"), result));
}

QString FilterFailure(const TOutputStream& ost, const AVBSFContext* filter, int error)
{
    const AVCodecContext* encoder = ost.EncodingNeeded ? ost.Encoder() : nullptr;
    const char* codecName = encoder && encoder->codec ? encoder->codec->name : "copy";
    return ErrorText(QString::asprintf("%s failed for stream %d, codec %s", filter->filter->name,
                                       ost.Stream->index, codecName),
                     error);
}

AVPacket* BsfPacket(TLoopContext& loop, size_t position)
{
    while (loop.BsfPackets.size() <= position)
        loop.BsfPackets.emplace_back(av_packet_alloc());
    if (!loop.BsfPackets[position])
        throw FFmpegException("Out of memory");
    return loop.BsfPackets[position].get();
}

// The packet through the filters from `position` on, then into the container.
void FilterFrom(TLoopContext& loop, TOutputStream& ost, AVPacket* packet, size_t position)
{
    const TBitStreamFilterChain& chain = ost.Codec->Bsfs;
    if (position >= chain.size()) {
        Mux(loop, ost, packet);
        return;
    }
    AVBSFContext* filter = chain[position].get();
    AVPacket* input = BsfPacket(loop, position);
    av_packet_unref(input);
    int result = av_packet_ref(input, packet);
    if (result >= 0)
        result = av_bsf_send_packet(filter, input);
    if (result < 0) {
        av_packet_unref(input);
        loop.RaiseOrLog(FilterFailure(ost, filter, result));
        FilterFrom(loop, ost, packet, position + 1);
        return;
    }
    av_packet_unref(packet);
    for (;;) {
        result = av_bsf_receive_packet(filter, input);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result < 0) {
            loop.RaiseOrLog(FilterFailure(ost, filter, result));
            return;
        }
        FilterFrom(loop, ost, input, position + 1);
    }
}

} // namespace

void WriteFrame(TLoopContext& loop, TOutputStream& ost, AVPacket* packet)
{
    if (!ost.Codec || ost.Codec->Bsfs.empty()) {
        Mux(loop, ost, packet);
        return;
    }
    FilterFrom(loop, ost, packet, 0);
}
