// The option records: reading their option texts, the defaults list of an
// output, the order in which a record becomes option calls, additional
// streams and the creation time.

#include "OptionTesting.h"

#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

TEST(OptionText, LineBreaksAndTheCrlfMarkReadAlike)
{
    const std::vector<TOptionLine> separate =
        ReadOptionLines("  vn=1\r\nAcodec=mp2\rmetadata=title=x\nbare\n\n");
    const std::vector<TOptionLine> oneLine =
        ReadOptionLines("vn=1<CRLF>Acodec=mp2<CRLF>metadata=title=x<CRLF>bare");
    const std::vector<TOptionLine> expected = {
        {"vn", "1"}, {"acodec", "mp2"}, {"metadata", "title=x"}, {"bare", ""}};
    EXPECT_EQ(separate, expected);
    EXPECT_EQ(oneLine, expected);
    EXPECT_TRUE(ReadOptionLines("   ").empty());
    // Keys are not trimmed: " ab" stays a key of its own.
    EXPECT_EQ(ReadOptionLines("x=1\n ab=2")[1].first, " ab");
}

TEST(OptionText, DefaultsListTakesTheFirstLineOfAKeyAsItsDefault)
{
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.ExtOptions = "acodec=mp2\nvcodec=h263\nvfilters=pad=1\nacodec=ac3\nscodec=\nab=64000";
    TOutputDefaults defaults(options);
    EXPECT_EQ(defaults.Value("def_vcodec"), "mpeg4"); // the record's field wins
    EXPECT_EQ(defaults.Value("def_acodec"), "mp2");
    EXPECT_EQ(defaults.Value("def_vf"), "pad=1");
    EXPECT_EQ(defaults.Value("def_scodec"), ""); // empty values are not taken
    EXPECT_EQ(defaults.Value("ab"), "");

    EXPECT_EQ(defaults.Take("acodec"), "mp2");
    EXPECT_EQ(defaults.Take("acodec"), "ac3");
    EXPECT_EQ(defaults.Take("acodec"), "mp2"); // no line left: the default
    EXPECT_EQ(defaults.Take("vf"), "pad=1");
    EXPECT_EQ(defaults.Take("apre"), "");
}

TEST(CreationTime, DateTimesBecomeSecondsSince1970)
{
    EXPECT_EQ(CreationTimeFromDateTime(25569.0, 0), 0);
    EXPECT_EQ(CreationTimeFromDateTime(25569.5, 0), 43200);
    EXPECT_EQ(CreationTimeFromDateTime(25569.0, 1.0 / 24), -3600);                  // one hour east of UTC
    EXPECT_EQ(CreationTimeFromDateTime(36526.0 + 1.0 / 86400 * 0.6, 0), 946684801); // rounded

    // A local date-time: the offset in force at that time counts.
    const QDateTime summer(QDate(2010, 7, 1), QTime(12, 0), Qt::LocalTime);
    const double days = QDate(1899, 12, 30).daysTo(summer.date()) + 0.5;
    EXPECT_EQ(CreationTimeFromTimestamp(days), summer.toSecsSinceEpoch());
    EXPECT_NEAR(static_cast<double>(CreationTimeFromTimestamp(0)), QDateTime::currentSecsSinceEpoch(), 2);
}

class OptionRecords : public ::testing::Test
{
protected:
    void SetUp() override { Task = NewTask(); }

    void OpenInput(TTestMedia media, TInputOptions options = {})
    {
        const QString path = TestMediaPath(media);
        Task->ApplyInputOptions(options, path);
        ASSERT_TRUE(Task->OpenInputFile(path)) << Task->LastErrMsg().toStdString();
    }
    bool Apply(TOutputOptions options, const THookCallback& hook = {})
    {
        return Task->ApplyOutputOptions(options, Folder.FilePath("out.mkv"), hook);
    }
    const TOptionState& O() const { return Task->Opts(); }

    TTemporaryFolder Folder;
    std::unique_ptr<TFFmpeg> Task;
};

TEST_F(OptionRecords, InputRecordIsStoredWithTheOpenedName)
{
    TInputOptions options;
    options.ExtOptions = "vn=1";
    options.StartTime = 500000;
    options.ProgramID = -1;
    OpenInput(TTestMedia::VideoAudioMp4, options);
    const TInputOptions* stored = Task->StoredInputOptions(0);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->FileName, TestMediaPath(TTestMedia::VideoAudioMp4));
    EXPECT_EQ(stored->StartTime, 500000);
    // "vn" disables the input's video, and stays in force for the next output.
    EXPECT_EQ(Task->Files.Input(0)->streams[0]->discard, AVDISCARD_ALL);
    EXPECT_TRUE(O().VideoDisable);
    EXPECT_EQ(O().ProgramId, 0);
}

TEST_F(OptionRecords, InputRecordForcesItsFormat)
{
    TInputOptions options;
    options.FileFormat = "xyz";
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    Task->ApplyInputOptions(options, path);
    EXPECT_EQ(ThrownMessage([&] { Task->OpenInputFile(path); }), "Unknown input format: \"xyz\"");
}

TEST_F(OptionRecords, ExtraCodecLinesOfAnOutputOnlyFillEmptyCodecFields)
{
    TOutputOptions options;
    options.ExtOptions = "acodec=mp2\nvcodec=mpeg4\ns=vga";
    Apply(options);
    EXPECT_EQ(O().AudioCodecName, "mp2");
    EXPECT_EQ(O().VideoCodecName, "mpeg4");
    EXPECT_EQ(O().FrameWidth, 640);

    Task->ClearOptions();
    options.AudioCodec = "ac3";
    options.FrameSize = "qcif";
    Apply(options);
    EXPECT_EQ(O().AudioCodecName, "ac3");
    EXPECT_EQ(O().FrameWidth, 176);
}

TEST_F(OptionRecords, TypedFieldsComeAfterPresetsAndExtraOptions)
{
    TOutputOptions options;
    options.VideoCodec = "libx264";
    options.VideoPreset = "libx264-ipod"; // b=1000000, maxrate=1250000, g=250
    options.VideoBitrate = 500000;
    options.VideoMaxRate = 0; // not above zero: the preset's value stays
    options.ExtOptions = "bufsize=1000\ng=100";
    options.VideoBufSize = 2000;
    options.AudioVolume = 0; // zero counts for the volume
    options.AudioSync = 1;
    Apply(options);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "b"), 500000);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "maxrate"), 1250000);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "g"), 100);
    EXPECT_EQ(StoredCodecOption(*Task, AVMEDIA_TYPE_VIDEO, "bufsize"), 2000);
    EXPECT_EQ(O().AudioVolume, 0);
    EXPECT_EQ(O().AudioSyncMethod, 1);
    EXPECT_EQ(O().VideoSyncMethod, -1);
}

TEST_F(OptionRecords, CropsWorkOnTheInputSizeBeforeTheOutputSize)
{
    OpenInput(TTestMedia::VideoAudioMp4); // 320x240
    TOutputOptions options;
    options.CropTop = 200;
    options.CropLeft = 0;
    options.FrameSize = "160x120";
    Apply(options);
    EXPECT_EQ(O().TopBand, 200);
    EXPECT_EQ(O().LeftBand, 0);
    EXPECT_EQ(O().FrameWidth, 160);
    EXPECT_EQ(O().FrameHeight, 120);
}

TEST_F(OptionRecords, FieldsAlwaysAssignedReplaceEarlierValues)
{
    Task->SetOption("alang", "deu");
    Task->SetOption("isync", "1");
    TOutputOptions options;
    options.VideoLanguage = "eng";
    Apply(options);
    EXPECT_EQ(O().AudioLanguage, "");
    EXPECT_EQ(O().VideoLanguage, "eng");
    EXPECT_FALSE(O().InputSync);
}

TEST_F(OptionRecords, TargetPresetOfTheRecord)
{
    TOutputOptions options;
    options.TargetType = 3;
    options.TargetNorm = 1;
    options.AudioSampleRate = 44100; // typed fields come after the target
    Apply(options);
    EXPECT_EQ(O().FormatName, "dvd");
    EXPECT_EQ(O().FrameHeight, 576);
    EXPECT_EQ(O().AudioSampleRate, 44100);

    Task->ClearOptions();
    options = TOutputOptions{};
    options.TargetType = 1;
    options.TargetNorm = 7; // automatic
    options.TargetDefaultNorm = 2;
    Task->SetOption("r", "30");
    Apply(options); // 30 fps names no norm and nothing is open: the default norm
    EXPECT_EQ(O().FrameHeight, 240);
}

TEST_F(OptionRecords, MetadataAndCreationTime)
{
    TOutputOptions options;
    options.Info.Year = 2009;
    options.Info.Track = 0;
    options.Info.Title = "T";
    options.Info.Genre = "G";
    options.Info.Timestamp = 0;
    Apply(options);
    const std::vector<std::pair<QString, QString>> expected = {
        {"year", "2009"}, {"title", "T"}, {"genre", "G"}};
    EXPECT_EQ(O().Metadata, expected);
    EXPECT_NEAR(static_cast<double>(O().RecTimestamp), QDateTime::currentSecsSinceEpoch(), 2);

    Task->ClearOptions();
    options = TOutputOptions{}; // Timestamp -1: none
    Apply(options);
    EXPECT_EQ(O().RecTimestamp, 0);
    EXPECT_TRUE(O().Metadata.empty());
}

TEST_F(OptionRecords, TimesHookAndJoin)
{
    TOutputOptions options;
    options.RecordingTime = 10000000;
    options.StartTime = 5000000;
    options.CopyTimestamps = true;
    options.CustomHook = true;
    options.JoinInputs = true;
    bool hookCalled = false;
    const THookCallback hook = [&](TCustomFFmpeg*, QImage*, int, qint64, bool&, bool&) { hookCalled = true; };
    EXPECT_TRUE(Apply(options, hook));
    EXPECT_EQ(O().RecordingTime, 10000000);
    EXPECT_EQ(Task->TotalDuration, 10000000);
    EXPECT_EQ(O().StartTime, 5000000);
    EXPECT_TRUE(O().CopyTs);
    ASSERT_TRUE(Task->HookCallback);
    bool update = true, stop = false;
    Task->HookCallback(Task.get(), nullptr, 1, 0, update, stop);
    EXPECT_TRUE(hookCalled);
}

TEST_F(OptionRecords, SetterFailuresReachTheCaller)
{
    TOutputOptions options;
    options.FrameSize = "huge";
    EXPECT_EQ(ThrownMessage([&] { Apply(options); }), "Incorrect frame size");
    options = TOutputOptions{};
    options.VideoTag = "abc";
    EXPECT_EQ(ThrownMessage([&] { Apply(options); }), "video tag parameter must be 4 chars");
}

TEST_F(OptionRecords, AdditionalStreamsTakeTheirCodecLinesInOrder)
{
    OpenInput(TTestMedia::VideoAudioMp4);
    TOutputOptions options;
    options.VideoCodec = "mpeg4";
    options.ExtOptions = "acodec=mp2\nnewaudio=\nacodec=ac3<CRLF>newaudio=";
    const QString output = Folder.FilePath("streams.mkv");
    const bool join = Task->ApplyOutputOptions(options, output, {});
    ASSERT_GE(Task->OpenOutputFile(output, join), 1) << Task->LastErrMsg().toStdString();
    Task->AddRecordStreams(options);

    const auto& streams = Task->Files.OutputFiles[0]->Streams;
    ASSERT_EQ(streams.size(), 4u);
    std::vector<AVCodecID> codecs;
    for (const TOutputStreamCodec& stream : streams)
        codecs.push_back(stream.CodecId);
    EXPECT_EQ(codecs,
              (std::vector<AVCodecID>{AV_CODEC_ID_MPEG4, AV_CODEC_ID_MP2, AV_CODEC_ID_MP2, AV_CODEC_ID_AC3}));
}

} // namespace
