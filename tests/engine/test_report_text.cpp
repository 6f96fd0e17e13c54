// The periodic and final report lines, the closing summary and the video
// statistics lines, character for character.

#include "engine/ReportText.h"
#include "engine/VideoStats.h"

#include <gtest/gtest.h>

namespace {

TReportStream Video(int frames, double quantiser, double endTime)
{
    TReportStream s;
    s.IsVideo = true;
    s.FrameNumber = frames;
    s.Quantiser = quantiser;
    s.EndTimeSeconds = endTime;
    return s;
}

TReportStream Audio(double endTime)
{
    TReportStream s;
    s.EndTimeSeconds = endTime;
    return s;
}

TEST(ReportText, VideoOutputReportsNothingBeforeItsFirstFrame)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.HasProgressCallback = true;
    request.Streams = {Video(0, 0, 0), Audio(0.5)};
    EXPECT_FALSE(BuildReport(request, histogram).Made);

    // An audio-only output reports from its first packet.
    request.Streams = {Audio(0.5)};
    const TReportResult audioOnly = BuildReport(request, histogram);
    EXPECT_TRUE(audioOnly.Made);
    EXPECT_EQ(audioOnly.FrameNumber, -1);
    EXPECT_EQ(audioOnly.Fps, -1);
    EXPECT_EQ(audioOnly.Quality, -1);
}

TEST(ReportText, PeriodicLineWithFiguresForTheProgressEvent)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.ElapsedSeconds = 2.0;
    request.TotalSize = 204800;
    request.HasProgressCallback = true;
    request.Streams = {Video(50, 3.3, 2.04), Audio(2.0)};
    const TReportResult r = BuildReport(request, histogram);
    ASSERT_TRUE(r.Made);
    EXPECT_EQ(r.Line.toStdString(),
              "frame=   50 fps= 25 q=3.3 size=     200kB time=2.00 bitrate= 819.2kbits/s");
    EXPECT_TRUE(r.CallProgress);
    EXPECT_FALSE(r.LogLine); // the event carries it
    EXPECT_EQ(r.CurrentDuration, 2000000);
    EXPECT_EQ(r.FrameNumber, 50);
    EXPECT_EQ(r.Fps, 25);
    EXPECT_DOUBLE_EQ(r.Quality, 3.3);
    EXPECT_DOUBLE_EQ(r.BitRate, 819.2);
}

TEST(ReportText, FpsIsZeroDuringTheFirstSecondAndTimeHasAFloor)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.ElapsedSeconds = 0.8;
    request.HasProgressCallback = true;
    request.Streams = {Video(3, 2, 0)}; // nothing muxed yet
    const TReportResult r = BuildReport(request, histogram);
    EXPECT_EQ(r.Fps, 0);
    EXPECT_EQ(r.CurrentDuration, 10000); // 0.01 s
    EXPECT_NE(r.Line.indexOf("time=0.01 "), -1);
}

TEST(ReportText, FinalLineIsMarkedAndCopiedVideoHasNoQuantiser)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.IsLast = true;
    request.Verbose = 0;
    request.ElapsedSeconds = 4;
    request.TotalSize = 1024;
    TReportStream copied = Video(100, 7, 4.0);
    copied.Copied = true;
    request.Streams = {copied, Video(100, 4.5, 4.0)};
    const TReportResult r = BuildReport(request, histogram);
    EXPECT_EQ(r.Line.toStdString(),
              "frame=  100 fps= 25 q=-1.0 Lq=4.5 size=       1kB time=4.00 bitrate=   2.0kbits/s");
    EXPECT_TRUE(r.LogLine);
    EXPECT_FALSE(r.CallProgress);
}

TEST(ReportText, DupDropTextAndWhenItIsLogged)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.ElapsedSeconds = 3;
    request.TotalSize = 10240;
    request.HasProgressCallback = true;
    request.DupCount = 12;
    request.DropCount = 0;
    request.DupDropChanged = true;
    request.Streams = {Video(75, 2, 3)};
    TReportResult r = BuildReport(request, histogram);
    EXPECT_TRUE(r.Line.endsWith(" dup=12 drop=0"));
    EXPECT_TRUE(r.LogLine); // a change since the last logged report
    EXPECT_TRUE(r.ClearDupDropChanged);
    EXPECT_TRUE(r.CallProgress);

    request.DupDropChanged = false;
    r = BuildReport(request, histogram);
    EXPECT_TRUE(r.Line.endsWith(" dup=12 drop=0"));
    EXPECT_FALSE(r.LogLine);

    request.DupCount = 0;
    r = BuildReport(request, histogram);
    EXPECT_EQ(r.Line.indexOf("dup="), -1);
}

TEST(ReportText, QuietTaskWithoutCallbackBuildsNoSizePartAndLogsNothing)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.Verbose = 0;
    request.ElapsedSeconds = 3;
    request.Streams = {Audio(3)};
    const TReportResult r = BuildReport(request, histogram);
    EXPECT_TRUE(r.Line.isEmpty());
    EXPECT_FALSE(r.LogLine);
    EXPECT_FALSE(r.CallProgress);
}

TEST(ReportText, OutputTimeIsTheSmallestPositiveEndTime)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.HasProgressCallback = true;
    request.Streams = {Audio(0), Audio(7.5), Audio(3.25), Audio(-1)};
    EXPECT_EQ(BuildReport(request, histogram).CurrentDuration, 3250000);
}

TEST(ReportText, InactiveVideoOfAnEarlierJoinSegmentIsSkipped)
{
    TQpHistogram histogram{};
    TReportRequest request;
    request.HasProgressCallback = true;
    TReportStream earlier = Video(250, 9, 10);
    earlier.Active = false;
    request.Streams = {earlier, Video(30, 2, 11.2)};
    const TReportResult r = BuildReport(request, histogram);
    EXPECT_EQ(r.FrameNumber, 30);
    EXPECT_TRUE(r.Line.startsWith("frame=   30 "));
}

TEST(ReportText, QuantiserHistogramDigits)
{
    TQpHistogram histogram{};
    histogram[0] = 1;  // log2(2) = 1
    histogram[1] = 14; // log2(15) = 3.9 -> 4
    histogram[31] = 32767;
    histogram[40] = 99; // beyond the 32 shown digits
    TReportRequest request;
    request.QpHist = true;
    request.HasProgressCallback = true;
    request.Streams = {Video(5, 2.4, 1)};
    const TReportResult r = BuildReport(request, histogram);
    EXPECT_EQ(histogram[2], 1); // q 2.4 counted at 2
    const QString digits = "141" + QString(28, QLatin1Char('0')) + "F";
    EXPECT_NE(r.Line.indexOf("q=2.4 " + digits + "size="), -1) << r.Line.toStdString();
}

TEST(ReportText, PsnrOfTheLastFrameAndOfTheWholeRun)
{
    TQpHistogram histogram{};
    TReportStream video = Video(2, 2, 1);
    video.HasPsnr = true;
    video.Width = 16;
    video.Height = 16;
    const double scale = 16 * 16 * 255.0 * 255.0; // one frame, luma
    // Errors that give PSNR 30 dB on each plane.
    video.LastErrors = {uint64_t(scale / 1000), uint64_t(scale / 4 / 1000), uint64_t(scale / 4 / 1000)};
    video.TotalErrors = {uint64_t(2 * scale / 100), uint64_t(2 * scale / 4 / 100),
                         uint64_t(2 * scale / 4 / 100)};
    TReportRequest request;
    request.HasProgressCallback = true;
    request.Streams = {video};
    EXPECT_NE(BuildReport(request, histogram).Line.indexOf("PSNR=Y:30.00 U:30.00 V:30.00 *:30.00 size="), -1);
    request.IsLast = true;
    EXPECT_NE(BuildReport(request, histogram).Line.indexOf("LPSNR=Y:20.00 U:20.00 V:20.00 *:20.00 size="),
              -1);
}

TEST(ReportText, SummaryLineGivesTheOverheadOfTheContainer)
{
    EXPECT_EQ(SummaryLine(819200, 102400, 1024, 1024000).toStdString(),
              "video:800kB audio:100kB global headers:1kB muxing overhead 10.987791%\r\n");
    EXPECT_EQ(SummaryLine(0, 0, 0, 0).toStdString(),
              "video:0kB audio:0kB global headers:0kB muxing overhead 0.000000%\r\n");
}

TEST(VideoStats, LineFormat)
{
    TVideoStatsEntry entry;
    entry.FrameNumber = 12;
    entry.Quantiser = 3.5;
    entry.PacketSize = 2500;
    entry.VideoSize = 51200;
    entry.SyncOpts = 12;
    entry.TimeBaseSeconds = 0.04;
    entry.PictureType = 'P';
    EXPECT_EQ(VideoStatsLine(entry).toStdString(),
              "frame=    12 q= 3.5 f_size=   2500 s_size=       50kB time= 0.480 br=   500.0kbits/s "
              "avg_br=   853.3kbits/s type= P\n");
    entry.HasPsnr = true;
    entry.Width = entry.Height = 16;
    entry.LumaError = uint64_t(16 * 16 * 255.0 * 255.0 / 1000);
    EXPECT_NE(VideoStatsLine(entry).indexOf("q= 3.5 PSNR=  30.00 f_size="), -1);
}

} // namespace
