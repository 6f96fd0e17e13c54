// Conversions through the built clarvix-convert, checked with ffprobe and
// with decoded frames.
#include "cli/CliTesting.h"
#include "support/FfprobeFacts.h"
#include "support/TestMedia.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QJsonObject StreamOfType(const QJsonObject& facts, const QString& type)
{
    for (const QJsonValue& stream : facts["streams"].toArray())
        if (stream.toObject()["codec_type"].toString() == type)
            return stream.toObject();
    return QJsonObject();
}

double DurationSeconds(const QJsonObject& facts)
{
    return facts["format"].toObject()["duration"].toString().toDouble();
}

QStringList OutputLines(const TCliRun& run)
{
    return run.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

double Mean(const QByteArray& grey)
{
    double sum = 0;
    for (char c : grey)
        sum += quint8(c);
    return grey.isEmpty() ? 0 : sum / grey.size();
}

// Pixels of two frames of one size whose grey levels differ by more than
// `threshold`, counted over rows [firstRow, lastRow).
int DifferingPixels(const QByteArray& a, const QByteArray& b, int width, int firstRow, int lastRow,
                    int threshold = 48)
{
    int count = 0;
    for (int y = firstRow; y < lastRow; ++y)
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            if (i < a.size() && i < b.size() && std::abs(int(quint8(a[i])) - int(quint8(b[i]))) > threshold)
                ++count;
        }
    return count;
}

} // namespace

class CliConvert : public ::testing::Test
{
protected:
    TCliSandbox Sandbox;
};

TEST_F(CliConvert, ThreeFilesTwoAtATimeGiveThreeValidFilesAndTheirPaths)
{
    const QStringList sources{TestMediaPath(TTestMedia::VideoAudioMp4), TestMediaPath(TTestMedia::Clip25Fps),
                              TestMediaPath(TTestMedia::Clip2997Fps)};
    const TCliRun run = RunCli(Sandbox.Args(QStringList{"--profile", "0", "--jobs", "2"} + sources));
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();

    const QString folder = Sandbox.OutputFolder();
    const QSet<QString> expected{folder + "/video_audio_(new).mp4", folder + "/clip_25fps_(new).mp4",
                                 folder + "/clip_29.97fps_(new).mp4"};
    const QStringList printed = OutputLines(run);
    EXPECT_EQ(QSet<QString>(printed.begin(), printed.end()), expected) << run.Out.toStdString();
    for (const QString& output : expected) {
        SCOPED_TRACE(output.toStdString());
        const QJsonObject facts = FfprobeFacts(output);
        EXPECT_TRUE(facts["format"].toObject()["format_name"].toString().contains("mp4"));
        const QJsonObject video = StreamOfType(facts, "video");
        EXPECT_EQ(video["codec_name"].toString(), "mpeg4");
        EXPECT_EQ(video["width"].toInt(), 320);
        EXPECT_EQ(video["height"].toInt(), 240);
        const QJsonObject audio = StreamOfType(facts, "audio");
        EXPECT_EQ(audio["codec_name"].toString(), "aac");
        EXPECT_EQ(audio["sample_rate"].toString(), "44100");
        EXPECT_NEAR(DurationSeconds(facts), 2.0, 0.3);
    }
    // Standard error is not a terminal here: plain progress lines with the window's texts.
    EXPECT_TRUE(run.Err.contains(QRegularExpression(
        R"(\[[123]/3\] \d+%  Current Time: \d+ Second  Length: 2 Second  File Size: \d+ kb  File: /)")))
        << run.Err.toStdString();
    EXPECT_FALSE(run.Err.contains('\r'));
}

TEST_F(CliConvert, MissingAndDamagedInputsFailWithTheirMessagesWhileTheGoodOneConverts)
{
    const QString missing = Sandbox.FilePath("no such clip.mp4");
    const QString damaged = TestMediaPath(TTestMedia::Truncated);
    const QString good = TestMediaPath(TTestMedia::Clip25Fps);
    const TCliRun run = RunCli(Sandbox.Args({"--profile", "0", "--quiet", missing, damaged, good}));
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(missing + ": No such file or directory")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(damaged + ": ")) << run.Err.toStdString();
    EXPECT_FALSE(run.Err.contains("Current Time:")) << "--quiet shows no progress";
    EXPECT_EQ(OutputLines(run), QStringList{Sandbox.OutputFolder() + "/clip_25fps_(new).mp4"});
    EXPECT_EQ(Sandbox.Outputs(), QStringList{"clip_25fps_(new).mp4"});
    EXPECT_EQ(
        StreamOfType(FfprobeFacts(Sandbox.OutputFolder() + "/clip_25fps_(new).mp4"), "video")["codec_name"],
        "mpeg4");
}

TEST_F(CliConvert, AFailureInsideTheEngineIsReportedWithItsMessage)
{
    // The catalogue names an encoder the installed library does not have.
    TTemporaryFolder folder;
    const QString settings = folder.FilePath("settings.ini");
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[formatInfo400]\nparaVideoEncoder=mpeg1video\nparaVideoSize=320x240\nparaAudioEncoder="
               "nosuchcodec\n");
    file.close();
    const QString good = TestMediaPath(TTestMedia::VideoAudioMp4);
    const TCliRun run = RunCli({"--settings", settings, "--catalogue", ShippedCatalogue(), "--output-dir",
                                Sandbox.OutputFolder(), "--profile", "400", good});
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(good + ": ")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("nosuchcodec")) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
}

TEST_F(CliConvert, TrimAndTheSameBaseNameTwice)
{
    const QString clip = TestMediaPath(TTestMedia::VideoAudioMp4);
    const QString copy = CopyTestMedia(TTestMedia::VideoAudioMp4, Sandbox.FilePath("video_audio.mp4"));
    const TCliRun run =
        RunCli(Sandbox.Args({"--profile", "0", "--start", "0.5", "--duration", "1", clip, copy}));
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(Sandbox.Outputs(), QStringList({"video_audio_(new).mp4", "video_audio_(new_1).mp4"}));
    for (const QString& name : Sandbox.Outputs())
        EXPECT_NEAR(DurationSeconds(FfprobeFacts(Sandbox.OutputFolder() + "/" + name)), 1.0, 0.25)
            << name.toStdString();
}

TEST_F(CliConvert, OddFileNamesConvert)
{
    const QString colon = TestMediaPath(TTestMedia::ColonName);
    const QString unicode = TestMediaPath(TTestMedia::NonAsciiName);
    const QString dash = CopyTestMedia(TTestMedia::Clip25Fps, Sandbox.FilePath("-dash.avi"));
    const TCliRun run = RunCli(Sandbox.Args({"--profile", "404", "--quiet", "--", colon, unicode, dash}));
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QStringList expected{"-dash_(new).avi", "clip:colon name_(new).avi",
                               QString::fromUtf8("vidéo ünïcödé 日本語_(new).avi")};
    EXPECT_EQ(Sandbox.Outputs(), expected);
    for (const QString& name : expected)
        EXPECT_EQ(StreamOfType(FfprobeFacts(Sandbox.OutputFolder() + "/" + name), "video")["codec_name"],
                  "mpeg4")
            << name.toStdString();
}

// The effects of the job record reach the converted frames.
TEST_F(CliConvert, TextBrightnessAndPictureChangeTheOutputFrames)
{
    const QString clip = TestMediaPath(TTestMedia::VideoAudioMp4); // 320x240, no letterbox pads
    auto convert = [&](const QStringList& edits) {
        const TCliRun run =
            RunCli(Sandbox.Args(QStringList{"--profile", "0", "--zoom", "full"} + edits + QStringList{clip}));
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        const QStringList lines = OutputLines(run);
        return lines.isEmpty() ? QByteArray() : GreyFrame(lines.last(), 1.0);
    };
    const QByteArray plain = convert({});
    // Half the gain: the test picture's saturated bars could not get brighter.
    const QByteArray darker = convert({"--brightness", "128"});
    const QByteArray text =
        convert({"--text", "WWWWWWWW", "--font", "DejaVu Sans,28", "--text-pos", "10,10"});
    // A black square multiplied in: black wherever it lies.
    QImage square(60, 60, QImage::Format_RGB888);
    square.fill(Qt::black);
    const QString bmp = Sandbox.FilePath("square.bmp");
    ASSERT_TRUE(square.save(bmp, "BMP"));
    const QByteArray picture = convert({"--image", bmp, "--image-pos", "200,150", "--style", "2"});
    ASSERT_EQ(plain.size(), 320 * 240);
    ASSERT_EQ(darker.size(), plain.size());
    ASSERT_EQ(text.size(), plain.size());
    ASSERT_EQ(picture.size(), plain.size());

    EXPECT_LT(Mean(darker), Mean(plain) * 0.7);
    EXPECT_GT(Mean(darker), Mean(plain) * 0.3);
    // The text lands in the top rows and nowhere else.
    EXPECT_GT(DifferingPixels(plain, text, 320, 0, 80), 400);
    EXPECT_LT(DifferingPixels(plain, text, 320, 120, 240), 20);
    // The square covers x 200..259, y 150..209.
    int blackInSquare = 0;
    for (int y = 155; y < 205; ++y)
        for (int x = 205; x < 255; ++x)
            blackInSquare += quint8(picture[y * 320 + x]) < 40 ? 1 : 0;
    EXPECT_GT(blackInSquare, 50 * 50 * 9 / 10);
    EXPECT_LT(DifferingPixels(plain, picture, 320, 0, 140), 20);
}

TEST_F(CliConvert, CtrlCStopsTheRunAsCancelDoesAndLeavesAPlayableOutput)
{
    // Long enough that the conversion is still going when the signal comes.
    const QString longClip = MakeClip(Sandbox.FilePath(""), "long.mp4", 640, 480, 30.0, true);
    const QString second = TestMediaPath(TTestMedia::Clip25Fps);
    const TCliRun run = RunCli(Sandbox.Args({"--profile", "0", longClip, second}), 300000,
                               [](qint64 pid, const TCliRun& soFar) {
                                   if (!soFar.Err.contains("Current Time: "))
                                       return false;
                                   ::kill(pid_t(pid), SIGINT);
                                   return true;
                               });
    EXPECT_FALSE(run.Crashed) << run.Err.toStdString();
    EXPECT_EQ(run.ExitCode, 130) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.isEmpty()) << "no file was done: " << run.Out.toStdString();
    EXPECT_EQ(Sandbox.Outputs(), QStringList{"long_(new).mp4"}) << "the second file never started";
    const QString output = Sandbox.OutputFolder() + "/long_(new).mp4";
    EXPECT_TRUE(run.Err.contains(longClip + ": stopped; what was converted is in " + output))
        << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(second + ": stopped before it began")) << run.Err.toStdString();
    const QJsonObject facts = FfprobeFacts(output);
    EXPECT_GT(DurationSeconds(facts), 0.5);
    EXPECT_LT(DurationSeconds(facts), 29.0);
    EXPECT_EQ(StreamOfType(facts, "video")["codec_name"], "mpeg4");
    // Playable to its end: every frame decodes.
    EXPECT_EQ(GreyFrame(output, DurationSeconds(facts) - 0.2).size(), 320 * 240);
}
