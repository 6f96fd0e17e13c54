// An input packet copied into an output stream as it is: re-timed into the
// output's time base (less the start time) and, for outputs that keep
// their codec headers out of band or want them before every key frame, with
// the headers moved accordingly. H.264 and MPEG-1/2 video go through untouched.

#include "engine/LoopStages.h"
#include "media/FFmpegException.h"

extern "C" {
#include <libavcodec/bsf.h>
}

#include <cstring>

namespace {

bool HeadersUntouched(AVCodecID codec)
{
    return codec == AV_CODEC_ID_H264 || codec == AV_CODEC_ID_MPEG1VIDEO || codec == AV_CODEC_ID_MPEG2VIDEO;
}

// With the headers in the container (global header) or put before each key
// frame (local header), the copies inside the packets are taken out. Only
// when the output has the headers of its own, otherwise nothing could decode it.
void PrepareHeaderHandling(TOutputStreamWork& work, const TOutputStream& ost, const TInputStream& ist)
{
    work.CopyHeadersChecked = true;
    const AVCodecContext* settings = ost.Codec ? ost.Codec->Context.get() : nullptr;
    if (!settings || HeadersUntouched(ost.Stream->codecpar->codec_id))
        return;
    const bool separateHeaders =
        (settings->flags & AV_CODEC_FLAG_GLOBAL_HEADER) || (settings->flags2 & AV_CODEC_FLAG2_LOCAL_HEADER);
    if (!separateHeaders || ost.Stream->codecpar->extradata_size <= 0)
        return;
    const AVBitStreamFilter* filter = av_bsf_get_by_name("remove_extra");
    AVBSFContext* context = nullptr;
    if (!filter || av_bsf_alloc(filter, &context) < 0)
        return;
    BsfContextPtr remover(context);
    if (avcodec_parameters_copy(context->par_in, ist.Stream->codecpar) < 0 ||
        av_opt_set(context->priv_data, "freq", "all", 0) < 0)
        return;
    context->time_base_in = ist.Stream->time_base;
    if (av_bsf_init(context) < 0)
        return;
    work.RemoveInbandHeaders = std::move(remover);
    work.FilteredCopy.reset(av_packet_alloc());
}

// The packet with the in-band headers removed (and, with local headers, the
// output's headers put before a key frame); the packet itself when nothing applies.
AVPacket* ConvertHeaders(TOutputStreamWork& work, const TOutputStream& ost, AVPacket* packet)
{
    if (!work.RemoveInbandHeaders || !work.FilteredCopy)
        return packet;
    AVPacket* filtered = work.FilteredCopy.get();
    av_packet_unref(filtered);
    if (av_packet_ref(filtered, packet) < 0 ||
        av_bsf_send_packet(work.RemoveInbandHeaders.get(), filtered) < 0 ||
        av_bsf_receive_packet(work.RemoveInbandHeaders.get(), filtered) < 0) {
        av_packet_unref(filtered);
        return packet;
    }
    const AVCodecParameters* parameters = ost.Stream->codecpar;
    if ((ost.Codec->Context->flags2 & AV_CODEC_FLAG2_LOCAL_HEADER) && (packet->flags & AV_PKT_FLAG_KEY)) {
        const int headerSize = parameters->extradata_size;
        if (av_grow_packet(filtered, headerSize) < 0)
            throw FFmpegException("Out of memory");
        memmove(filtered->data + headerSize, filtered->data, size_t(filtered->size - headerSize));
        memcpy(filtered->data, parameters->extradata, size_t(headerSize));
    }
    av_packet_unref(packet);
    av_packet_move_ref(packet, filtered);
    return packet;
}

} // namespace

void CopyPacket(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, const AVPacket& packet)
{
    if (ost.FrameNumber == 0 && !(packet.flags & AV_PKT_FLAG_KEY) && !loop.Opts.CopyInitialNonKeyframes)
        return;
    TOutputStreamWork& work = loop.WorkOf(ost);
    switch (OutputStreamType(ost)) {
    case AVMEDIA_TYPE_AUDIO:
        loop.Task.Counters.AudioSize += packet.size;
        break;
    case AVMEDIA_TYPE_VIDEO:
        loop.Task.Counters.VideoSize += packet.size;
        ++ost.SyncOpts;
        break;
    default:
        break;
    }

    AVPacket* copy = loop.EncodedPacket.get();
    av_packet_unref(copy);
    if (av_packet_ref(copy, &packet) < 0)
        throw FFmpegException("Out of memory");
    const AVRational inputBase = ist.Stream->time_base;
    const AVRational outputBase = ost.Stream->time_base;
    const int64_t start = av_rescale_q(loop.Opts.StartTime, AV_TIME_BASE_Q, outputBase);
    copy->stream_index = ost.Stream->index;
    copy->pts = packet.pts != AV_NOPTS_VALUE ? av_rescale_q(packet.pts, inputBase, outputBase) - start
                                             : AV_NOPTS_VALUE;
    copy->dts = (packet.dts == AV_NOPTS_VALUE ? av_rescale_q(ist.Pts, AV_TIME_BASE_Q, outputBase)
                                              : av_rescale_q(packet.dts, inputBase, outputBase)) -
                start;
    copy->duration = av_rescale_q(packet.duration, inputBase, outputBase);

    if (!work.CopyHeadersChecked)
        PrepareHeaderHandling(work, ost, ist);
    WriteFrame(loop, ost, ConvertHeaders(work, ost, copy));
    ++ost.FrameNumber;
}
