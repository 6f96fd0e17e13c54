#include "LoopTesting.h"

#include "engine/TCustomFFmpeg.h"
#include "engine/TFFmpegVCL.h"
#include "media/FFLogger.h"
#include "media/FFmpegLoader.h"
#include "support/FfprobeFacts.h"
#include "support/TestMedia.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <stdexcept>

namespace {

QByteArray RunFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"),
                  QStringList{"-hide_banner", "-loglevel", "error", "-nostdin"} + arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        throw std::runtime_error("ffmpeg failed: " + process.readAllStandardError().toStdString());
    return process.readAllStandardOutput();
}

} // namespace

QString GeneratedSource(const QString& fileName, const QStringList& ffmpegArguments)
{
    const QByteArray key =
        QCryptographicHash::hash((fileName + ffmpegArguments.join('\n')).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(10);
    const QString folder = TestMediaFolder() + "/loop-" + QString::fromLatin1(key);
    const QString path = folder + "/" + fileName;
    if (QFile::exists(path))
        return path;
    QDir().mkpath(folder);
    // Made under a name of this process and renamed into place, so parallel test runs never see half a file.
    const QString partial =
        folder + QString("/partial-%1-").arg(QCoreApplication::applicationPid()) + fileName;
    QStringList arguments = ffmpegArguments;
    arguments.prepend("-y");
    arguments << partial;
    RunFfmpeg(arguments);
    if (!QFile::rename(partial, path) && !QFile::exists(path))
        throw std::runtime_error("cannot place " + path.toStdString());
    QFile::remove(partial);
    return path;
}

QString LongClip()
{
    return GeneratedSource("long.mp4", {"-f",
                                        "lavfi",
                                        "-i",
                                        "testsrc2=size=160x120:rate=25:duration=20",
                                        "-f",
                                        "lavfi",
                                        "-i",
                                        "sine=frequency=500:sample_rate=44100:duration=20",
                                        "-c:v",
                                        "libx264",
                                        "-preset",
                                        "ultrafast",
                                        "-g",
                                        "250",
                                        "-c:a",
                                        "aac",
                                        "-ac",
                                        "1",
                                        "-map_metadata",
                                        "-1"});
}

QString LoudWav()
{
    return GeneratedSource("loud.wav", {"-f", "lavfi", "-i", "aevalsrc=0.75*sin(2*PI*440*t):s=44100:d=1",
                                        "-c:a", "pcm_s16le", "-ac", "1"});
}

QString LateAudioClip()
{
    return GeneratedSource("late_audio.mp4",
                           {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=4", "-itsoffset",
                            "2", "-f", "lavfi", "-i", "sine=frequency=500:sample_rate=44100:duration=2",
                            "-c:v", "mpeg4", "-c:a", "aac", "-ac", "1"});
}

QString SizeChangeClip()
{
    const QString first =
        GeneratedSource("size_a.ts", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25:duration=2", "-c:v",
                                      "mpeg2video", "-q:v", "3"});
    const QString second =
        GeneratedSource("size_b.ts", {"-f", "lavfi", "-i", "testsrc2=size=176x144:rate=25:duration=2", "-c:v",
                                      "mpeg2video", "-q:v", "3", "-output_ts_offset", "2"});
    return GeneratedSource("size_change.ts", {"-i", "concat:" + first + "|" + second, "-c", "copy"});
}

QString AudioChangeClip()
{
    const QString first =
        GeneratedSource("audio_a.ts", {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=2",
                                       "-c:a", "mp2", "-ac", "1", "-b:a", "128k"});
    const QString second =
        GeneratedSource("audio_b.ts", {"-f", "lavfi", "-i", "sine=frequency=880:sample_rate=48000:duration=2",
                                       "-c:a", "mp2", "-ac", "2", "-b:a", "192k", "-output_ts_offset", "2"});
    return GeneratedSource("audio_change.ts", {"-i", "concat:" + first + "|" + second, "-c", "copy"});
}

QString WrittenSource(const QString& fileName, const QByteArray& content)
{
    const QString path = TestMediaFolder() + "/loop-" + fileName;
    if (QFile::exists(path))
        return path;
    // Written under a name of this process and renamed into place, so that a
    // test in another process never reads it half written.
    const QString partial =
        TestMediaFolder() + QString("/partial-%1-").arg(QCoreApplication::applicationPid()) + fileName;
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write " + partial.toStdString());
    file.close();
    if (!QFile::rename(partial, path) && !QFile::exists(path))
        throw std::runtime_error("cannot place " + path.toStdString());
    QFile::remove(partial);
    return path;
}

QString SubtitledClip()
{
    const QString subtitles = WrittenSource(
        "subtitles.srt",
        "1\n00:00:00,500 --> 00:00:01,000\nFirst line\n\n2\n00:00:01,200 --> 00:00:01,800\nSecond line\n\n");
    return GeneratedSource("subtitled.mkv", {"-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2",
                                             "-i", subtitles, "-c:v", "mpeg4", "-c:s", "srt"});
}

QString TConversionResult::LastReportLine() const
{
    // The final report is the last report line; the summary ("video:...") follows it.
    for (auto it = LogLines.crbegin(); it != LogLines.crend(); ++it)
        if (it->contains("size=") && it->contains("bitrate="))
            return *it;
    return {};
}

TConversionRun::TConversionRun(const TConversion& conversion) : FConversion(conversion), FTask(new TFFmpeg)
{
    if (!FFLoader().LoadSet(EngineLibraries))
        throw std::runtime_error(FFLoader().LastError().toStdString());
    TFFmpeg& task = *FTask;
    task.Reset();
    task.SetVerbose(conversion.Verbose);
    task.ProgressInterval = conversion.ProgressInterval;
    for (const TConversionInput& input : conversion.Inputs) {
        TInputOptions options = input.Options;
        task.ApplyInputOptions(options, input.FileName);
        if (!task.OpenInputFile(input.FileName)) {
            Fail(task.LastErrMsg());
            return;
        }
    }
    TOutputOptions output = conversion.Output;
    THookCallback hook;
    if (conversion.Hook) {
        output.CustomHook = true;
        hook = [this](TCustomFFmpeg*, QImage* bitmap, int frameNumber, qint64 pts, bool& update,
                      bool& stopHook) { FConversion.Hook(*bitmap, frameNumber, pts, update, stopHook); };
    }
    const bool join = task.ApplyOutputOptions(output, conversion.OutputFile, hook);
    if (task.OpenOutputFile(conversion.OutputFile, join) < 0) {
        Fail(task.LastErrMsg());
        return;
    }
    task.AddRecordStreams(output);
    if (conversion.WithProgress)
        task.ProgressCallback = [this](TCustomFFmpeg*, int fileIndex, qint64 total, qint64 current,
                                       qint64 size, float, float, int, int frameNumber) {
            FResult.Progress.push_back({fileIndex, total, current, size, frameNumber});
        };
    FPrepared = true;
}

TConversionRun::~TConversionRun() = default;

void TConversionRun::Fail(const QString& message)
{
    FResult.Exception = true;
    FResult.ExceptionMsg = message;
}

const void* TConversionRun::LogSender() const
{
    return FTask.get();
}

void TConversionRun::AddLogLine(const QString& line)
{
    FLogLines << line;
}

TConversionResult TConversionRun::Run()
{
    TFFmpeg& task = *FTask;
    if (FPrepared) {
        try {
            task.Transcode();
        } catch (const std::exception& error) {
            Fail(QString::fromUtf8(error.what()));
        }
    }
    // What the worker body does after the conversion.
    task.CloseOpenedEncoders();
    task.CloseOpenedDecoders();
    task.CloseFiles();
    FResult.Finished = task.Finished;
    FResult.DupCount = task.Counters.DupCount;
    FResult.DropCount = task.Counters.DropCount;
    return FResult;
}

TConversionResult RunConversion(const TConversion& conversion)
{
    TFFmpegVCL engine;
    if (!engine.LoadLibraries(QString()))
        throw std::runtime_error(engine.LastErrMsg().toStdString());
    TConversionResult result;
    engine.SetTaskVerbose(conversion.Verbose);
    engine.SetProgressInterval(int(conversion.ProgressInterval / 1000));
    if (conversion.WithProgress)
        engine.OnProgress = [&](QObject*, PProgressInfo info) {
            result.Progress.push_back({info->FileIndex, info->TotalDuration, info->CurrentDuration,
                                       info->CurrentSize, info->FrameNumber});
        };
    if (conversion.Hook)
        engine.OnCustomHook = [&](QObject*, PHookInfo info) {
            conversion.Hook(*info->Bitmap, info->FrameNumber, info->PTS, info->Update, info->StopHook);
        };
    bool terminated = false;
    engine.OnTerminate = [&](QObject*, const TTerminateInfo& info) {
        if (info.TaskIndex != 0)
            return;
        terminated = true;
        result.Finished = info.Finished;
        result.Exception = info.Exception;
        result.ExceptionMsg = info.ExceptionMsg;
    };

    const void* task = nullptr;
    DefaultLogger()->SetOnLog([&](const void* sender, quint32, TLogLevel, const QString& line) {
        if (sender && sender == task)
            result.LogLines << line;
    });
    auto finish = [&](const QString& failure) {
        DefaultLogger()->SetOnLog({});
        if (!failure.isEmpty()) {
            result.Exception = true;
            result.ExceptionMsg = failure;
        }
        return result;
    };

    TInputOptions first = conversion.Inputs.at(0).Options;
    const int index = engine.AddTask(conversion.Inputs[0].FileName, &first);
    if (index < 0)
        return finish(engine.LastErrMsg());
    TCustomFFmpeg* converting = engine.Task(index);
    task = converting;
    // Further inputs (joining) are opened on the task: the component adds a task's first input only.
    for (size_t i = 1; i < conversion.Inputs.size(); ++i) {
        TInputOptions options = conversion.Inputs[i].Options;
        converting->ApplyInputOptions(options, conversion.Inputs[i].FileName);
        if (!converting->OpenInputFile(conversion.Inputs[i].FileName))
            return finish(converting->LastErrMsg());
    }
    TOutputOptions output = conversion.Output;
    output.CustomHook = bool(conversion.Hook);
    if (!engine.SetOutputFile(index, conversion.OutputFile, &output))
        return finish(engine.LastErrMsg());

    engine.StartTask(0); // on this thread, returning when the run is over
    if (!terminated)
        return finish("no OnTerminate for the task");
    result.DupCount = converting->Counters.DupCount;
    result.DropCount = converting->Counters.DropCount;
    engine.ClearTasks();
    return finish(QString());
}

QJsonObject StreamFacts(const QString& path, const QString& type)
{
    for (const QJsonValue& stream : FfprobeFacts(path).value("streams").toArray())
        if (stream.toObject().value("codec_type").toString() == type)
            return stream.toObject();
    return {};
}

double DurationOf(const QJsonObject& stream)
{
    return stream.value("duration").toString().toDouble();
}

QByteArray FirstFrameGray(const QString& path, int width, int height, const QString& extraFilter)
{
    const QString filter = (extraFilter.isEmpty() ? QString() : extraFilter + ",") + "format=gray";
    const QByteArray picture =
        RunFfmpeg({"-i", path, "-vf", filter, "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "gray", "-"});
    if (picture.size() != width * height)
        throw std::runtime_error("unexpected picture size from " + path.toStdString());
    return picture;
}

std::vector<int16_t> AudioSamplesS16(const QString& path)
{
    const QByteArray bytes = RunFfmpeg({"-i", path, "-f", "s16le", "-acodec", "pcm_s16le", "-"});
    std::vector<int16_t> samples(size_t(bytes.size()) / 2);
    memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

double MeanDifference(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return 255;
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        sum += std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i])));
    return sum / double(a.size());
}
