// The three result records: filled from each fixture, cleared with their
// message when the query cannot be answered.
#include "ProbeTesting.h"

#include "media/FormatIO.h"
#include "media/UnicodeProtocol.h"
#include "support/TestMedia.h"

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/samplefmt.h>
}

#include <functional>

namespace {

bool IsCleared(const TVideoStreamInfo& v)
{
    return v.Language.isEmpty() && v.CodecName.isEmpty() && v.StreamStartTime == -1 && v.StartTimeUS == -1 &&
           v.StreamDuration == -1 && v.DurationUS == -1 && v.BitRate == -1 && v.Height == -1 &&
           v.Width == -1 && v.DisplayAspectRatio == -1.0f && v.PixelFormat == -1 && v.FrameRateNum == -1 &&
           v.FrameRateDen == -1;
}

bool IsCleared(const TAudioStreamInfo& a)
{
    return a.Language.isEmpty() && a.CodecName.isEmpty() && a.StreamStartTime == -1 && a.StartTimeUS == -1 &&
           a.StreamDuration == -1 && a.DurationUS == -1 && a.BitRate == -1 && a.Channels == -1 &&
           a.SampleRate == -1 && a.SampleFormat == -1;
}

bool IsCleared(const TFileStreamInfo& f)
{
    return f.StartTime == -1 && f.Duration == -1 && f.BitRate == -1 && f.Timestamp == -1 && f.Year == -1 &&
           f.Track == -1 && f.Title.isEmpty() && f.Author.isEmpty() && f.Copyright.isEmpty() &&
           f.Comment.isEmpty() && f.Album.isEmpty() && f.Genre.isEmpty();
}

// Records holding something, so that a query must clear them.
TVideoStreamInfo DirtyVideo()
{
    TVideoStreamInfo v;
    v.CodecName = "stale";
    v.Width = v.Height = 99;
    v.DisplayAspectRatio = 2.0f;
    return v;
}

TAudioStreamInfo DirtyAudio()
{
    TAudioStreamInfo a;
    a.CodecName = "stale";
    a.SampleRate = a.Channels = 99;
    return a;
}

} // namespace

TEST_F(ProbeTest, RecordsOfEveryFixtureMatchItsFacts)
{
    for (const TTestMediaFacts& f : AllTestMedia()) {
        if (!f.Readable)
            continue;
        SCOPED_TRACE(f.Name.toStdString());
        ASSERT_TRUE(Probe.Open(TestMediaPath(f.Id)));

        TFileStreamInfo file;
        Probe.GetFileStreamInfo(file);
        EXPECT_NEAR(file.Duration / 1e6, f.DurationSeconds, 0.1);
        EXPECT_GT(file.BitRate, 0);

        TVideoStreamInfo v = DirtyVideo();
        Probe.GetVideoStreamInfo(-1, v);
        TAudioStreamInfo a = DirtyAudio();
        Probe.GetAudioStreamInfo(-1, a);
        if (f.VideoStreamCount > 0) {
            EXPECT_TRUE(v.CodecName.startsWith(f.VideoCodec + "(")) << v.CodecName.toStdString();
            EXPECT_EQ(v.Width, f.Width);
            EXPECT_EQ(v.Height, f.Height);
            EXPECT_EQ(v.FrameRateNum, f.FrameRateNum);
            EXPECT_EQ(v.FrameRateDen, f.FrameRateDen);
            EXPECT_EQ(v.PixelFormat, AV_PIX_FMT_YUV420P);
            // Square pixels in every fixture: the ratio is the frame's.
            EXPECT_FLOAT_EQ(v.DisplayAspectRatio, float(double(f.Width) / f.Height));
        } else {
            EXPECT_TRUE(IsCleared(v));
        }
        if (f.AudioStreamCount > 0) {
            EXPECT_TRUE(a.CodecName.startsWith(f.AudioCodec + "(")) << a.CodecName.toStdString();
            EXPECT_EQ(a.SampleRate, f.SampleRate);
            EXPECT_EQ(a.Channels, f.Channels);
            EXPECT_GT(a.BitRate, 0);
            EXPECT_NEAR(a.DurationUS / 1e6, f.DurationSeconds, 0.1);
        } else {
            EXPECT_TRUE(IsCleared(a));
        }
    }
}

TEST_F(ProbeTest, VideoAndAudioRecordsOfTheMp4Clip)
{
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::VideoAudioMp4)));
    TVideoStreamInfo v;
    Probe.GetVideoStreamInfo(0, v);
    EXPECT_EQ(v.Language, "und");
    EXPECT_EQ(v.StreamStartTime, 0);
    EXPECT_EQ(v.StartTimeUS, 0);
    EXPECT_EQ(v.StreamDuration, 25600); // time base 1/12800
    EXPECT_EQ(v.DurationUS, 2000000);
    EXPECT_GT(v.BitRate, 0);
    EXPECT_FLOAT_EQ(v.DisplayAspectRatio, 4.0f / 3.0f);

    TAudioStreamInfo a;
    Probe.GetAudioStreamInfo(1, a);
    EXPECT_EQ(a.StreamDuration, 96000); // time base 1/48000
    EXPECT_EQ(a.DurationUS, 2000000);
    EXPECT_EQ(a.SampleFormat, AV_SAMPLE_FMT_FLTP);
}

TEST_F(ProbeTest, UnknownStreamTimesStayNoTimestampInTheStreamAndMinusOneInMicroseconds)
{
    // A WAV stream has no start time; a Matroska stream has no duration of its own.
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::AudioWav)));
    TAudioStreamInfo a;
    Probe.GetAudioStreamInfo(-1, a);
    EXPECT_EQ(a.StreamStartTime, AV_NOPTS_VALUE);
    EXPECT_EQ(a.StartTimeUS, -1);
    EXPECT_EQ(a.DurationUS, 2000000);
    TFileStreamInfo file;
    Probe.GetFileStreamInfo(file);
    EXPECT_EQ(file.StartTime, -1);

    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::VideoOnly)));
    TVideoStreamInfo v;
    Probe.GetVideoStreamInfo(-1, v);
    EXPECT_EQ(v.StreamDuration, AV_NOPTS_VALUE);
    EXPECT_EQ(v.DurationUS, -1);
    EXPECT_EQ(v.StartTimeUS, 0);
}

TEST_F(ProbeTest, FileRecordCarriesTheTags)
{
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::Tagged)));
    TFileStreamInfo f;
    Probe.GetFileStreamInfo(f);
    EXPECT_EQ(f.Title, "Clarvix Title");
    EXPECT_EQ(f.Author, "Clarvix Author");
    EXPECT_EQ(f.Copyright, "(c) Nobody");
    EXPECT_EQ(f.Comment, "Generated");
    EXPECT_EQ(f.Album, "Clarvix Album");
    EXPECT_EQ(f.Genre, "Test Tone");
    EXPECT_EQ(f.Year, 2010);
    EXPECT_EQ(f.Track, 3);
    EXPECT_EQ(f.Timestamp, 0); // no creation time in an MP3
    EXPECT_GT(f.StartTime, 0); // the encoder delay of MP3
    EXPECT_GT(f.BitRate, 100000);

    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::AudioWav)));
    Probe.GetFileStreamInfo(f);
    EXPECT_TRUE(f.Title.isEmpty());
    EXPECT_EQ(f.Year, 0);
    EXPECT_EQ(f.Track, 0);
}

TEST_F(ProbeTest, TimestampYearAndTrackComeFromTheContainerTags)
{
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(OpenInputFile(&raw, FileNameToURL(path), nullptr, nullptr), 0);
    InputFormatPtr context(raw);
    av_dict_set(&raw->metadata, "creation_time", "2010-05-01T12:00:00.000000Z", 0);
    av_dict_set(&raw->metadata, "date", "1999-12-31", 0);
    av_dict_set(&raw->metadata, "track", "7/12", 0);
    Probe.Attach(raw);
    TFileStreamInfo f;
    Probe.GetFileStreamInfo(f);
    EXPECT_EQ(f.Timestamp, 1272715200);
    EXPECT_EQ(f.Year, 1999);
    EXPECT_EQ(f.Track, 7);
    Probe.Close();
}

TEST_F(ProbeTest, AudioOnlyFileHasNoVideoStream)
{
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::AudioMp3)));
    EXPECT_EQ(Probe.VideoStreamIndex(), -1);
    TProbeLogRecorder log(&Probe);
    TVideoStreamInfo v = DirtyVideo();
    Probe.GetVideoStreamInfo(-1, v);
    EXPECT_TRUE(IsCleared(v));
    EXPECT_EQ(v.Width, -1);
    EXPECT_EQ(v.DisplayAspectRatio, -1.0f);
    EXPECT_EQ(Probe.LastErrMsg(), "no video stream.");
    ASSERT_EQ(log.Messages.size(), 1u);
    EXPECT_EQ(log.Messages[0].Level, llError);
    EXPECT_EQ(log.Messages[0].Text, "no video stream.");
}

TEST_F(ProbeTest, QueriesThatCannotBeAnsweredReportWhyAndClearTheRecord)
{
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::VideoAudioMp4))); // 0 video, 1 audio
    const struct
    {
        const char* What;
        std::function<bool(TAVProbe&)> Query; // true when the result is the cleared one
        const char* Message;
    } cases[] = {
        {"video of audio",
         [](TAVProbe& p) {
             auto v = DirtyVideo();
             p.GetVideoStreamInfo(1, v);
             return IsCleared(v);
         },
         "stream #1 is not video stream."},
        {"audio of video",
         [](TAVProbe& p) {
             auto a = DirtyAudio();
             p.GetAudioStreamInfo(0, a);
             return IsCleared(a);
         },
         "stream #0 is not audio stream."},
        {"video past the end",
         [](TAVProbe& p) {
             auto v = DirtyVideo();
             p.GetVideoStreamInfo(2, v);
             return IsCleared(v);
         },
         "stream index #2 is invalid."},
        {"audio past the end",
         [](TAVProbe& p) {
             auto a = DirtyAudio();
             p.GetAudioStreamInfo(7, a);
             return IsCleared(a);
         },
         "stream index #7 is invalid."},
        {"is video, negative", [](TAVProbe& p) { return !p.IsVideoStream(-1); },
         "stream index #-1 is invalid."},
        {"is audio, past the end", [](TAVProbe& p) { return !p.IsAudioStream(2); },
         "stream index #2 is invalid."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TProbeLogRecorder log(&Probe);
        EXPECT_TRUE(c.Query(Probe));
        EXPECT_EQ(Probe.LastErrMsg(), c.Message);
        ASSERT_EQ(log.Messages.size(), 1u);
        EXPECT_EQ(log.Messages[0].Level, llError);
    }
    EXPECT_TRUE(Probe.IsVideoStream(0));
    EXPECT_FALSE(Probe.IsAudioStream(0));
    EXPECT_TRUE(Probe.IsAudioStream(1));
    EXPECT_FALSE(Probe.IsVideoStream(1));
}

TEST_F(ProbeTest, QueriesWithoutAFileWarnFileNotLoaded)
{
    TProbeLogRecorder log(&Probe);
    TFileStreamInfo f;
    f.Title = "stale";
    Probe.GetFileStreamInfo(f);
    EXPECT_TRUE(IsCleared(f));
    TVideoStreamInfo v = DirtyVideo();
    Probe.GetVideoStreamInfo(-1, v);
    EXPECT_TRUE(IsCleared(v));
    TAudioStreamInfo a = DirtyAudio();
    Probe.GetAudioStreamInfo(0, a);
    EXPECT_TRUE(IsCleared(a));
    EXPECT_FALSE(Probe.IsVideoStream(0));
    EXPECT_FALSE(Probe.IsAudioStream(0));
    EXPECT_TRUE(Probe.InfoText().isEmpty());
    EXPECT_EQ(Probe.LastErrMsg(), "file not loaded.");
    ASSERT_EQ(log.Messages.size(), 6u);
    for (const TLoggedMessage& m : log.Messages) {
        EXPECT_EQ(m.Level, llWarning);
        EXPECT_EQ(m.Text, "file not loaded.");
    }
}

TEST_F(ProbeTest, ZeroTimeBaseDenominatorIsReplacedBeforeRescaling)
{
    const QString path = TestMediaPath(TTestMedia::AudioWav); // 44100 samples at 1/22050
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(OpenInputFile(&raw, FileNameToURL(path), nullptr, nullptr), 0);
    InputFormatPtr context(raw);
    ASSERT_GE(avformat_find_stream_info(raw, nullptr), 0);
    AVStream* stream = raw->streams[0];
    Probe.Attach(raw);

    const struct
    {
        AVRational Damaged, Repaired;
        qint64 DurationUS;
    } cases[] = {
        {{7, 0}, {7, 7}, 44100LL * 1000000},
        {{0, 0}, {0, 1}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Damaged.num);
        stream->time_base = c.Damaged;
        // The info text is written before any repair and must not divide by zero either.
        EXPECT_TRUE(Probe.InfoText().contains("Stream #0, "));
        TAudioStreamInfo a;
        Probe.GetAudioStreamInfo(0, a);
        EXPECT_EQ(stream->time_base.num, c.Repaired.num);
        EXPECT_EQ(stream->time_base.den, c.Repaired.den);
        EXPECT_EQ(a.StreamDuration, 44100);
        EXPECT_EQ(a.DurationUS, c.DurationUS);
    }
    Probe.Close();
}
