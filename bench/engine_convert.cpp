// Converts one file with the engine the way the program does (option records,
// one task), without any window: the engine side of bench/vs-ffmpeg.
//
//   engine_convert mpeg4 <input> <output.mp4>   MPEG-4 Part 2 1500 kbit/s + AAC 128 kbit/s in MP4
//   engine_convert x264 <input> <output.m4v>    libx264 with the libx264-ipod preset + AAC in the ipod container

#include "engine/TCustomFFmpeg.h"
#include "media/FFmpegLoader.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>

namespace {

bool OutputRecord(const QString& job, TOutputOptions& output)
{
    output.AudioCodec = "aac";
    output.AudioBitrate = 128000;
    if (job == "mpeg4") {
        output.VideoCodec = "mpeg4";
        output.VideoBitrate = 1500000;
        return true;
    }
    if (job == "x264") {
        output.FileFormat = "ipod";
        output.VideoCodec = "libx264";
        output.VideoPreset = "libx264-ipod";
        return true;
    }
    return false;
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "engine_convert: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    TOutputOptions output;
    if (arguments.size() != 4 || !OutputRecord(arguments[1], output))
        return Fail("usage: engine_convert mpeg4|x264 <input> <output>");
    if (!FFLoader().LoadSet(EngineLibraries))
        return Fail(FFLoader().LastError());

    TFFmpeg task;
    task.Reset();
    task.SetVerbose(0);
    TInputOptions input;
    task.ApplyInputOptions(input, arguments[2]);
    if (!task.OpenInputFile(arguments[2]))
        return Fail(task.LastErrMsg());
    const bool join = task.ApplyOutputOptions(output, arguments[3], THookCallback());
    if (task.OpenOutputFile(arguments[3], join) < 0)
        return Fail(task.LastErrMsg());
    int result = 0;
    try {
        task.Transcode();
    } catch (const std::exception& error) {
        result = Fail(QString::fromUtf8(error.what()));
    }
    task.CloseOpenedEncoders();
    task.CloseOpenedDecoders();
    task.CloseFiles();
    return result;
}
