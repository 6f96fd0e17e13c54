// A decoded subtitle re-encoded into a subtitle output stream. The DVB
// subtitle encoder is given each subtitle twice: once to show it and once,
// at its end time, to clear the screen again.

#include "engine/LoopStages.h"
#include "media/FFmpegException.h"

namespace {

constexpr int SubtitleBufferSize = 1024 * 1024;

} // namespace

void OutputSubtitle(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, AVSubtitle& subtitle,
                    int64_t packetPts)
{
    if (packetPts == AV_NOPTS_VALUE) {
        loop.RaiseOrLog(QStringLiteral("Subtitle packets must have a pts"));
        return;
    }
    if (!loop.SubtitleBuffer.Reserve(SubtitleBufferSize))
        throw FFmpegException("Out of memory");
    AVCodecContext* encoder = ost.Encoder();
    const bool dvb = encoder->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    const int passes = dvb ? 2 : 1;
    AVPacket* packet = loop.EncodedPacket.get();
    for (int pass = 0; pass < passes; ++pass) {
        subtitle.pts = av_rescale_q(packetPts, ist.Stream->time_base, AV_TIME_BASE_Q);
        subtitle.pts += int64_t(subtitle.start_display_time) * 1000;
        subtitle.end_display_time -= subtitle.start_display_time;
        subtitle.start_display_time = 0;
        const int size =
            avcodec_encode_subtitle(encoder, loop.SubtitleBuffer.Data(), SubtitleBufferSize, &subtitle);
        if (size < 0)
            throw FFmpegException("Subtitle encoding failed");
        if (av_new_packet(packet, size) < 0)
            throw FFmpegException("Out of memory");
        memcpy(packet->data, loop.SubtitleBuffer.Data(), size_t(size));
        packet->stream_index = ost.Stream->index;
        packet->pts = av_rescale_q(subtitle.pts, AV_TIME_BASE_Q, ost.Stream->time_base);
        if (dvb)
            packet->pts += 90 * int64_t(pass == 0 ? subtitle.start_display_time : subtitle.end_display_time);
        packet->dts = packet->pts;
        WriteFrame(loop, ost, packet);
    }
}
