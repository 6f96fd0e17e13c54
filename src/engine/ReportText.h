#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// The texts and figures of a task's progress reports, built from a snapshot of
// its output streams so that the line formats can be checked on their own.

// Count of quantiser values 0..51 seen in reports ("qphist"); one per task.
using TQpHistogram = std::array<int, 52>;

struct TReportStream
{
    bool IsVideo = false;
    bool Active = true;  // join mode: only the current input's streams are active
    bool Copied = false; // stream copy: no encoder, quantiser -1
    int FrameNumber = 0;
    double Quantiser = 0;      // quality of the last coded frame / 118
    double EndTimeSeconds = 0; // output time reached: end of the last packet written
    // PSNR: the squared errors of Y, U, V of the last coded frame and of all frames.
    bool HasPsnr = false;
    std::array<uint64_t, 3> LastErrors{};
    std::array<uint64_t, 3> TotalErrors{};
    int Width = 0, Height = 0;
};

struct TReportRequest
{
    bool IsLast = false;
    double ElapsedSeconds = 0; // since the loop started
    int64_t TotalSize = 0;     // bytes of the first output
    bool QpHist = false;
    bool HasProgressCallback = false;
    int Verbose = 1;
    int DupCount = 0, DropCount = 0;
    bool DupDropChanged = false;
    std::vector<TReportStream> Streams; // every output stream, in order
};

struct TReportResult
{
    bool Made = false; // false: a video output has no frame yet, so nothing is reported
    QString Line;      // at most 1023 characters
    bool LogLine = false;
    bool CallProgress = false;
    bool ClearDupDropChanged = false;
    // The figures for the progress callback (-1 without a video output stream).
    int64_t CurrentDuration = 0; // microseconds
    double BitRate = 0;          // kbit/s
    double Quality = -1;
    int Fps = -1;
    int FrameNumber = -1;
};

// Builds a periodic (IsLast false) or final report; the histogram grows when
// QpHist is set and a video stream reports.
TReportResult BuildReport(const TReportRequest& request, TQpHistogram& histogram);

// The closing summary: "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n".
QString SummaryLine(int64_t videoSize, int64_t audioSize, int64_t extraSize, int64_t totalSize);
