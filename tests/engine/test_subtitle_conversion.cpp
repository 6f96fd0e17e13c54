// Conversions of a text subtitle stream: re-encoded into the subtitle codecs
// of Matroska and MP4, left out, copied, carried through a join, and refused
// clearly where text cannot become the requested kind. The cues are read
// back with the ffmpeg program as SubRip text, so codec, count, start and
// end times and text are all checked independently of the engine.

#include "LoopTesting.h"

#include "support/TemporaryFolder.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

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

TEST_F(SubtitleConversion, TextToABitmapCodecIsRefusedWithAClearMessage)
{
    const TConversion c = SubtitledConversion(Folder.FilePath("bitmap.mkv"), "dvdsub");
    const TConversionResult result = RunConversion(c);

    EXPECT_TRUE(result.Exception);
    EXPECT_FALSE(result.Finished);
    EXPECT_TRUE(result.ExceptionMsg.contains("Cannot encode the text subtitles of input stream #0.1 as "
                                             "bitmap subtitles (dvdsub) for output stream "
                                             "#0.1"))
        << result.ExceptionMsg.toStdString();
    EXPECT_FALSE(QFileInfo::exists(c.OutputFile)); // nothing was written
}

} // namespace
