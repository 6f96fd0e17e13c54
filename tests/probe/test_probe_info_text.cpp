// The probe's description of a file, compared line by line. In stream lines
// "{*}" stands for the library's own codec description, which is not ours.
#include "ProbeTesting.h"

#include "media/FormatIO.h"
#include "media/UnicodeProtocol.h"
#include "probe/ProbeInfoText.h"
#include "support/TestMedia.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

QStringList InfoLines(TAVProbe& probe)
{
    const QString text = probe.InfoText();
    EXPECT_TRUE(text.endsWith("\r\n"));
    QStringList lines = text.split("\r\n");
    lines.removeLast(); // after the final line end
    for (const QString& line : lines)
        EXPECT_FALSE(line.contains('\n') || line.contains('\r')) << line.toStdString();
    return lines;
}

bool LineMatches(const QString& actual, const QString& pattern)
{
    QString expression;
    const QStringList fixed = pattern.split("{*}");
    for (qsizetype i = 0; i < fixed.size(); ++i)
        expression += (i ? ".*" : "") + QRegularExpression::escape(fixed[i]);
    return QRegularExpression(QRegularExpression::anchoredPattern(expression)).match(actual).hasMatch();
}

void ExpectLines(const QStringList& actual, const QStringList& expected)
{
    for (qsizetype i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        const QString a = i < actual.size() ? actual[i] : "<missing>";
        const QString e = i < expected.size() ? expected[i] : "<none>";
        EXPECT_TRUE(LineMatches(a, e))
            << "line " << i << "\n  actual:   " << a.toStdString() << "\n  expected: " << e.toStdString();
    }
}

} // namespace

TEST_F(ProbeTest, InfoTextOfAWavFile)
{
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    ASSERT_TRUE(Probe.Open(path));
    // No start time in WAV, so no StartTime lines; no tags.
    ExpectLines(InfoLines(Probe),
                {
                    "File Name: " + path,
                    "Format Name: wav",
                    "Format Long Name: WAV / WAVE (Waveform Audio)",
                    "File Size: 86.18 KB",
                    "Duration: 00:00:02.000",
                    "Bit Rate: 352 kb/s",
                    "Stream #0, 1/22050: Audio: pcm_s16le{*}22050 Hz{*}, Duration: 00:00:02.000",
                });
}

TEST_F(ProbeTest, InfoTextListsProgramsWithTheirStreamsThenTheRest)
{
    const QString path = TestMediaPath(TTestMedia::MultiProgramTs);
    ASSERT_TRUE(Probe.Open(path));
    // The video stream belongs to both programs and is listed under each. The
    // demuxer names its program tags service_name/service_provider, so the
    // program line's provider@name come from the service tags.
    const QString video = "Stream #0[0x100], 1/90000: Video: mpeg2video{*}, 25 fps, 25 tbr, 90k tbn, "
                          "StartTime: 1.440000, Duration: 00:00:02.000";
    ExpectLines(InfoLines(Probe), {
                                      "File Name: " + path,
                                      "Format Name: mpegts",
                                      "Format Long Name: MPEG-TS (MPEG-2 Transport Stream)",
                                      "File Size: 313.76 KB",
                                      "Duration: 00:00:02.011",
                                      "StartTime: 1.429089",
                                      "Bit Rate: 1277 kb/s",
                                      "Program 1 FFmpeg@First",
                                      "  Metadata:",
                                      "    service_name    : First",
                                      "    service_provider: FFmpeg",
                                      video,
                                      "Stream #1[0x101], 1/90000: Audio: mp2{*}48000 Hz{*}, StartTime: "
                                      "1.429978, Duration: 00:00:01.992",
                                      "Program 2 FFmpeg@Second",
                                      "  Metadata:",
                                      "    service_name    : Second",
                                      "    service_provider: FFmpeg",
                                      video,
                                      "Stream #2[0x102], 1/90000: Audio: mp2{*}44100 Hz{*}, StartTime: "
                                      "1.429089, Duration: 00:00:02.011",
                                  });
}

TEST_F(ProbeTest, InfoTextOfAnMp4ClipWithContainerAndStreamTags)
{
    const QString path = TestMediaPath(TTestMedia::VideoAudioMp4);
    ASSERT_TRUE(Probe.Open(path));
    // "compatible_brands" is longer than the 16-character key column.
    ExpectLines(InfoLines(Probe),
                {
                    "File Name: " + path,
                    "Format Name: mov,mp4,m4a,3gp,3g2,mj2",
                    "Format Long Name: QuickTime / MOV",
                    "File Size: 188.31 KB",
                    "Duration: 00:00:02.000",
                    "StartTime: 0.000000",
                    "Bit Rate: 771 kb/s",
                    "Metadata:",
                    "  major_brand     : isom",
                    "  minor_version   : 512",
                    "  compatible_brands: isomiso2avc1mp41",
                    "Stream #0[0x1](und), 1/12800: Video: h264{*}320x240{*}, 25 fps, 25 tbr, 12800 tbn, "
                    "StartTime: 0.000000, Duration: 00:00:02.000",
                    "  Metadata:",
                    "    handler_name    : VideoHandler",
                    "    vendor_id       : [0][0][0][0]",
                    "    encoder         : Lavc libx264",
                    "Stream #1[0x2](und), 1/48000: Audio: aac{*}48000 Hz{*}, StartTime: 0.000000, Duration: "
                    "00:00:02.000",
                    "  Metadata:",
                    "    handler_name    : SoundHandler",
                    "    vendor_id       : [0][0][0][0]",
                });
}

TEST_F(ProbeTest, InfoTextRatesOfOtherClips)
{
    const struct
    {
        TTestMedia Id;
        const char* Rates;
    } cases[] = {
        {TTestMedia::Clip2997Fps, ", 29.97 fps, 29.97 tbr, 30k tbn, "},
        {TTestMedia::Clip25Fps, ", 25 fps, 25 tbr, 25 tbn, "},
        {TTestMedia::VideoOnly, ", 25 fps, 25 tbr, 1k tbn, StartTime: 0.000000, Duration: N/A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Rates);
        ASSERT_TRUE(Probe.Open(TestMediaPath(c.Id)));
        const QStringList lines = InfoLines(Probe);
        const QStringList video = lines.filter("Video: ");
        ASSERT_EQ(video.size(), 1);
        EXPECT_TRUE(video[0].contains(c.Rates)) << video[0].toStdString();
        EXPECT_EQ(lines.filter("Audio: ").size(), TestMediaFacts(c.Id).AudioStreamCount);
    }
}

TEST_F(ProbeTest, InfoTextShowsRawTagKeysByNameAndHidesLanguage)
{
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(OpenInputFile(&raw, FileNameToURL(path), nullptr, nullptr), 0);
    InputFormatPtr context(raw);
    ASSERT_GE(avformat_find_stream_info(raw, nullptr), 0);
    av_dict_set(&raw->metadata, "TIT2", "Raw Title", 0);
    av_dict_set(&raw->metadata, "language", "ger", 0);
    av_dict_set(&raw->metadata, "TYER", "1987", 0);
    av_dict_set(&raw->metadata, "custom key", "kept as it is", 0);
    av_dict_set(&raw->metadata, "creation_time", "2010-05-01T12:00:00.000000Z", 0);
    // A stream whose only tag is its language gets no tag block, but shows the language.
    av_dict_set(&raw->streams[0]->metadata, "language", "eng", 0);
    Probe.Attach(raw);

    const QString stamp =
        QDateTime::fromSecsSinceEpoch(1272715200, Qt::LocalTime).toString("yyyy-MM-dd hh:mm:ss");
    ExpectLines(InfoLines(Probe), {
                                      "File Name: " + path,
                                      "Format Name: wav",
                                      "Format Long Name: WAV / WAVE (Waveform Audio)",
                                      "File Size: 86.18 KB",
                                      "Duration: 00:00:02.000",
                                      "Bit Rate: 352 kb/s",
                                      "Time Stamp: " + stamp,
                                      "Metadata:",
                                      "  title           : Raw Title",
                                      "  year            : 1987",
                                      "  custom key      : kept as it is",
                                      "  creation_time   : 2010-05-01T12:00:00.000000Z",
                                      "Stream #0(eng), 1/22050: Audio: pcm_s16le{*}, Duration: 00:00:02.000",
                                  });
    Probe.Close();
}

TEST(ProbeInfoText, MetadataKeyNamesTable)
{
    const struct
    {
        const char* Key;
        const char* Shown;
    } cases[] = {
        {"TALB", "album"},     {"TAL", "album"},      {"TCOM", "composer"},   {"TCON", "genre"},
        {"TCO", "genre"},      {"TCOP", "copyright"}, {"TDRL", "date"},       {"TENC", "encoder"},
        {"TEN", "encoder"},    {"TSOA", "albumsort"}, {"TSOP", "authorsort"}, {"TIT2", "title"},
        {"TT2", "title"},      {"TLAN", "language"},  {"TPE1", "artist"},     {"TP1", "artist"},
        {"TPOS", "disc"},      {"TPUB", "publisher"}, {"TRCK", "track"},      {"TRK", "track"},
        {"TSOT", "titlesort"}, {"TYER", "year"},      {"tit2", "tit2"},       {"TXXX", "TXXX"},
        {"title", "title"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShownMetadataKey(c.Key), c.Shown) << c.Key;
}

TEST(ProbeInfoText, RateAndSecondsTexts)
{
    const struct
    {
        double Value;
        const char* Text;
    } rates[] = {
        {25, ", 25 fps"},     {29.97002997, ", 29.97 fps"}, {23.976, ", 23.98 fps"}, {12800, ", 12800 fps"},
        {90000, ", 90k fps"}, {1000, ", 1k fps"},           {50.004, ", 50 fps"},    {0.5, ", 0.50 fps"},
    };
    for (const auto& r : rates)
        EXPECT_EQ(RateText(r.Value, "fps"), r.Text) << r.Value;

    EXPECT_EQ(FractionalSecondsText(1429089), "1.429089");
    EXPECT_EQ(FractionalSecondsText(0), "0.000000");
    EXPECT_EQ(FractionalSecondsText(-23220), "-0.023220");
    EXPECT_EQ(FractionalSecondsText(-3000001), "-3.000001");
}
