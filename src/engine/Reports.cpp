// The task's periodic and final progress reports: the report line for the
// log, the figures for the progress event, and the closing summary; and the
// lines of the video statistics file.

#include "engine/LoopStages.h"

#include <algorithm>

namespace {

int64_t FirstOutputSize(const TLoopContext& loop)
{
    if (loop.Files.OutputCount() == 0)
        return 0;
    const AVFormatContext* output = loop.Files.Output(0);
    if ((output->oformat->flags & AVFMT_NOFILE) || !output->pb)
        return 0;
    const int64_t size = avio_size(output->pb);
    return size > 0 ? size : avio_tell(output->pb);
}

TReportStream ReportStreamOf(TLoopContext& loop, const TOutputStream& ost)
{
    TReportStream stream;
    const TMuxedStream& muxed = *loop.WorkOf(ost).Muxed;
    stream.IsVideo = OutputStreamType(ost) == AVMEDIA_TYPE_VIDEO;
    stream.Active = ost.Active;
    stream.Copied = !ost.EncodingNeeded;
    stream.FrameNumber = ost.FrameNumber;
    stream.Quantiser = muxed.LastCoded.Quality / double(FF_QP2LAMBDA);
    stream.EndTimeSeconds = muxed.EndTimeSeconds();
    const AVCodecContext* encoder = ost.EncodingNeeded ? ost.Encoder() : nullptr;
    if (encoder && (encoder->flags & AV_CODEC_FLAG_PSNR)) {
        stream.HasPsnr = true;
        stream.LastErrors = muxed.LastCoded.Errors;
        for (int i = 0; i < 3; ++i)
            stream.TotalErrors[i] = encoder->error[i];
        stream.Width = encoder->width;
        stream.Height = encoder->height;
    }
    return stream;
}

} // namespace

void PrintReport(TLoopContext& loop, bool isLast, int fileIndex)
{
    TCustomFFmpeg& task = loop.Task;
    TReportRequest request;
    request.IsLast = isLast;
    request.ElapsedSeconds = double(LoopClockNow() - loop.TimerStart) / 1000000.0;
    request.TotalSize = FirstOutputSize(loop);
    request.QpHist = loop.Opts.QpHist;
    request.HasProgressCallback = bool(task.ProgressCallback);
    request.Verbose = loop.Opts.Verbose;
    request.DupCount = task.Counters.DupCount;
    request.DropCount = task.Counters.DropCount;
    request.DupDropChanged = task.Counters.DupDropChanged;
    const auto isSubtitle = [](const auto& ost) { return OutputStreamType(*ost) == AVMEDIA_TYPE_SUBTITLE; };
    const bool onlySubtitles =
        std::all_of(loop.Files.OutputStreams.begin(), loop.Files.OutputStreams.end(), isSubtitle);
    for (auto& ost : loop.Files.OutputStreams) {
        TReportStream stream = ReportStreamOf(loop, *ost);
        // Subtitles are sparse: after their last cue their time stands still
        // while the conversion goes on, so they give the time only when alone.
        if (!onlySubtitles && isSubtitle(ost))
            stream.EndTimeSeconds = 0;
        request.Streams.push_back(stream);
    }

    const TReportResult report = BuildReport(request, loop.QpHistogram);
    if (!report.Made)
        return;
    if (report.ClearDupDropChanged)
        task.Counters.DupDropChanged = false;
    if (report.LogLine)
        loop.Log(llVerbose, report.Line);
    if (report.CallProgress)
        task.ProgressCallback(&task, fileIndex, task.TotalDuration, report.CurrentDuration, request.TotalSize,
                              float(report.BitRate), float(report.Quality), report.Fps, report.FrameNumber);
    if (isLast && loop.Opts.Verbose >= 0)
        loop.Log(llVerbose, SummaryLine(task.Counters.VideoSize, task.Counters.AudioSize,
                                        task.Counters.ExtraSize, request.TotalSize));
}

void WriteVideoStats(TLoopContext& loop, TOutputStream& ost, int packetSize)
{
    const AVCodecContext* encoder = ost.Encoder();
    const TMuxedStream& muxed = *loop.WorkOf(ost).Muxed;
    TVideoStatsEntry entry;
    entry.FrameNumber = ost.FrameNumber;
    entry.Quantiser = muxed.LastCoded.Quality / double(FF_QP2LAMBDA);
    entry.HasPsnr = encoder->flags & AV_CODEC_FLAG_PSNR;
    entry.LumaError = muxed.LastCoded.Errors[0];
    entry.Width = encoder->width;
    entry.Height = encoder->height;
    entry.PacketSize = packetSize;
    entry.VideoSize = loop.Task.Counters.VideoSize;
    entry.SyncOpts = ost.SyncOpts;
    entry.TimeBaseSeconds = av_q2d(encoder->time_base);
    entry.PictureType = av_get_picture_type_char(muxed.LastCoded.PictureType);
    loop.VideoStats.Append(loop.Opts.VstatsFileName, entry);
}
