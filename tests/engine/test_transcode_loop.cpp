// Whole conversions through the packet loop, checked with the ffprobe and
// ffmpeg programs: containers and codecs, sizes, rates, channel counts,
// durations within one frame, pictures where geometry matters, samples where
// volume matters, and the frame-rate synchronisation with its report text.

#include "LoopTesting.h"

#include "media/FFLogger.h"
#include "media/MainThread.h"
#include "support/FfprobeFacts.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

// "Within one frame" includes exactly one frame.
constexpr double OneFrameAt25 = 0.04 + 1e-6;

TConversion ConversionOf(const QString& source, const QString& output)
{
    TConversion conversion;
    conversion.Inputs.push_back({source, TInputOptions{}});
    conversion.OutputFile = output;
    return conversion;
}

void ExpectSucceeded(const TConversionResult& result)
{
    EXPECT_FALSE(result.Exception) << result.ExceptionMsg.toStdString() << "\n"
                                   << result.LogLines.join("\n").toStdString();
    EXPECT_TRUE(result.Finished);
}

int FrameCount(const QJsonObject& stream)
{
    return stream.value("nb_frames").toString().toInt();
}

class TranscodeLoop : public ::testing::Test
{
protected:
    TTemporaryFolder Folder;
};

TEST_F(TranscodeLoop, VideoAndAudioToMp4WithMpeg4AndAac)
{
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4), Folder.FilePath("out.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.AudioCodec = "libfaac"; // the profiles' name for the installed AAC encoder
    c.Output.VideoBitrate = 1500000;
    c.Output.AudioBitrate = 128000;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_TRUE(FfprobeFacts(c.OutputFile)
                    .value("format")
                    .toObject()
                    .value("format_name")
                    .toString()
                    .contains("mp4"));
    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "mpeg4");
    EXPECT_EQ(video.value("width").toInt(), 320);
    EXPECT_EQ(video.value("height").toInt(), 240);
    EXPECT_EQ(FrameCount(video), 50);
    EXPECT_NEAR(DurationOf(video), 2.0, OneFrameAt25);
    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_EQ(audio.value("codec_name").toString(), "aac");
    EXPECT_EQ(audio.value("sample_rate").toString(), "48000");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    EXPECT_NEAR(DurationOf(audio), 2.0, OneFrameAt25);

    // The final report: the whole output, its size on disk, and the summary in the log.
    ASSERT_FALSE(result.Progress.empty());
    const TProgressRecord& last = result.Progress.back();
    EXPECT_EQ(last.FileIndex, -1);
    EXPECT_EQ(last.FrameNumber, 50);
    EXPECT_NEAR(last.CurrentDuration, 2000000, 40000);
    EXPECT_EQ(last.TotalDuration, 2000000);
    EXPECT_EQ(last.CurrentSize, QFileInfo(c.OutputFile).size());
    EXPECT_TRUE(std::any_of(result.LogLines.begin(), result.LogLines.end(), [](const QString& line) {
        return line.startsWith("video:") && line.contains("muxing overhead");
    }));
}

TEST_F(TranscodeLoop, IpodContainerWithX264AndTheIpodPreset)
{
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::Clip2997Fps), Folder.FilePath("out.m4v"));
    c.Output.FileFormat = "ipod";
    c.Output.VideoCodec = "libx264";
    c.Output.VideoPreset = "ipod";
    c.Output.AudioCodec = "aac";
    c.Output.AudioBitrate = 128000;
    ExpectSucceeded(RunConversion(c));

    const QJsonObject format = FfprobeFacts(c.OutputFile).value("format").toObject();
    EXPECT_EQ(format.value("tags").toObject().value("major_brand").toString(), "M4V ");
    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "h264");
    EXPECT_EQ(video.value("level").toInt(), 30); // from the preset
    EXPECT_EQ(video.value("width").toInt(), 320);
    EXPECT_EQ(video.value("height").toInt(), 180);
    EXPECT_NEAR(DurationOf(video), 2.0, 1001.0 / 30000);
    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_EQ(audio.value("codec_name").toString(), "aac");
    EXPECT_EQ(audio.value("sample_rate").toString(), "44100");
}

struct TAudioOnlyCase
{
    const char* Name;
    TTestMedia Source;
    const char* FileName;
    const char* Codec;
    bool DisableVideo;
    int SampleRate, Channels;
    const char* ExpectedCodec;
    double Tolerance; // one frame of the output codec
};

class AudioOnlyOutput : public TranscodeLoop, public ::testing::WithParamInterface<TAudioOnlyCase>
{
};

TEST_P(AudioOnlyOutput, HasTheCodecRateChannelsAndLength)
{
    const TAudioOnlyCase& p = GetParam();
    TConversion c = ConversionOf(TestMediaPath(p.Source), Folder.FilePath(p.FileName));
    c.Output.AudioCodec = p.Codec;
    c.Output.DisableVideo = p.DisableVideo;
    c.Output.AudioSampleRate = p.SampleRate;
    c.Output.AudioChannels = p.Channels;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_TRUE(StreamFacts(c.OutputFile, "video").isEmpty());
    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_EQ(audio.value("codec_name").toString(), p.ExpectedCodec);
    EXPECT_EQ(audio.value("sample_rate").toString().toInt(), p.SampleRate);
    EXPECT_EQ(audio.value("channels").toInt(), p.Channels);
    EXPECT_NEAR(DurationOf(audio), 2.0, p.Tolerance);
    // The final report of an output without video: no frame figures.
    ASSERT_FALSE(result.Progress.empty());
    EXPECT_EQ(result.Progress.back().FileIndex, -1);
    EXPECT_EQ(result.Progress.back().FrameNumber, -1);
    EXPECT_NEAR(result.Progress.back().CurrentDuration, 2000000, p.Tolerance * 1000000);
}

INSTANTIATE_TEST_SUITE_P(Formats, AudioOnlyOutput,
                         ::testing::Values(
                             // down-mixed and resampled
                             TAudioOnlyCase{"wav_from_mp3", TTestMedia::AudioMp3, "out.wav", "pcm_s16le",
                                            false, 22050, 1, "pcm_s16le", 0.03},
                             // up-mixed and resampled; an MP3 file keeps its encoder's delay (the
                             // ffmpeg program's output of this job also lasts 2.038 s)
                             TAudioOnlyCase{"mp3_from_wav", TTestMedia::AudioWav, "out.mp3", "libmp3lame",
                                            false, 44100, 2, "mp3", 2 * 1152.0 / 44100},
                             TAudioOnlyCase{"m4a_from_video", TTestMedia::VideoAudioMp4, "out.m4a", "aac",
                                            true, 44100, 2, "aac", 1024.0 / 44100}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TranscodeLoop, LetterboxThroughAPadFilter)
{
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::Clip2997Fps), Folder.FilePath("box.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.VideoBitrate = 2000000;
    c.Output.VideoFilters = "pad=320:240:0:30:black";
    ExpectSucceeded(RunConversion(c));

    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("width").toInt(), 320);
    EXPECT_EQ(video.value("height").toInt(), 240);
    EXPECT_NEAR(DurationOf(video), 2.0, 1001.0 / 30000);
    const QByteArray picture = FirstFrameGray(c.OutputFile, 320, 240);
    const QByteArray topBar = picture.left(320 * 28), bottomBar = picture.right(320 * 28);
    EXPECT_LT(*std::max_element(topBar.begin(), topBar.end(),
                                [](char a, char b) { return uint8_t(a) < uint8_t(b); }),
              24);
    EXPECT_LT(*std::max_element(bottomBar.begin(), bottomBar.end(),
                                [](char a, char b) { return uint8_t(a) < uint8_t(b); }),
              24);
    // Between the bars is the source picture.
    const QByteArray source = FirstFrameGray(TestMediaPath(TTestMedia::Clip2997Fps), 320, 180);
    EXPECT_LT(MeanDifference(picture.mid(320 * 30, 320 * 180), source), 6.0);
}

TEST_F(TranscodeLoop, CropThroughTheCropFields)
{
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4), Folder.FilePath("crop.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.VideoBitrate = 2000000;
    c.Output.CropTop = 40;
    c.Output.CropBottom = 20;
    c.Output.CropLeft = 16;
    c.Output.CropRight = 32;
    ExpectSucceeded(RunConversion(c));

    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("width").toInt(), 272);
    EXPECT_EQ(video.value("height").toInt(), 180);
    // The kept part is the one the bands leave, not just any part of that size.
    const QByteArray expected =
        FirstFrameGray(TestMediaPath(TTestMedia::VideoAudioMp4), 272, 180, "crop=272:180:16:40");
    EXPECT_LT(MeanDifference(FirstFrameGray(c.OutputFile, 272, 180), expected), 6.0);
    EXPECT_GT(MeanDifference(
                  FirstFrameGray(c.OutputFile, 272, 180),
                  FirstFrameGray(TestMediaPath(TTestMedia::VideoAudioMp4), 272, 180, "crop=272:180:0:0")),
              10.0);
}

TEST_F(TranscodeLoop, TenSecondsFromAFiveSecondStart)
{
    // The seek lands on the key frame at 0 s: what lies before 5 s must not reach the output.
    TConversion c = ConversionOf(LongClip(), Folder.FilePath("part.mp4"));
    c.Inputs[0].Options.StartTime = 5000000;
    c.Output.VideoCodec = "mpeg4";
    c.Output.AudioCodec = "aac";
    c.Output.RecordingTime = 10000000;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_NEAR(DurationOf(video), 10.0, OneFrameAt25);
    EXPECT_NEAR(FrameCount(video), 250, 1);
    EXPECT_NEAR(DurationOf(audio), 10.0, OneFrameAt25);
    EXPECT_NEAR(audio.value("start_time").toString().toDouble(), 0.0, OneFrameAt25);
    ASSERT_FALSE(result.Progress.empty());
    EXPECT_EQ(result.Progress.back().TotalDuration, 10000000);
    // Picture at the output's start is the source's picture at 5 s.
    const QByteArray atFive = FirstFrameGray(LongClip(), 160, 120, "trim=start=5");
    EXPECT_LT(MeanDifference(FirstFrameGray(c.OutputFile, 160, 120), atFive), 8.0);
}

TEST_F(TranscodeLoop, TwoInputsJoined)
{
    TConversion c;
    c.Inputs.push_back({TestMediaPath(TTestMedia::VideoAudioMp4), TInputOptions{}});
    c.Inputs.push_back(
        {TestMediaPath(TTestMedia::Clip2997Fps), TInputOptions{}}); // 320x180, 29.97 fps, 44.1 kHz
    c.OutputFile = Folder.FilePath("joined.mp4");
    c.Output.VideoCodec = "mpeg4";
    c.Output.AudioCodec = "aac";
    c.Output.JoinInputs = true;
    // Without them the output would follow the input opened last.
    c.Output.FrameSize = "320x240";
    c.Output.FrameRate = "25";
    c.Output.AudioSampleRate = 48000;
    c.Output.AudioChannels = 2;
    // Slow enough for periodic reports while each input is read.
    c.ProgressInterval = 100000;
    c.Hook = [](QImage&, int, qint64, bool& update, bool&) {
        update = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(8));
    };
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("width").toInt(), 320);
    EXPECT_EQ(video.value("height").toInt(), 240);
    EXPECT_NEAR(DurationOf(video), 4.0, OneFrameAt25);
    EXPECT_NEAR(FrameCount(video), 100, 1);
    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    EXPECT_NEAR(DurationOf(audio), 4.0, OneFrameAt25);

    // Progress names the input being read, 0 then 1; the final report -1.
    std::vector<int> order;
    for (const TProgressRecord& p : result.Progress)
        if (order.empty() || order.back() != p.FileIndex)
            order.push_back(p.FileIndex);
    EXPECT_EQ(order, (std::vector<int>{0, 1, -1}));
    EXPECT_NEAR(result.Progress.back().TotalDuration, 4002000, 1000); // the sum of the inputs' durations
    // The second half is the second input's picture, scaled.
    const QByteArray second =
        FirstFrameGray(TestMediaPath(TTestMedia::Clip2997Fps), 320, 240, "scale=320:240");
    EXPECT_LT(MeanDifference(FirstFrameGray(c.OutputFile, 320, 240, "trim=start=2.01"), second), 12.0);
}

TEST_F(TranscodeLoop, AudioVolumeDoublesWithClippingAndHalves)
{
    const std::vector<int16_t> source = AudioSamplesS16(LoudWav());
    ASSERT_GT(*std::max_element(source.begin(), source.end()), 20000);
    for (const int volume : {512, 128}) {
        TConversion c = ConversionOf(LoudWav(), Folder.FilePath(QString("vol%1.wav").arg(volume)));
        c.Output.AudioCodec = "pcm_s16le";
        c.Output.AudioVolume = volume;
        ExpectSucceeded(RunConversion(c));
        const std::vector<int16_t> output = AudioSamplesS16(c.OutputFile);
        ASSERT_EQ(output.size(), source.size()) << "volume " << volume;
        size_t clipped = 0;
        for (size_t i = 0; i < source.size(); ++i) {
            const int expected = std::clamp((source[i] * volume + 128) >> 8, -32768, 32767);
            ASSERT_EQ(output[i], expected) << "volume " << volume << " sample " << i;
            clipped += (output[i] == 32767 || output[i] == -32768);
        }
        if (volume == 512)
            EXPECT_GT(clipped, source.size() / 10);
        else
            EXPECT_EQ(clipped, 0u);
    }
}

struct TRateCase
{
    const char* Name;
    TTestMedia Source;
    const char* FrameRate;
    int VideoSync;
    int ExpectedFrames;
    bool Dups, Drops;
};

class FrameRateConversion : public TranscodeLoop, public ::testing::WithParamInterface<TRateCase>
{
};

TEST_P(FrameRateConversion, DuplicatesOrDropsAndReportsIt)
{
    const TRateCase& p = GetParam();
    TConversion c = ConversionOf(TestMediaPath(p.Source), Folder.FilePath("rate.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.DisableAudio = true;
    c.Output.FrameRate = p.FrameRate;
    c.Output.VideoSync = p.VideoSync;
    c.ProgressInterval = 3600 * qint64(1000000); // the final report is the only one
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("r_frame_rate").toString(), p.FrameRate);
    EXPECT_NEAR(FrameCount(video), p.ExpectedFrames, 1);
    EXPECT_EQ(result.DupCount > 0, p.Dups);
    EXPECT_EQ(result.DropCount > 0, p.Drops);
    if (p.Dups)
        EXPECT_NEAR(result.DupCount, p.ExpectedFrames - 50, 1);
    if (p.Drops)
        EXPECT_NEAR(result.DropCount, 60 - p.ExpectedFrames, 1);
    const QString line = result.LastReportLine();
    if (p.Dups || p.Drops)
        EXPECT_TRUE(line.endsWith(QString(" dup=%1 drop=%2").arg(result.DupCount).arg(result.DropCount)))
            << line.toStdString();
    else
        EXPECT_FALSE(line.contains("dup=")) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rates, FrameRateConversion,
                         ::testing::Values(TRateCase{"pal_to_ntsc_duplicates", TTestMedia::Clip25Fps,
                                                     "30000/1001", -1, 60, true, false},
                                           TRateCase{"ntsc_to_pal_drops", TTestMedia::Clip2997Fps, "25/1", -1,
                                                     50, false, true},
                                           // every picture once, re-timed: 50 pictures at 29.97 fps
                                           TRateCase{"passthrough_neither", TTestMedia::Clip25Fps,
                                                     "30000/1001", 0, 50, false, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace

namespace {

TEST_F(TranscodeLoop, InputChangingItsPictureSizeIsScaledToTheOutputSize)
{
    TConversion c = ConversionOf(SizeChangeClip(), Folder.FilePath("sizes.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.VideoBitrate = 2000000;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("width").toInt(), 320);
    EXPECT_EQ(video.value("height").toInt(), 240);
    EXPECT_NEAR(FrameCount(video), 100, 1);
    EXPECT_TRUE(result.LogLines.contains("Input Stream #0.0 frame size changed to 176x144, yuv420p"))
        << result.LogLines.join("\n").toStdString();
    const QByteArray later = FirstFrameGray(SizeChangeClip(), 320, 240, "trim=start=3,scale=320:240");
    EXPECT_LT(MeanDifference(FirstFrameGray(c.OutputFile, 320, 240, "trim=start=3"), later), 10.0);
}

struct THookCase
{
    const char* Name;
    bool Update;
};

class CustomHook : public TranscodeLoop, public ::testing::WithParamInterface<THookCase>
{
};

TEST_P(CustomHook, WhatTheHandlerDrawsReachesTheOutputOnlyWithUpdate)
{
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4), Folder.FilePath("hook.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.VideoBitrate = 3000000;
    std::vector<int> frameNumbers;
    std::vector<qint64> times;
    const bool update = GetParam().Update;
    c.Hook = [&](QImage& bitmap, int frameNumber, qint64 pts, bool& keep, bool&) {
        EXPECT_EQ(bitmap.format(), QImage::Format_BGR888);
        EXPECT_EQ(bitmap.size(), QSize(320, 240));
        frameNumbers.push_back(frameNumber);
        times.push_back(pts);
        for (int y = 0; y < 64; ++y)
            memset(bitmap.scanLine(y), 255, 64 * 3); // a white square top left
        keep = update;
    };
    ExpectSucceeded(RunConversion(c));

    ASSERT_EQ(frameNumbers.size(), 50u);
    for (size_t i = 0; i < frameNumbers.size(); ++i)
        EXPECT_EQ(frameNumbers[i], int(i) + 1);
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    EXPECT_NEAR(times.back(), 1960000, 1000);

    const QByteArray output = FirstFrameGray(c.OutputFile, 320, 240);
    const QByteArray source = FirstFrameGray(TestMediaPath(TTestMedia::VideoAudioMp4), 320, 240);
    int whiteInSquare = 0;
    for (int y = 4; y < 60; ++y)
        for (int x = 4; x < 60; ++x)
            whiteInSquare += uint8_t(output[y * 320 + x]) > 230;
    if (update)
        EXPECT_GT(whiteInSquare, 56 * 56 * 9 / 10);
    else
        EXPECT_LT(whiteInSquare, 56 * 56 / 2);
    // Outside the square the picture is the source's either way.
    EXPECT_LT(MeanDifference(output.mid(320 * 80), source.mid(320 * 80)), 6.0);
}

INSTANTIATE_TEST_SUITE_P(Update, CustomHook,
                         ::testing::Values(THookCase{"written_back", true},
                                           THookCase{"left_as_decoded", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TranscodeLoop, FailureAfterTheHeaderStillWritesTheTrailer)
{
    // Every packet gets the same time stamp: the container refuses the second one.
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4), Folder.FilePath("failed.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.DisableAudio = true;
    c.Output.ExtOptions = "vbsf=setts=ts=1";
    const TConversionResult result = RunConversion(c);

    EXPECT_TRUE(result.Exception);
    EXPECT_FALSE(result.Finished);
    EXPECT_TRUE(result.ExceptionMsg.startsWith("av_interleaved_write_frame(): "))
        << result.ExceptionMsg.toStdString();
    EXPECT_TRUE(
        result.ExceptionMsg.endsWith("\nThe part converted before the failure was kept: " + c.OutputFile))
        << result.ExceptionMsg.toStdString();
    // What was written before the failure is a readable file.
    const QJsonObject video = StreamFacts(c.OutputFile, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "mpeg4");
    EXPECT_GE(FrameCount(video), 1);
}

TEST_F(TranscodeLoop, FileSizeLimitEndsTheLoopJustPastIt)
{
    TConversion c = ConversionOf(LongClip(), Folder.FilePath("limited.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.VideoBitrate = 1000000;
    c.Output.ExtOptions = "fs=200000";
    ExpectSucceeded(RunConversion(c));

    const qint64 size = QFileInfo(c.OutputFile).size();
    EXPECT_GT(size, 200000);
    EXPECT_LT(size, 200000 + 80000); // the packets in flight and the trailer
    EXPECT_LT(DurationOf(StreamFacts(c.OutputFile, "video")), 5.0);
}

TEST_F(TranscodeLoop, LateAudioIsPrecededBySilenceWithAudioSync)
{
    TConversion c = ConversionOf(LateAudioClip(), Folder.FilePath("late.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.AudioCodec = "aac";
    c.Output.AudioSync = 1;
    c.Verbose = 3;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    // Once, as many samples as the audio starts late (at the output rate).
    const QStringList notes =
        result.LogLines.filter(QRegularExpression("^adding \\d+ audio samples of silence$"));
    ASSERT_EQ(notes.size(), 1) << result.LogLines.join("\n").toStdString();
    const double lateBy = StreamFacts(LateAudioClip(), "audio").value("start_time").toString().toDouble();
    EXPECT_NEAR(notes[0].section(' ', 1, 1).toInt(), lateBy * 44100, 2);
    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_NEAR(audio.value("start_time").toString().toDouble(), 0.0, OneFrameAt25);
    EXPECT_NEAR(DurationOf(audio), 4.0, OneFrameAt25);
    // The first two seconds are silent, the tone follows.
    const std::vector<int16_t> samples = AudioSamplesS16(c.OutputFile);
    ASSERT_GT(samples.size(), size_t(3 * 44100));
    const auto loudest = [&](size_t from, size_t to) {
        int peak = 0;
        for (size_t i = from; i < to; ++i)
            peak = std::max(peak, std::abs(int(samples[i])));
        return peak;
    };
    EXPECT_LT(loudest(2000, size_t(1.9 * 44100)), 100);
    EXPECT_GT(loudest(size_t(2.2 * 44100), size_t(3 * 44100)), 2000);
}

} // namespace

namespace {

TEST_F(TranscodeLoop, TwoTasksAtOnceKeepTheirOwnQuantiserHistogram)
{
    std::vector<std::unique_ptr<TConversionRun>> runs;
    for (int i = 0; i < 2; ++i) {
        TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4),
                                     Folder.FilePath(QString("task%1.mp4").arg(i)));
        c.Output.VideoCodec = "mpeg4";
        c.Output.AudioCodec = "aac";
        c.Output.ExtOptions = "qphist=1";
        c.WithProgress = false;
        c.ProgressInterval = 3600 * qint64(1000000); // only the final report
        runs.push_back(std::make_unique<TConversionRun>(c));
    }
    DefaultLogger()->SetOnLog([&](const void* sender, quint32, TLogLevel, const QString& line) {
        for (auto& run : runs)
            if (sender == run->LogSender())
                run->AddLogLine(line);
    });
    std::vector<TConversionResult> results(2);
    std::atomic<int> done{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 2; ++i)
        workers.emplace_back([&, i] {
            results[i] = runs[i]->Run();
            ++done;
        });
    // The workers log through the main thread: keep it answering while waiting.
    WaitWhilePumping([&] { return done == 2; });
    for (std::thread& worker : workers)
        worker.join();
    DefaultLogger()->SetOnLog({});
    for (int i = 0; i < 2; ++i)
        results[i].LogLines = runs[i]->LogLines();

    for (int i = 0; i < 2; ++i) {
        ExpectSucceeded(results[i]);
        EXPECT_EQ(FrameCount(StreamFacts(Folder.FilePath(QString("task%1.mp4").arg(i)), "video")), 50);
        const QRegularExpressionMatch histogram =
            QRegularExpression(" L([0-9A-F]{32})size=").match(results[i].LastReportLine());
        ASSERT_TRUE(histogram.hasMatch()) << results[i].LastReportLine().toStdString();
        // One report of this task alone: a single quantiser counted once.
        EXPECT_EQ(histogram.captured(1).count('1'), 1) << histogram.captured(1).toStdString();
        EXPECT_EQ(histogram.captured(1).count('0'), 31) << histogram.captured(1).toStdString();
    }
}

} // namespace

namespace {

QByteArray PacketChecksum(const QString& path, const QString& stream)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-v", "error", "-i", path, "-map", "0:" + stream, "-c", "copy", "-f", "md5", "-"});
    ffmpeg.waitForFinished(60000);
    return ffmpeg.readAllStandardOutput().trimmed();
}

QStringList PacketTimes(const QString& path, const QString& stream)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-select_streams", stream, "-show_entries", "packet=pts_time",
                              "-of", "csv=p=0", path});
    ffprobe.waitForFinished(60000);
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST_F(TranscodeLoop, StreamCopyKeepsEveryPacketAsItWas)
{
    const QString source = TestMediaPath(TTestMedia::VideoAudioMp4);
    TConversion c = ConversionOf(source, Folder.FilePath("copy.mp4"));
    c.Output.VideoCodec = "copy";
    c.Output.AudioCodec = "copy";
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(PacketChecksum(c.OutputFile, "v"), PacketChecksum(source, "v"));
    EXPECT_EQ(PacketChecksum(c.OutputFile, "a"), PacketChecksum(source, "a"));
    EXPECT_EQ(PacketTimes(c.OutputFile, "v"), PacketTimes(source, "v"));
    EXPECT_NEAR(DurationOf(StreamFacts(c.OutputFile, "video")), 2.0, OneFrameAt25);
    ASSERT_FALSE(result.Progress.empty());
    EXPECT_EQ(result.Progress.back().FrameNumber, 50);
}

TEST_F(TranscodeLoop, AudioChangingChannelsAndRateMidwayIsResampledToTheOutput)
{
    TConversion c = ConversionOf(AudioChangeClip(), Folder.FilePath("changing.m4a"));
    c.Output.AudioCodec = "aac";
    c.Output.AudioChannels = 2;
    c.Output.AudioSampleRate = 44100;
    ExpectSucceeded(RunConversion(c));

    const QJsonObject audio = StreamFacts(c.OutputFile, "audio");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    EXPECT_EQ(audio.value("sample_rate").toString(), "44100");
    EXPECT_NEAR(DurationOf(audio), 4.0, 0.1); // each MP2 part carries its own coding delay
    // The second half is the second part's tone at its own pitch: 880 Hz, not shifted by a wrong rate.
    const std::vector<int16_t> samples = AudioSamplesS16(c.OutputFile);
    ASSERT_GT(samples.size(), size_t(2 * 44100 * 3.5));
    int crossings = 0;
    const size_t from = size_t(2 * 44100 * 2.5), to = size_t(2 * 44100 * 3.5); // interleaved stereo
    for (size_t i = from + 2; i < to; i += 2)
        crossings += (samples[i - 2] < 0) != (samples[i] < 0);
    EXPECT_NEAR(crossings, 2 * 880, 20);
}

TEST_F(TranscodeLoop, FrameLimitEndsTheLoop)
{
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4), Folder.FilePath("ten.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.DisableAudio = true;
    c.Output.ExtOptions = "vframes=10";
    ExpectSucceeded(RunConversion(c));
    EXPECT_EQ(FrameCount(StreamFacts(c.OutputFile, "video")), 10);
}

TEST_F(TranscodeLoop, VideoStatisticsFileHasALinePerPacket)
{
    const QString statistics = Folder.FilePath("stats.log");
    TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4), Folder.FilePath("stats.mp4"));
    c.Output.VideoCodec = "mpeg4";
    c.Output.ExtOptions = "vstats_file=" + statistics;
    ExpectSucceeded(RunConversion(c));

    QFile file(statistics);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 50);
    const QRegularExpression format("^frame= +(\\d+) q= *[0-9.]+ f_size= +\\d+ s_size= +\\d+kB time= [0-9.]+ "
                                    "br= +[0-9.]+kbits/s avg_br= +[0-9.]+kbits/s type= [IP]$");
    for (int i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch match = format.match(lines[i]);
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        EXPECT_EQ(match.captured(1).toInt(), i + 1);
    }
    EXPECT_TRUE(lines[0].endsWith("type= I"));
}

TEST_F(TranscodeLoop, TwoPassesShareTheFirstPassStatistics)
{
    const QString prefix = Folder.FilePath("passlog");
    for (const int pass : {1, 2}) {
        TConversion c = ConversionOf(TestMediaPath(TTestMedia::VideoAudioMp4),
                                     Folder.FilePath(QString("pass%1.mp4").arg(pass)));
        c.Output.VideoCodec = "mpeg4";
        c.Output.VideoBitrate = 400000;
        c.Output.DisableAudio = true;
        c.Output.ExtOptions = QString("pass=%1<CRLF>passlogfile=%2").arg(pass).arg(prefix);
        ExpectSucceeded(RunConversion(c));
        if (pass == 1) // one statistics line per picture, written by the encoder during pass 1
            EXPECT_GE(QFileInfo(prefix + "-0.log").size(), 50 * 40);
    }
    const double bitRate =
        StreamFacts(Folder.FilePath("pass2.mp4"), "video").value("bit_rate").toString().toDouble();
    EXPECT_NEAR(bitRate, 400000, 40000);
}

} // namespace
