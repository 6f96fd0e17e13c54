// A decoded subtitle re-encoded into a subtitle output stream. The DVB
// subtitle encoder is given each subtitle twice: once to show it and once,
// empty, at its end time to clear the screen again.

#include "engine/LoopStages.h"
#include "media/FFmpegException.h"

#include <cstring>

namespace {

constexpr int SubtitleBufferSize = 1024 * 1024;
constexpr AVRational Milliseconds{1, 1000};

// Bitmap encoders read every rectangle's picture and palette without
// looking at its type; anything else would have them read nothing.
bool FitsEncoder(const AVCodecContext* encoder, const AVSubtitle& subtitle)
{
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(encoder->codec_id);
    if (!descriptor || !(descriptor->props & AV_CODEC_PROP_BITMAP_SUB))
        return true; // text encoders check their input themselves
    for (unsigned i = 0; i < subtitle.num_rects; ++i) {
        const AVSubtitleRect* rect = subtitle.rects[i];
        if (rect->type != SUBTITLE_BITMAP || !rect->data[0] || !rect->data[1])
            return false;
    }
    return true;
}

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
    if (!FitsEncoder(encoder, subtitle))
        throw FFmpegException("Subtitle encoding failed");

    // Encoders take subtitles that start at their pts and last their end
    // time. The output starts at "ss", as its picture and sound do.
    subtitle.pts = av_rescale_q(packetPts, ist.Stream->time_base, AV_TIME_BASE_Q) - loop.Opts.StartTime;
    subtitle.pts += int64_t(subtitle.start_display_time) * 1000;
    // An end before the start says nothing about the end.
    subtitle.end_display_time = subtitle.end_display_time >= subtitle.start_display_time
                                    ? subtitle.end_display_time - subtitle.start_display_time
                                    : 0;
    subtitle.start_display_time = 0;

    const AVRational timeBase = ost.Stream->time_base;
    const bool dvb = encoder->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    const unsigned rectangles = subtitle.num_rects;
    AVPacket* packet = loop.EncodedPacket.get();
    for (int pass = 0; pass < (dvb ? 2 : 1); ++pass) {
        const bool clearing = pass == 1;
        if (clearing)
            subtitle.num_rects = 0;
        const int size =
            avcodec_encode_subtitle(encoder, loop.SubtitleBuffer.Data(), SubtitleBufferSize, &subtitle);
        subtitle.num_rects = rectangles; // freed with the subtitle
        if (size < 0)
            throw FFmpegException("Subtitle encoding failed");
        if (av_new_packet(packet, size) < 0)
            throw FFmpegException("Out of memory");
        memcpy(packet->data, loop.SubtitleBuffer.Data(), size_t(size));
        packet->stream_index = ost.Stream->index;
        packet->pts = av_rescale_q(subtitle.pts, AV_TIME_BASE_Q, timeBase);
        // The clearing packet of DVB goes at the end; the offset is converted
        // from milliseconds, as the stream's time base need not be 90 kHz.
        if (clearing)
            packet->pts += av_rescale_q(subtitle.end_display_time, Milliseconds, timeBase);
        packet->dts = packet->pts;
        // The container keeps a subtitle's end only as its packet's duration.
        const bool endKnown = subtitle.end_display_time > 0 && subtitle.end_display_time != UINT32_MAX;
        packet->duration =
            !clearing && endKnown ? av_rescale_q(subtitle.end_display_time, Milliseconds, timeBase) : 0;
        WriteFrame(loop, ost, packet);
    }
}
