// One decoded picture into one encoded video output stream: the frame-rate
// synchronisation decides how often it is output (dropping and duplicating
// against the output's frame counter), then it is cropped and scaled when
// there is no filter graph, and encoded; every packet the encoder gives
// back is written, and the preview sees what the encoder got.

#include "engine/LoopStages.h"
#include "engine/VideoSync.h"
#include "media/FFmpegException.h"
#include "media/MediaHelpers.h"

extern "C" {
#include <libavutil/intreadwrite.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>

namespace {

void CountSyncDecision(TLoopContext& loop, int frameCount)
{
    TLoopCounters& counters = loop.Task.Counters;
    if (frameCount == 0) {
        ++counters.DropCount;
        counters.DupDropChanged = true;
        if (loop.Opts.Verbose > 2)
            loop.Log(llVerbose, QStringLiteral("*** drop!"));
    } else if (frameCount > 1) {
        counters.DupCount += frameCount - 1;
        counters.DupDropChanged = true;
        if (loop.Opts.Verbose > 2)
            loop.Log(llVerbose, QString::asprintf("*** %d dup!", frameCount - 1));
    }
}

int RoundedDownToEven(int value)
{
    return value & ~1;
}

// The input changed its picture size: crop bands and scaler follow it.
void FollowInputSizeChange(TLoopContext& loop, TOutputStream& ost, const TInputStream& ist,
                           const AVFrame* decoded)
{
    const int width = decoded->width - ost.LeftBand - ost.RightBand;
    const int height = decoded->height - ost.TopBand - ost.BottomBand;
    if (width == ost.ResampleWidth && height == ost.ResampleHeight && decoded->format == ost.ResamplePixFmt)
        return;
    const char* formatName = av_get_pix_fmt_name(AVPixelFormat(decoded->format));
    loop.Log(llQuiet, QString::asprintf("Input Stream #%d.%d frame size changed to %dx%d, %s", ist.FileIndex,
                                        ist.Index, width, height, formatName ? formatName : "none"));
    if (ost.OriginalHeight > 0 && ost.OriginalWidth > 0) {
        ost.TopBand = RoundedDownToEven(decoded->height * ost.OriginalTopBand / ost.OriginalHeight);
        ost.BottomBand = RoundedDownToEven(decoded->height * ost.OriginalBottomBand / ost.OriginalHeight);
        ost.LeftBand = RoundedDownToEven(decoded->width * ost.OriginalLeftBand / ost.OriginalWidth);
        ost.RightBand = RoundedDownToEven(decoded->width * ost.OriginalRightBand / ost.OriginalWidth);
    }
    ost.ResampleWidth = decoded->width - ost.LeftBand - ost.RightBand;
    ost.ResampleHeight = decoded->height - ost.TopBand - ost.BottomBand;
    ost.ResamplePixFmt = decoded->format;

    int64_t swsFlags = SWS_BICUBIC;
    av_opt_get_int(loop.Opts.Options.ScaleOptions.get(), "sws_flags", 0, &swsFlags);
    const AVCodecContext* encoder = ost.Encoder();
    ost.ResampleContext.reset(sws_getContext(
        ost.ResampleWidth, ost.ResampleHeight, AVPixelFormat(ost.ResamplePixFmt), encoder->width,
        encoder->height, encoder->pix_fmt, int(swsFlags), nullptr, nullptr, nullptr));
    if (!ost.ResampleContext)
        throw FFmpegException("Cannot get resampling context");
}

// The picture cut by the stream's bands, without copying it; null when that fails.
AVFrame* CroppedPicture(TOutputStreamWork& work, const TOutputStream& ost, const AVFrame* picture)
{
    if (!work.CroppedView)
        work.CroppedView.reset(av_frame_alloc());
    AVFrame* view = work.CroppedView.get();
    av_frame_unref(view);
    if (!view || av_frame_ref(view, picture) < 0)
        return nullptr;
    view->crop_top = size_t(ost.TopBand);
    view->crop_bottom = size_t(ost.BottomBand);
    view->crop_left = size_t(ost.LeftBand);
    view->crop_right = size_t(ost.RightBand);
    if (av_frame_apply_cropping(view, AV_FRAME_CROP_UNALIGNED) < 0)
        return nullptr;
    return view;
}

// The set-up found the input's picture the encoder's size; when the input
// changes it later, it is scaled from then on rather than handed to the
// encoder in a size the encoder was not opened for.
void ScaleWhenInputNoLongerFits(TOutputStream& ost, const AVFrame* picture)
{
    const AVCodecContext* encoder = ost.Encoder();
    const int width = picture->width - ost.LeftBand - ost.RightBand;
    const int height = picture->height - ost.TopBand - ost.BottomBand;
    if (ost.VideoResample ||
        (width == encoder->width && height == encoder->height && picture->format == encoder->pix_fmt))
        return;
    if (!ost.PictTmp) {
        FramePtr scaled(av_frame_alloc());
        if (!scaled)
            throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        scaled->format = encoder->pix_fmt;
        scaled->width = encoder->width;
        scaled->height = encoder->height;
        if (av_frame_get_buffer(scaled.get(), 0) < 0)
            throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        ost.PictTmp = std::move(scaled);
    }
    if (ost.OriginalWidth <= 0 || ost.OriginalHeight <= 0) {
        ost.OriginalWidth = encoder->width + ost.LeftBand + ost.RightBand;
        ost.OriginalHeight = encoder->height + ost.TopBand + ost.BottomBand;
    }
    ost.VideoResample = true;
    ost.ResampleWidth = ost.ResampleHeight = 0; // the scaler is made for the new size
}

// Crop and scale, when the stream asks for them and no filter graph did it already.
// Null when the picture is to be skipped.
AVFrame* PictureForEncoder(TLoopContext& loop, TOutputStream& ost, const TInputStream& ist, AVFrame* picture)
{
    if (ist.FilterGraph)
        return picture;
    ScaleWhenInputNoLongerFits(ost, picture);
    if (ost.VideoResample)
        FollowInputSizeChange(loop, ost, ist, picture);
    AVFrame* result = picture;
    if (ost.VideoCrop) {
        result = CroppedPicture(loop.WorkOf(ost), ost, picture);
        if (!result) {
            loop.RaiseOrLog(QStringLiteral("error cropping picture"));
            return nullptr;
        }
    }
    if (ost.VideoResample) {
        AVFrame* scaled = ost.PictTmp.get();
        if (av_frame_make_writable(scaled) < 0)
            throw FFmpegException("Cannot allocate temp picture, check pix fmt");
        sws_scale(ost.ResampleContext.get(), result->data, result->linesize, 0, result->height, scaled->data,
                  scaled->linesize);
        av_frame_copy_props(scaled, picture);
        result = scaled;
    }
    return result;
}

void ReadCodedFrameStats(TMuxedStream& muxed, const AVPacket& packet)
{
    size_t size = 0;
    const uint8_t* stats = av_packet_get_side_data(&packet, AV_PKT_DATA_QUALITY_STATS, &size);
    if (!stats || size < 5)
        return;
    muxed.LastCoded.Quality = int(AV_RL32(stats));
    muxed.LastCoded.PictureType = AVPictureType(stats[4]);
    const int errorCount = size >= 6 ? stats[5] : 0;
    for (int i = 0; i < 3 && i < errorCount && 8 + 8 * (i + 1) <= int(size); ++i)
        muxed.LastCoded.Errors[i] = AV_RL64(stats + 8 + 8 * i);
}

} // namespace

int EncodeVideo(TLoopContext& loop, TOutputStream& ost, AVFrame* picture)
{
    AVCodecContext* encoder = ost.Encoder();
    const int sent = avcodec_send_frame(encoder, picture);
    if (sent == AVERROR_EOF && !picture)
        return 0; // already drained
    if (sent < 0)
        throw FFmpegException("Video encoding failed");
    TOutputStreamWork& work = loop.WorkOf(ost);
    AVPacket* packet = loop.EncodedPacket.get();
    int lastSize = 0;
    for (;;) {
        const int received = avcodec_receive_packet(encoder, packet);
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            break;
        if (received < 0)
            throw FFmpegException("Video encoding failed");
        ReadCodedFrameStats(*work.Muxed, *packet);
        const int64_t codedPts = packet->pts;
        lastSize = packet->size;
        packet->stream_index = ost.Stream->index;
        // Each picture lasts one tick of the encoder's time base; not every encoder says so.
        if (packet->duration <= 0)
            packet->duration = 1;
        av_packet_rescale_ts(packet, encoder->time_base, ost.Stream->time_base);
        if (picture && loop.Task.PreviewFlags() != 0)
            loop.Task.ProcessPreview(picture,
                                     codedPts == AV_NOPTS_VALUE
                                         ? AV_NOPTS_VALUE
                                         : av_rescale_q(codedPts, encoder->time_base, AV_TIME_BASE_Q));
        WriteFrame(loop, ost, packet);
        loop.Task.Counters.VideoSize += lastSize;
        if (ost.LogFile && encoder->stats_out)
            fputs(encoder->stats_out, ost.LogFile.get());
    }
    return lastSize;
}

int OutputVideoFrame(TLoopContext& loop, TOutputStream& ost, TInputStream& ist, AVFrame* picture)
{
    AVCodecContext* encoder = ost.Encoder();
    const TOptionState& opts = loop.Opts;
    const double syncIpts =
        (double(ost.SyncIst->Pts - opts.StartTime) / AV_TIME_BASE) / av_q2d(encoder->time_base);
    const bool variableRateFormat = loop.Files.Output(ost.FileIndex)->oformat->flags & AVFMT_VARIABLE_FPS;
    const TVideoSyncDecision decision =
        DecideVideoFrames(syncIpts, ost.SyncOpts, opts.VideoSyncMethod, variableRateFormat);
    ost.SyncOpts = decision.SyncOpts;
    if (opts.VideoSyncMethod != 0)
        CountSyncDecision(loop, decision.FrameCount);

    const int frameCount = std::min(decision.FrameCount, opts.MaxFrames[flVideo] - ost.FrameNumber);
    if (frameCount <= 0)
        return 0;
    AVFrame* toEncode = PictureForEncoder(loop, ost, ist, picture);
    if (!toEncode)
        return 0;

    int lastSize = 0;
    for (int i = 0; i < frameCount && !loop.Task.StopRequested; ++i) {
        toEncode->interlaced_frame = picture->interlaced_frame;
        if (encoder->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME))
            toEncode->top_field_first =
                opts.TopFieldFirst == -1 ? picture->top_field_first : opts.TopFieldFirst;
        toEncode->quality = opts.SameQuant ? loop.WorkOf(ist).Quality : encoder->global_quality;
        if (!opts.MeThreshold)
            toEncode->pict_type = AV_PICTURE_TYPE_NONE;
        toEncode->sample_aspect_ratio = encoder->sample_aspect_ratio;
        toEncode->pts = ost.SyncOpts;
        lastSize = EncodeVideo(loop, ost, toEncode);
        ++ost.SyncOpts;
        ++ost.FrameNumber;
    }
    return lastSize;
}
