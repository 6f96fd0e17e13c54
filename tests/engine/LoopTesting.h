#pragma once

// Helpers of the conversion tests: extra generated sources, a conversion run
// with its events and log lines recorded, and independent views of the
// result through the ffprobe and ffmpeg programs.

#include "engine/OptionRecords.h"
#include "media/LogLevel.h"

#include <QImage>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TFFmpeg;

// A source made with the ffmpeg program from its arguments (everything
// between "ffmpeg -y" and the output name), cached by name and arguments in
// the build's test-media folder.
QString GeneratedSource(const QString& fileName, const QStringList& ffmpegArguments);
// A source file with the given content, written once in the build's
// test-media folder (for what the ffmpeg program reads to make a source).
QString WrittenSource(const QString& fileName, const QByteArray& content);

// Sources used by several tests.
QString LongClip();        // 20 s, 160x120, 25 fps H.264 (key frame every 10 s) + AAC 44.1 kHz mono
QString LoudWav();         // 1 s of a sine at 3/4 of full scale, 16-bit 44.1 kHz mono
QString LateAudioClip();   // 4 s of video, its audio starting at 2 s
QString SizeChangeClip();  // MPEG-TS: 2 s at 320x240 followed by 2 s at 176x144
QString AudioChangeClip(); // MPEG-TS audio: 2 s mono 44.1 kHz, then 2 s stereo 48 kHz
QString SubtitledClip();   // Matroska: 2 s of video with two SubRip lines (0.5-1.0 s, 1.2-1.8 s)

struct TProgressRecord
{
    int FileIndex = 0;
    qint64 TotalDuration = 0;
    qint64 CurrentDuration = 0;
    qint64 CurrentSize = 0;
    int FrameNumber = 0;
};

struct TConversionInput
{
    QString FileName;
    TInputOptions Options;
};

// What a conversion did.
struct TConversionResult
{
    bool Finished = false;
    bool Exception = false;
    QString ExceptionMsg;
    int DupCount = 0, DropCount = 0;
    std::vector<TProgressRecord> Progress;
    QStringList LogLines;           // the task's own log lines
    QString LastReportLine() const; // the final report line ("... L...size=...")
};

using THookHandler =
    std::function<void(QImage& bitmap, int frameNumber, qint64 pts, bool& update, bool& stopHook)>;

struct TConversion
{
    std::vector<TConversionInput> Inputs;
    QString OutputFile;
    TOutputOptions Output;
    THookHandler Hook;                // installed when set
    bool WithProgress = true;         // without a progress callback the reports go to the log
    qint64 ProgressInterval = 500000; // microseconds
    int Verbose = 1;
};

// One conversion by a bare task, without the component: prepared (inputs
// and output opened) on construction, converted by Run on whatever thread
// calls it, with the final report in the task's log (no progress callback).
class TConversionRun
{
public:
    explicit TConversionRun(const TConversion& conversion);
    ~TConversionRun();
    // The result without the log lines, which arrive on the main thread:
    // AddLogLine and LogLines belong to that thread.
    TConversionResult Run();
    const void* LogSender() const; // the task, as the logger names it
    void AddLogLine(const QString& line);
    const QStringList& LogLines() const { return FLogLines; }

private:
    void Fail(const QString& message);

    TConversion FConversion;
    std::unique_ptr<TFFmpeg> FTask;
    TConversionResult FResult;
    QStringList FLogLines;
    bool FPrepared = false;
};

// Runs the conversion through the engine component (one task, StartTask(0):
// to its end on the calling thread), with the task's log lines and events.
TConversionResult RunConversion(const TConversion& conversion);

// ffprobe's "streams" entry of the first stream of that type ("video", "audio").
QJsonObject StreamFacts(const QString& path, const QString& type);
double DurationOf(const QJsonObject& stream);

// The first picture of a file as 8-bit grey, width x height bytes (ffmpeg program).
QByteArray FirstFrameGray(const QString& path, int width, int height, const QString& extraFilter = QString());
// All audio of a file as 16-bit interleaved samples, at its own rate and channels (ffmpeg program).
std::vector<int16_t> AudioSamplesS16(const QString& path);
// Mean absolute difference of two equally sized grey pictures.
double MeanDifference(const QByteArray& a, const QByteArray& b);
