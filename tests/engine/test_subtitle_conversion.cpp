// Conversions of subtitle streams. Text: re-encoded into the subtitle codecs
// of Matroska and MP4, left out, copied, carried through a join; its cues
// are read back with the ffmpeg program as SubRip text, so codec, count,
// start and end times and text are all checked independently of the engine.
// Bitmap: re-encoded as DVD and as DVB subtitles (shown, then cleared),
// checked by the packets and decoded subtitles ffprobe sees. Either kind is
// refused clearly where it cannot become the kind asked for.

#include "LoopTesting.h"

#include "support/TemporaryFolder.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// The cues of SubtitledClip().
using TCues = std::vector<std::string>;
const TCues SourceCues{"00:00:00,500 --> 00:00:01,000 First line",
                       "00:00:01,200 --> 00:00:01,800 Second line"};

// Each cue of the file's first subtitle stream as "start --> end text".
TCues CuesOf(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-nostdin", "-i", path, "-map", "0:s:0", "-f", "srt", "-"});
    ffmpeg.waitForFinished(60000);
    TCues cues;
    const QString text = QString::fromUtf8(ffmpeg.readAllStandardOutput()).replace("\r\n", "\n");
    for (const QString& block : text.split("\n\n", Qt::SkipEmptyParts)) {
        QStringList lines = block.split('\n', Qt::SkipEmptyParts);
        if (lines.size() < 2)
            continue;
        lines.removeFirst(); // the cue's number
        cues.push_back(lines.join(' ').toStdString());
    }
    return cues;
}

QString SubtitleCodecOf(const QString& path)
{
    return StreamFacts(path, "subtitle").value("codec_name").toString();
}

TConversion SubtitledConversion(const QString& output, const QString& subtitleCodec)
{
    TConversion conversion;
    conversion.Inputs.push_back({SubtitledClip(), TInputOptions{}});
    conversion.OutputFile = output;
    conversion.Output.VideoCodec = "mpeg4";
    conversion.Output.SubtitleCodec = subtitleCodec;
    return conversion;
}

// Cases are named after their output file ("ass.mkv" -> ass_mkv).
template <class TCase> std::string CaseName(const ::testing::TestParamInfo<TCase>& info)
{
    return QString(info.param.OutputName).replace('.', '_').toStdString();
}

void ExpectSucceeded(const TConversionResult& result)
{
    EXPECT_FALSE(result.Exception) << result.ExceptionMsg.toStdString() << "\n"
                                   << result.LogLines.join("\n").toStdString();
    EXPECT_TRUE(result.Finished);
}

struct TEncodedCase
{
    const char* OutputName;
    const char* SubtitleCodec; // "" = the container's own choice
    const char* ExpectedCodec; // as ffprobe names it
};

class SubtitleEncoding : public ::testing::TestWithParam<TEncodedCase>
{
protected:
    TTemporaryFolder Folder;
};

TEST_P(SubtitleEncoding, KeepsEveryCueWithItsTimesAndText)
{
    const TEncodedCase& param = GetParam();
    const TConversion c = SubtitledConversion(Folder.FilePath(param.OutputName), param.SubtitleCodec);
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(SubtitleCodecOf(c.OutputFile), param.ExpectedCodec);
    EXPECT_EQ(CuesOf(c.OutputFile), SourceCues);
    EXPECT_EQ(StreamFacts(c.OutputFile, "video").value("codec_name").toString(), "mpeg4");
}

INSTANTIATE_TEST_SUITE_P(TextSubtitles, SubtitleEncoding,
                         ::testing::Values(TEncodedCase{"ass.mkv", "ass", "ass"},
                                           TEncodedCase{"mov_text.mp4", "mov_text", "mov_text"},
                                           TEncodedCase{"srt.mkv", "srt", "subrip"},
                                           TEncodedCase{"webvtt.mkv", "webvtt", "webvtt"},
                                           TEncodedCase{"default.mkv", "", "ass"}),
                         CaseName<TEncodedCase>);

struct TLeftOutCase
{
    const char* OutputName;
    const char* SubtitleCodec;
    bool DisableSubtitle;
};

class SubtitleLeftOut : public ::testing::TestWithParam<TLeftOutCase>
{
protected:
    TTemporaryFolder Folder;
};

TEST_P(SubtitleLeftOut, OutputHasNoSubtitleStream)
{
    const TLeftOutCase& param = GetParam();
    TConversion c = SubtitledConversion(Folder.FilePath(param.OutputName), param.SubtitleCodec);
    c.Output.DisableSubtitle = param.DisableSubtitle;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_TRUE(StreamFacts(c.OutputFile, "subtitle").isEmpty());
    EXPECT_EQ(StreamFacts(c.OutputFile, "video").value("codec_name").toString(), "mpeg4");
}

// "sn" wins over a codec asked for; MP4 has no subtitle codec of its own to ask for one.
INSTANTIATE_TEST_SUITE_P(TextSubtitles, SubtitleLeftOut,
                         ::testing::Values(TLeftOutCase{"sn.mkv", "ass", true},
                                           TLeftOutCase{"sn_copy.mkv", "copy", true},
                                           TLeftOutCase{"unasked.mp4", "", false}),
                         CaseName<TLeftOutCase>);

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int value : values)
        bytes.append(char(value & 0xff));
    return bytes;
}

// A DVD subtitle unit: lines 10..13 from x 10 to 25 in colour 1, shown at
// once and hidden after `delay` units of 1024/90000 s.
QByteArray SubpictureUnit(int delay)
{
    return QByteArray::fromHex("002a000c"         // unit size, control offset
                               "0001000100010001" // two lines per field: colour 1 to the line's end
                               "00000024"         // at once; the next control at 36
                               "033210"           // palette
                               "04fff0"           // opacity (colour 0 clear)
                               "0500a01900a00d"   // x 10..25, y 10..13
                               "0600040008"       // field data offsets
                               "01ff") +          // show
           Bytes({delay >> 8, delay}) +
           QByteArray::fromHex("002402ff"); // later: hide
}

// A program-stream pack carrying one subtitle unit at `pts` (90 kHz).
QByteArray SubtitlePack(int64_t pts, const QByteArray& unit)
{
    const QByteArray payload =
        QByteArray::fromHex("818005") +
        Bytes({int(0x21 | ((pts >> 29) & 0x0e)), int(pts >> 22), int(((pts >> 14) & 0xfe) | 1), int(pts >> 7),
               int(((pts << 1) & 0xfe) | 1)}) +
        QByteArray::fromHex("20") + unit;
    return QByteArray::fromHex("000001ba4400040004010189c3f8000001bd") +
           Bytes({int(payload.size() >> 8), int(payload.size())}) + payload;
}

// Matroska: 2 s of video with two DVD subtitles, 0.5 s for 500 ms and 1.2 s for 603 ms.
QString BitmapSubtitledClip()
{
    const QString units = WrittenSource("bitmap-subtitles.vob", SubtitlePack(45000, SubpictureUnit(44)) +
                                                                    SubtitlePack(108000, SubpictureUnit(53)) +
                                                                    QByteArray::fromHex("000001b9"));
    return GeneratedSource("bitmap_subtitled.mkv",
                           {"-copyts", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25:duration=2", "-i",
                            units, "-c:v", "mpeg4", "-c:s", "copy"});
}

// ffprobe's JSON for the first subtitle stream with the given section ("-show_packets", "-show_frames").
QJsonArray SubtitleEntries(const QString& path, const QString& section, const QString& key)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-select_streams", "s:0", section, "-of", "json", path});
    ffprobe.waitForFinished(60000);
    return QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object().value(key).toArray();
}

struct TSubtitlePacket
{
    double Time = 0;
    double Duration = 0;
};

// ffprobe's packets of the first subtitle stream.
std::vector<TSubtitlePacket> SubtitlePackets(const QString& path)
{
    std::vector<TSubtitlePacket> packets;
    for (const QJsonValue& value : SubtitleEntries(path, "-show_packets", "packets"))
        packets.push_back({value.toObject().value("pts_time").toString().toDouble(),
                           value.toObject().value("duration_time").toString().toDouble()});
    return packets;
}

// The rectangle count of each subtitle ffprobe decodes from the first subtitle stream.
std::vector<int> DecodedRectangleCounts(const QString& path)
{
    std::vector<int> counts;
    for (const QJsonValue& value : SubtitleEntries(path, "-show_frames", "frames"))
        counts.push_back(value.toObject().value("num_rects").toInt());
    return counts;
}

class SubtitleConversion : public ::testing::Test
{
protected:
    TTemporaryFolder Folder;
};

TEST_F(SubtitleConversion, CopyKeepsTheSourceStream)
{
    const TConversion c = SubtitledConversion(Folder.FilePath("copied.mkv"), "copy");
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(SubtitleCodecOf(c.OutputFile), "subrip");
    EXPECT_EQ(CuesOf(c.OutputFile), SourceCues);
}

// Subtitles are sparse: the time reached is the picture's, not the last cue's end (1.8 s).
TEST_F(SubtitleConversion, ProgressFollowsThePictureNotTheLastCue)
{
    const TConversion c = SubtitledConversion(Folder.FilePath("progress.mkv"), "ass");
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    ASSERT_FALSE(result.Progress.empty());
    EXPECT_EQ(result.Progress.back().FileIndex, -1);
    EXPECT_NEAR(result.Progress.back().CurrentDuration, 2000000, 40000);
}

// The picture starts at the output's start time, and so do the cues after it;
// one that began before it is left out.
TEST_F(SubtitleConversion, OutputStartTimeMovesTheCuesWithThePicture)
{
    TConversion c = SubtitledConversion(Folder.FilePath("from_one_second.mkv"), "ass");
    c.Output.StartTime = 1000000;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(CuesOf(c.OutputFile), (TCues{"00:00:00,200 --> 00:00:00,800 Second line"}));
}

// The encoder is opened again for the second input and needs its styles once more.
TEST_F(SubtitleConversion, JoinedInputsKeepTheirCuesInSequence)
{
    TConversion c = SubtitledConversion(Folder.FilePath("joined.mp4"), "mov_text");
    c.Inputs.push_back({SubtitledClip(), TInputOptions{}});
    c.Output.JoinInputs = true;
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(SubtitleCodecOf(c.OutputFile), "mov_text");
    EXPECT_EQ(CuesOf(c.OutputFile),
              (TCues{SourceCues[0], SourceCues[1], "00:00:02,500 --> 00:00:03,000 First line",
                     "00:00:03,200 --> 00:00:03,800 Second line"}));
}

TEST_F(SubtitleConversion, BitmapToDvdSubtitlesKeepsEachTimeAndDuration)
{
    TConversion c = SubtitledConversion(Folder.FilePath("dvd.mkv"), "dvdsub");
    c.Inputs[0].FileName = BitmapSubtitledClip();
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(SubtitleCodecOf(c.OutputFile), "dvd_subtitle");
    const std::vector<TSubtitlePacket> packets = SubtitlePackets(c.OutputFile);
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_NEAR(packets[0].Time, 0.5, 0.001);
    EXPECT_NEAR(packets[0].Duration, 0.5, 0.001);
    EXPECT_NEAR(packets[1].Time, 1.2, 0.001);
    EXPECT_NEAR(packets[1].Duration, 0.603, 0.001);
    EXPECT_EQ(DecodedRectangleCounts(c.OutputFile), (std::vector<int>{1, 1}));
}

// DVB subtitles stay until replaced: each is followed by an empty one at its end.
TEST_F(SubtitleConversion, BitmapToDvbSubtitlesIsShownAndThenCleared)
{
    TConversion c = SubtitledConversion(Folder.FilePath("dvb.ts"), "dvbsub");
    c.Inputs[0].FileName = BitmapSubtitledClip();
    const TConversionResult result = RunConversion(c);
    ExpectSucceeded(result);

    EXPECT_EQ(SubtitleCodecOf(c.OutputFile), "dvb_subtitle");
    EXPECT_EQ(DecodedRectangleCounts(c.OutputFile), (std::vector<int>{1, 0, 1, 0}));
    const std::vector<TSubtitlePacket> packets = SubtitlePackets(c.OutputFile);
    ASSERT_EQ(packets.size(), 4u);
    // Transport streams start their clock where they like: times relative to the first.
    EXPECT_NEAR(packets[1].Time - packets[0].Time, 0.5, 0.001);
    EXPECT_NEAR(packets[2].Time - packets[0].Time, 0.7, 0.001);
    EXPECT_NEAR(packets[3].Time - packets[2].Time, 0.603, 0.001);
}

struct TRefusedCase
{
    const char* OutputName;
    bool BitmapSource;
    const char* SubtitleCodec;
    const char* Message;
};

class SubtitleKindMismatch : public ::testing::TestWithParam<TRefusedCase>
{
protected:
    TTemporaryFolder Folder;
};

TEST_P(SubtitleKindMismatch, IsRefusedWithAClearMessageAndLeavesNoFile)
{
    const TRefusedCase& param = GetParam();
    TConversion c = SubtitledConversion(Folder.FilePath(param.OutputName), param.SubtitleCodec);
    if (param.BitmapSource)
        c.Inputs[0].FileName = BitmapSubtitledClip();
    const TConversionResult result = RunConversion(c);

    EXPECT_TRUE(result.Exception);
    EXPECT_FALSE(result.Finished);
    EXPECT_TRUE(result.ExceptionMsg.contains(param.Message)) << result.ExceptionMsg.toStdString();
    EXPECT_FALSE(QFileInfo::exists(c.OutputFile));
}

INSTANTIATE_TEST_SUITE_P(
    Subtitles, SubtitleKindMismatch,
    ::testing::Values(
        TRefusedCase{"text_to_bitmap.mkv", false, "dvdsub",
                     "Cannot encode the text subtitles of input stream #0.1 as bitmap subtitles "
                     "(dvdsub) for output stream #0.1"},
        TRefusedCase{"bitmap_to_text.mkv", true, "ass",
                     "Cannot encode the bitmap subtitles of input stream #0.1 as text subtitles "
                     "(ass) for output stream #0.1"}),
    CaseName<TRefusedCase>);

} // namespace
