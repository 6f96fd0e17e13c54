// The option dispatcher and the typed setters, through SetOption.

#include "OptionTesting.h"

#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class OptionParser : public ::testing::Test
{
protected:
    void SetUp() override { Task = NewTask(); }

    void Set(const QString& name, const QString& value) { Task->SetOption(name, value); }
    QString Failure(const QString& name, const QString& value)
    {
        return ThrownMessage([&] { Task->SetOption(name, value); });
    }
    void OpenInput(TTestMedia media)
    {
        ASSERT_TRUE(Task->OpenInputFile(TestMediaPath(media))) << Task->LastErrMsg().toStdString();
    }
    const TOptionState& O() const { return Task->Opts(); }

    std::unique_ptr<TFFmpeg> Task;
};

const QString LowBitRate =
    QStringLiteral("WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");

TEST_F(OptionParser, BitRatesAreStoredAndWarnedAboutWhenBelow1000)
{
    struct TCase
    {
        const char* Name;
        const char* Value;
        int MediaType;
        qint64 Stored;
        bool Warned;
    };
    const TCase cases[] = {
        {"b", "500", AVMEDIA_TYPE_VIDEO, 500, true},  {"b", "500000", AVMEDIA_TYPE_VIDEO, 500000, false},
        {"vb", "999", AVMEDIA_TYPE_VIDEO, 999, true}, {"vb", "1000", AVMEDIA_TYPE_VIDEO, 1000, false},
        {"ab", "128", AVMEDIA_TYPE_AUDIO, 128, true}, {"ab", "128000", AVMEDIA_TYPE_AUDIO, 128000, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Name) + "=" + c.Value);
        TLogCapture log;
        Set(c.Name, c.Value);
        EXPECT_EQ(StoredCodecOption(*Task, c.MediaType, "b"), c.Stored);
        EXPECT_EQ(log.Contains(llWarning, LowBitRate), c.Warned);
    }
}

TEST_F(OptionParser, CropBandsShrinkTheInputFrameAndRefuseWhatDoesNotFit)
{
    OpenInput(TTestMedia::VideoAudioMp4); // 320x240
    {
        TLogCapture log;
        Set("croptop", "100");
        EXPECT_EQ(O().TopBand, 100);
        EXPECT_EQ(O().FrameHeight, 140);
        EXPECT_TRUE(log.Contains(llWarning, "CropTop is deprecated in favor of the crop avfilter"));
    }
    // 140 left: a band of 140 no longer fits; nothing changes.
    EXPECT_EQ(Failure("cropbottom", "140"),
              "Vertical crop dimensions are outside the range of the original image.\n"
              "Remember to crop first and scale second.");
    EXPECT_EQ(O().BottomBand, 0);
    EXPECT_EQ(O().FrameHeight, 140);

    Set("cropleft", "20");
    Set("cropright", "0"); // ignored
    EXPECT_EQ(O().FrameWidth, 300);
    EXPECT_EQ(O().RightBand, 0);
    EXPECT_EQ(Failure("cropright", "300"),
              "Horizontal crop dimensions are outside the range of the original image.\n"
              "Remember to crop first and scale second.");
    EXPECT_FALSE(Failure("croptop", "x").isEmpty()); // not a number
}

TEST_F(OptionParser, CropOfTheFullHeightOfAnInputIsRefused)
{
    OpenInput(TTestMedia::VideoAudioMp4);
    EXPECT_EQ(Failure("croptop", "240"),
              "Vertical crop dimensions are outside the range of the original image.\n"
              "Remember to crop first and scale second.");
    EXPECT_EQ(O().FrameHeight, 240);
}

TEST_F(OptionParser, AspectRatios)
{
    Set("aspect", "16:9");
    EXPECT_FLOAT_EQ(O().FrameAspectRatio, 1.7777778f);
    Set("aspect", "1.5");
    EXPECT_FLOAT_EQ(O().FrameAspectRatio, 1.5f);
    for (const char* bad : {"4:0", "0:3", "x:y", "wide", "0"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Failure("aspect", bad), "Incorrect aspect ratio specification.");
        EXPECT_FLOAT_EQ(O().FrameAspectRatio, 1.5f);
    }
}

TEST_F(OptionParser, FlagValuesAreTrueUnlessExactlyZero)
{
    const std::pair<const char*, bool> values[] = {
        {"", true}, {"0", false}, {"1", true}, {"no", true}, {" 0", true}};
    for (const auto& [value, expected] : values) {
        SCOPED_TRACE(value);
        Set("shortest", value);
        EXPECT_EQ(O().OptShortest, expected);
        Set("vn", value);
        EXPECT_EQ(O().VideoDisable, expected);
    }
    // "copyts" and "xerror" switch on whatever their value.
    Set("copyts", "0");
    Set("xerror", "0");
    EXPECT_TRUE(O().CopyTs);
    EXPECT_TRUE(O().ExitOnError);
}

TEST_F(OptionParser, ThreadsIsRefusedWithItsName)
{
    EXPECT_EQ(Failure("threads", "4"), "TODO: option - threads");
    EXPECT_EQ(Failure("threads", ""), "TODO: option - threads");
    EXPECT_EQ(O().ThreadCount, 0);
}

TEST_F(OptionParser, PadOptionsPointToThePadFilter)
{
    for (const char* name : {"padtop", "padbottom", "padleft", "padright", "padcolor"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Failure(name, "10"), "Please use vfilters=pad");
        EXPECT_EQ(Failure(name, ""), "Please use vfilters=pad");
    }
}

TEST_F(OptionParser, NumbersAndTimesAreChecked)
{
    Set("t", "00:01:02.5");
    EXPECT_EQ(O().RecordingTime, 62500000);
    EXPECT_EQ(Task->TotalDuration, 62500000);
    Set("ss", "7.25");
    EXPECT_EQ(O().StartTime, 7250000);
    EXPECT_EQ(Failure("t", "soon"), "Invalid duration specification for t: soon");
    EXPECT_EQ(Failure("itsoffset", "1:x"), "Invalid duration specification for itsoffset: 1:x");
    EXPECT_EQ(Failure("timestamp", "never"), "Invalid date specification for timestamp: never");
    Set("timestamp", "2001-02-03 04:05:06Z");
    EXPECT_EQ(O().RecTimestamp, 981173106);

    EXPECT_EQ(Failure("vframes", "ten"), "'ten' is not a valid integer value");
    Set("fs", "5000000000");
    EXPECT_EQ(O().LimitFileSize, 5000000000LL);
    Set("adrift_threshold", "0.25");
    EXPECT_FLOAT_EQ(O().AudioDriftThreshold, 0.25f);

    for (const char* bad : {"0", "-1", "255.5", "x"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Failure("qscale", bad), bad == std::string("x") ? "'x' is not a valid floating point value"
                                                                  : "qscale must be > 0.0 and <= 255");
    }
    Set("qscale", "255");
    EXPECT_FLOAT_EQ(O().VideoQScale, 255.0f);
    for (const char* bad : {"0", "3", "first", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Failure("pass", bad), "pass number can be only 1 or 2");
    }
    Set("pass", "2");
    EXPECT_EQ(O().DoPass, 2);
}

TEST_F(OptionParser, FrameSizeRateAndPixelFormat)
{
    Set("s", "hd720");
    EXPECT_EQ(O().FrameWidth, 1280);
    EXPECT_EQ(O().FrameHeight, 720);
    Set("s", "");
    EXPECT_EQ(O().FrameWidth, 1280);
    EXPECT_EQ(Failure("s", "big"), "Incorrect frame size");
    Set("r", "ntsc");
    EXPECT_EQ(O().FrameRate.num, 30000);
    EXPECT_EQ(O().FrameRate.den, 1001);
    EXPECT_EQ(Failure("r", "fast"), "Incorrect frame rate");

    Set("pix_fmt", "yuv422p");
    EXPECT_EQ(O().FramePixFmt, AV_PIX_FMT_YUV422P);
    EXPECT_EQ(Failure("pix_fmt", "rainbow"), "Unknown pixel format requested: rainbow");
    Set("sample_fmt", "s16");
    EXPECT_EQ(O().AudioSampleFmt, AV_SAMPLE_FMT_S16);
    Set("sample_fmt", "rainbow");
    EXPECT_EQ(O().AudioSampleFmt, AV_SAMPLE_FMT_NONE);
}

TEST_F(OptionParser, FormatListsAreLoggedLineByLine)
{
    TLogCapture log;
    Set("pix_fmt", "list");
    Set("sample_fmt", "list");
    const QStringList lines = log.Lines(llInfo);
    ASSERT_EQ(lines.size(), 68 + 6);
    EXPECT_TRUE(lines[0].startsWith("name")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("yuv420p")) << lines[1].toStdString();
    EXPECT_TRUE(lines[68].startsWith("name")) << lines[68].toStdString();
    EXPECT_TRUE(lines[69].startsWith("u8")) << lines[69].toStdString();
    EXPECT_EQ(O().FramePixFmt, AV_PIX_FMT_NONE);
}

TEST_F(OptionParser, QuantiserMatrices)
{
    QStringList numbers;
    for (int n = 1; n <= 64; ++n)
        numbers << QString::number(n);
    Set("intra_matrix", numbers.join(','));
    ASSERT_TRUE(O().IntraMatrix.has_value());
    for (int n = 0; n < 64; ++n)
        EXPECT_EQ((*O().IntraMatrix)[n], n + 1);

    const QString ten = numbers.mid(0, 10).join(',');
    EXPECT_EQ(Failure("inter_matrix", ten), QString("Syntax error in matrix \"%1\" at coeff 9").arg(ten));
    // The matrix stays as far as it was read.
    ASSERT_TRUE(O().InterMatrix.has_value());
    EXPECT_EQ((*O().InterMatrix)[9], 10);
    EXPECT_EQ((*O().InterMatrix)[10], 0);
}

TEST_F(OptionParser, InputTimeScales)
{
    EXPECT_EQ(Failure("itsscale", "25:2"), "stream index over MAX_STREAMS(20)");
    EXPECT_EQ(Failure("itsscale", "-1:2"), "stream index over MAX_STREAMS(20)");
    Set("itsscale", "1:0.5");
    EXPECT_DOUBLE_EQ(Task->Files.InputTsScales[0][1], 0.5);
    OpenInput(TTestMedia::AudioWav);
    Set("itsscale", "0x2:1.25"); // the index is read as C reads it
    EXPECT_DOUBLE_EQ(Task->Files.InputTsScales[1][2], 1.25);
    EXPECT_DOUBLE_EQ(Task->Files.InputTsScales[0][1], 0.5);
}

TEST_F(OptionParser, Metadata)
{
    EXPECT_EQ(Failure("metadata", "title"), "Missing =");
    EXPECT_TRUE(O().Metadata.empty());
    Set("metadata", "title=a=b");
    Set("metadata", "comment=");
    ASSERT_EQ(O().Metadata.size(), 2u);
    EXPECT_EQ(O().Metadata[0].first, "title");
    EXPECT_EQ(O().Metadata[0].second, "a=b");
    EXPECT_EQ(O().Metadata[1].first, "comment");
    EXPECT_EQ(O().Metadata[1].second, "");
}

TEST_F(OptionParser, StreamMapsMetadataMapsAndStreamIds)
{
    Set("map", "0.1");
    Set("map", "1:0:0:2");
    ASSERT_EQ(O().StreamMaps.size(), 2u);
    EXPECT_EQ(O().StreamMaps[0].FileIndex, 0);
    EXPECT_EQ(O().StreamMaps[0].StreamIndex, 1);
    EXPECT_EQ(O().StreamMaps[0].SyncFileIndex, 0);
    EXPECT_EQ(O().StreamMaps[0].SyncStreamIndex, 1);
    EXPECT_EQ(O().StreamMaps[1].FileIndex, 1);
    EXPECT_EQ(O().StreamMaps[1].SyncStreamIndex, 2);
    for (int n = 2; n < MaxStreamMaps; ++n)
        Set("map", "0:0");
    EXPECT_EQ(Failure("map", "0:1"), "Too many stream maps (at most 400): 0:1");
    EXPECT_EQ(O().StreamMaps.size(), 400u);

    Set("map_meta_data", "1:0");
    EXPECT_EQ(O().MetadataMaps[0].OutputFile, 1);
    EXPECT_EQ(O().MetadataMaps[0].InputFile, 0);
    for (int n = 1; n < MaxMetadataMaps; ++n)
        Set("map_meta_data", "0:0");
    EXPECT_EQ(Failure("map_meta_data", "0:0"), "Too many metadata maps (at most 20): 0:0");

    Set("streamid", "3:7");
    EXPECT_EQ(O().StreamIdMap[3], 7);
    for (const char* bad : {"3", "3:", ":7"})
        EXPECT_EQ(Failure("streamid", bad),
                  QString("Invalid value \"%1\" for option \"streamid\", required syntax is \"index:value\"")
                      .arg(bad));
    EXPECT_EQ(Failure("streamid", "20:1"),
              "Invalid stream index 20 for option \"streamid\": it must be from 0 to 19");
    EXPECT_EQ(Failure("streamid", "-1:1"),
              "Invalid stream index -1 for option \"streamid\": it must be from 0 to 19");
}

TEST_F(OptionParser, CodecNamesCopyAndTags)
{
    Set("vcodec", "libx264");
    Set("vcodec", "copy");
    EXPECT_TRUE(O().VideoStreamCopy);
    EXPECT_TRUE(O().VideoCodecName.isEmpty());
    Set("acodec", "libfaac"); // kept as given; the encoder look-up maps the old name
    EXPECT_EQ(O().AudioCodecName, "libfaac");
    Set("acodec", "");
    EXPECT_EQ(O().AudioCodecName, "libfaac");

    Set("vtag", "XVID");
    EXPECT_EQ(O().VideoCodecTag, 0x44495658u);
    EXPECT_EQ(Failure("vtag", "XVI"), "video tag parameter must be 4 chars");
    EXPECT_EQ(Failure("atag", "mp4a1"), "audio tag parameter must be 4 chars");
    EXPECT_EQ(Failure("stag", "x"), "subtitle tag parameter must be 4 chars");
    EXPECT_EQ(O().VideoCodecTag, 0x44495658u);
}

TEST_F(OptionParser, BitStreamFilters)
{
    Set("vbsf", "h264_mp4toannexb");
    Set("vbsf", "=ignored");
    Set("absf", "");
    Set("absf", "aac_adtstoasc");
    EXPECT_EQ(O().VideoBsfs.size(), 1u);
    EXPECT_EQ(O().AudioBsfs.size(), 1u);
    EXPECT_STREQ(O().VideoBsfs[0]->filter->name, "h264_mp4toannexb");
    EXPECT_EQ(Failure("sbsf", " nosuch "), "Unknown bitstream filter nosuch");
    EXPECT_EQ(Failure("vbsf", "nosuch=1"), "Unknown bitstream filter nosuch=1");
    EXPECT_TRUE(O().SubtitleBsfs.empty());
    // The text after "=" sets the filter's own options.
    Set("vbsf", "noise=amount=2");
    EXPECT_EQ(O().VideoBsfs.size(), 2u);
    EXPECT_EQ(Failure("vbsf", "noise=loudness=3"),
              "Invalid arguments \"loudness=3\" for bitstream filter noise");
}

TEST_F(OptionParser, InformationalOptionsOnlyLog)
{
    TLogCapture log;
    for (const char* name :
         {"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters", "i", "y", "benchmark"})
        Set(name, "x");
    Set("timelimit", "10");
    const QStringList info = log.Lines(llInfo);
    EXPECT_TRUE(info.contains("Do nothing: option - version"));
    EXPECT_TRUE(info.contains("Do nothing: option - y"));
    EXPECT_EQ(info.filter("Do nothing: option - ").size(), 11);
    EXPECT_TRUE(log.Contains(llWarning, "Warning: -timelimit not implemented on Windows"));
}

TEST_F(OptionParser, FormatNamesAndPgmyuv)
{
    Set("f", "ipod");
    EXPECT_EQ(O().FormatName, "ipod");
    Set("f", "");
    EXPECT_EQ(O().FormatName, "ipod");
    TLogCapture log;
    Set("f", "pgmyuv");
    EXPECT_EQ(O().FormatName, "image2");
    EXPECT_TRUE(O().PgmyuvCompatibility);
    EXPECT_TRUE(log.Contains(llInfo, "pgmyuv format is deprecated, use image2"));
}

TEST_F(OptionParser, AddingStreamsNeedsAnOutput)
{
    for (const char* name : {"newvideo", "newaudio", "newsubtitle"})
        EXPECT_EQ(Failure(name, ""), "At least one output file must be specified");
}

TEST_F(OptionParser, UnknownNamesGoToTheGenericStoreQuietly)
{
    EXPECT_TRUE(Failure("no_such_option", "1").isEmpty());
    Set("g", "12");
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "g"), 12);
    EXPECT_FALSE(Task->SetGenericOption("no_such_option", "1"));
    EXPECT_FALSE(Task->SetGenericOption("g", "twelve"));
    EXPECT_FALSE(Task->SetGenericOption("g", ""));
}

TEST_F(OptionParser, ClearOptionsRestoresTheDefaults)
{
    Set("vn", "1");
    Set("ar", "22050");
    Set("s", "vga");
    Set("map", "0:0");
    Set("vcodec", "copy");
    Set("coder", "0");
    Task->Counters.DupCount = 3;
    Task->ClearOptions();
    EXPECT_FALSE(O().VideoDisable);
    EXPECT_EQ(O().AudioSampleRate, 44100);
    EXPECT_EQ(O().FrameWidth, 0);
    EXPECT_TRUE(O().StreamMaps.empty());
    EXPECT_FALSE(O().VideoStreamCopy);
    EXPECT_TRUE(O().VideoPrivateOptions.empty());
    EXPECT_EQ(Task->Counters.DupCount, 0);
}

// ---- target presets

TEST_F(OptionParser, TargetWithAnExplicitNormNeedsNoDetection)
{
    TLogCapture log;
    Set("target", "pal-dvd");
    EXPECT_EQ(O().FrameWidth, 720);
    EXPECT_EQ(O().FrameHeight, 576);
    EXPECT_EQ(O().FrameRate.num, 25);
    EXPECT_EQ(O().FrameRate.den, 1);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "g"), 15);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "b"), 6000000);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_AUDIO, "b"), 448000);
    EXPECT_EQ(O().AudioSampleRate, 48000);
    EXPECT_EQ(O().VideoCodecName, "mpeg2video");
    EXPECT_EQ(O().AudioCodecName, "ac3");
    EXPECT_EQ(O().FormatName, "dvd");
    EXPECT_FLOAT_EQ(O().FrameAspectRatio, 16.0f / 9.0f);
    EXPECT_TRUE(log.Contains(llInfo, "Assuming 16:9 for aspect ratio"));
    EXPECT_FALSE(log.Mentions(llVerbose, "for target."));
    // The mux rate is the DVD muxer's own option now.
    EXPECT_EQ(PrivateOption(O().MuxerPrivateOptions, "muxrate"), "10080000");
}

TEST_F(OptionParser, TargetWithoutNormFollowsTheOpenedInput)
{
    OpenInput(TTestMedia::Clip2997Fps);
    TLogCapture log;
    Set("target", "dvd");
    EXPECT_TRUE(log.Contains(llVerbose, "Assuming NTSC for target."));
    EXPECT_EQ(O().FrameWidth, 720);
    EXPECT_EQ(O().FrameHeight, 480);
    EXPECT_EQ(O().FrameRate.num, 30000);
    EXPECT_EQ(O().FrameRate.den, 1001);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "g"), 18);
    // The input gave its aspect, so none is assumed.
    EXPECT_FALSE(log.Mentions(llInfo, "for aspect ratio"));
}

TEST_F(OptionParser, TargetKindsAndFailures)
{
    EXPECT_EQ(Failure("target", "dvd"), "frame_rate is invalid."); // nothing opened, no rate given
    EXPECT_EQ(Failure("target", "pal-cdi"), "Unknown target type");

    Set("ac", "1");
    Set("target", "ntsc-svcd");
    EXPECT_EQ(O().FrameWidth, 480);
    EXPECT_EQ(O().FrameHeight, 480);
    EXPECT_EQ(O().AudioChannels, 2);
    EXPECT_EQ(PrivateOption(O().VideoPrivateOptions, "scan_offset"), "1");

    Set("r", "25");
    Set("target", "vcd");
    EXPECT_EQ(O().FrameHeight, 288);
    EXPECT_FLOAT_EQ(O().MuxPreload, 0.44f);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "minrate"), 1150000);

    Set("target", "film-dv50");
    EXPECT_EQ(O().FramePixFmt, AV_PIX_FMT_YUV422P);
    Set("target", "ntsc-dv");
    EXPECT_EQ(O().FramePixFmt, AV_PIX_FMT_YUV411P);
    EXPECT_EQ(O().FormatName, "dv");
}

// ---- presets

TEST_F(OptionParser, DevicePresetByShortNameAfterTheCodec)
{
    Set("vcodec", "libx264");
    Set("vpre", "ipod");
    const auto& p = O().VideoPrivateOptions;
    EXPECT_EQ(PrivateOption(p, "coder"), "0");
    EXPECT_EQ(PrivateOption(p, "partitions"), "p8x8,i8x8,i4x4");
    EXPECT_EQ(PrivateOption(p, "motion-est"), "umh");
    EXPECT_EQ(PrivateOption(p, "direct-pred"), "1");
    EXPECT_EQ(PrivateOption(p, "b_strategy"), "1");
    EXPECT_EQ(PrivateOption(p, "sc_threshold"), "40");
    // What the older generation left at its defaults stays so: an iPod plays no B-frames and no 8x8
    // transform.
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "bf"), 0);
    EXPECT_EQ(PrivateOption(p, "8x8dct"), "0");
    EXPECT_EQ(PrivateOption(p, "weightb"), "0");
    EXPECT_EQ(PrivateOption(p, "weightp"), "0");
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "b"), 1000000);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "maxrate"), 1250000);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "level"), 30);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "refs"), 1);
}

TEST_F(OptionParser, EveryBuiltInPresetApplies)
{
    for (const char* name :
         {"libx264-baseline", "libx264-main", "libx264-ipod320", "libx264-ipod640", "libx264-psp",
          "libx264-ps3", "libx264-mp4", "libx264-ultrafast", "libx264-placebo_firstpass",
          "libx264-lossless_max", "libx264-default", "libx264-hq"}) {
        SCOPED_TRACE(name);
        TLogCapture log;
        Task->Reset();
        EXPECT_TRUE(ThrownMessage([&] { Set("vpre", name); }).isEmpty());
        EXPECT_TRUE(log.Lines(llError).isEmpty()) << log.Lines(llError).join('\n').toStdString();
        EXPECT_TRUE(log.Lines(llWarning).isEmpty()) << log.Lines(llWarning).join('\n').toStdString();
    }
    Task->Reset();
    Set("vpre", "LIBX264-ULTRAFAST"); // names compare without case
    EXPECT_EQ(PrivateOption(O().VideoPrivateOptions, "x264-params"), "no-deblock=1");
    Task->Reset();
    Set("vpre", "libx264-lossless_medium");
    EXPECT_EQ(PrivateOption(O().VideoPrivateOptions, "qp"), "0");
}

TEST_F(OptionParser, SettingsGivenBeforeAPresetKeepWhatThePresetLeavesUnsaid)
{
    Set("bf", "2");
    Set("vpre", "libx264-ipod"); // has no "bf" line
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "bf"), 2);
}

TEST_F(OptionParser, UnknownPresets)
{
    EXPECT_EQ(Failure("vpre", "nosuch"), "Preset \"nosuch\" not found");
    Set("vcodec", "libx264");
    EXPECT_EQ(Failure("vpre", "nosuch"), "Preset \"nosuch\" not found");
    // "fpre" names a file only.
    EXPECT_EQ(Failure("fpre", "libx264-ipod"), "Preset \"libx264-ipod\" not found");
    Set("vpre", "");
}

TEST_F(OptionParser, PresetFiles)
{
    TTemporaryFolder folder;
    const QString path = folder.FilePath("mine.preset");
    const auto write = [&](const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };

    write("  g = 48 \r\n\r\nACODEC=mp2\rqmin=3\n");
    Set("fpre", path);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "g"), 48);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "qmin"), 3);
    EXPECT_EQ(O().AudioCodecName, "mp2");

    // A bare word stops the preset there; the lines before it stay applied.
    write("g=30\nfast\nqmin=9\n");
    EXPECT_EQ(Failure("vpre", path), QString("%1: Invalid syntax: \"fast\"").arg(path));
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "g"), 30);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "qmin"), 3);

    write("b=\n");
    EXPECT_EQ(Failure("apre", path), QString("%1: Invalid syntax: \"b=\"").arg(path));
    write("=5\n");
    EXPECT_EQ(Failure("apre", path), QString("%1: Invalid syntax: \"=5\"").arg(path));
    write("no_such_option=5\n");
    EXPECT_EQ(
        Failure("spre", path),
        QString("%1: Invalid option or argument: \"no_such_option=5\", parsed as \"no_such_option\" = \"5\"")
            .arg(path));
    write("g=many\n");
    EXPECT_EQ(Failure("fpre", path),
              QString("%1: Invalid option or argument: \"g=many\", parsed as \"g\" = \"many\"").arg(path));
    write("");
    EXPECT_TRUE(Failure("fpre", path).isEmpty());
}

} // namespace
