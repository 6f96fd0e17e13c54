// Input and output set-up of a bare task: the refusals with their exact
// texts (and no empty output left behind), the streams an output gets from
// what the options ask for and the inputs offer, and join mode's duration
// and output table.

#include "LoopTesting.h"
#include "OptionTesting.h"

#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct TOptionPair
{
    const char* Name;
    const char* Value;
};

// "{dir}" in a value stands for the test's folder.
void SetOptions(TCustomFFmpeg& task, const std::vector<TOptionPair>& options,
                const QString& folder = QString())
{
    for (const TOptionPair& option : options)
        task.SetOption(QString::fromUtf8(option.Name),
                       QString::fromUtf8(option.Value).replace("{dir}", folder));
}

// Ten and twenty seconds of small video with exact container durations, and
// a raw elementary stream, whose container knows no duration.
QString TenSecondClip()
{
    return GeneratedSource("ten_seconds.mp4",
                           {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=5:duration=10", "-c:v", "mpeg4"});
}

QString TwentySecondClip()
{
    return GeneratedSource("twenty_seconds.mp4",
                           {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=5:duration=20", "-c:v", "mpeg4"});
}

QString NoDurationClip()
{
    return GeneratedSource("no_duration.m4v", {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=5:duration=2",
                                               "-c:v", "mpeg4", "-f", "m4v"});
}

enum class TFailingStep { OpenInput, OpenOutput, SetUp };

struct TSetUpFailureCase
{
    const char* Name;
    TTestMedia Source;
    std::vector<TOptionPair> InputOptions;  // before the input opens
    std::vector<TOptionPair> OutputOptions; // before the output opens
    const char* OutputName;
    bool JoinedOutputFirst; // a second input and a joined output come before the output
    bool WithHook;          // a custom hook is installed
    TFailingStep Step;
    // The message; "{dir}" stands for the test's folder.
    const char* Message;
};

class SetUpFailure : public ::testing::TestWithParam<TSetUpFailureCase>
{
protected:
    TTemporaryFolder Folder;
};

TEST_P(SetUpFailure, ReportsItsMessageAndLeavesNoEmptyOutput)
{
    const TSetUpFailureCase& c = GetParam();
    std::unique_ptr<TFFmpeg> task = NewTask();
    const QString output = Folder.FilePath(QString::fromUtf8(c.OutputName));
    const QString expected = QString::fromUtf8(c.Message).replace("{dir}", Folder.Path());
    if (c.WithHook)
        task->HookCallback = [](TCustomFFmpeg*, QImage*, int, qint64, bool&, bool&) {};

    SetOptions(*task, c.InputOptions, Folder.Path());
    const bool opened = task->OpenInputFile(TestMediaPath(c.Source));
    if (c.Step == TFailingStep::OpenInput) {
        EXPECT_FALSE(opened);
        EXPECT_EQ(task->LastErrMsg(), expected);
        EXPECT_EQ(task->InputFileCount(), 0);
        return;
    }
    ASSERT_TRUE(opened) << task->LastErrMsg().toStdString();
    if (c.JoinedOutputFirst) {
        ASSERT_TRUE(task->OpenInputFile(TestMediaPath(c.Source))) << task->LastErrMsg().toStdString();
        ASSERT_EQ(task->OpenOutputFile(Folder.FilePath("joined.mp4"), true), 2)
            << task->LastErrMsg().toStdString();
    }

    SetOptions(*task, c.OutputOptions, Folder.Path());
    const int outputs = task->OpenOutputFile(output, false);
    if (c.Step == TFailingStep::OpenOutput) {
        EXPECT_EQ(outputs, -1);
        EXPECT_EQ(task->LastErrMsg(), expected);
    } else {
        ASSERT_EQ(outputs, 1) << task->LastErrMsg().toStdString();
        ASSERT_TRUE(QFileInfo::exists(output)); // created by the open, still empty
        EXPECT_EQ(ThrownMessage([&] { task->SetUpTranscode(); }), expected);
    }

    // What the worker body does after a failure.
    task->CloseOpenedEncoders();
    task->CloseOpenedDecoders();
    task->CloseFiles();
    EXPECT_FALSE(QFileInfo::exists(output));
}

constexpr TTestMedia Movie = TTestMedia::VideoAudioMp4;
constexpr TTestMedia Wav = TTestMedia::AudioWav;
constexpr TFailingStep AtInput = TFailingStep::OpenInput;
constexpr TFailingStep AtOutput = TFailingStep::OpenOutput;
constexpr TFailingStep AtSetUp = TFailingStep::SetUp;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, SetUpFailure,
    ::testing::Values(
        TSetUpFailureCase{"unknown_extension", Movie, {}, {}, "out.unknownext", false, false, AtOutput,
                          "Unable to find a suitable output format for '{dir}/out.unknownext'"},
        TSetUpFailureCase{"unknown_format", Movie, {}, {{"f", "nosuchformat"}}, "out.mp4", false, false, AtOutput,
                          "Requested output format 'nosuchformat' is not a suitable output format"},
        TSetUpFailureCase{"second_output_after_join", Wav, {}, {}, "second.wav", true, false, AtOutput,
                          "Cannot join more than one output file."},
        TSetUpFailureCase{"unknown_video_encoder", Movie, {}, {{"vcodec", "nosuchencoder"}}, "out.mp4", false, false,
                          AtOutput, "new_video_stream fail: Unknown encoder 'nosuchencoder'"},
        TSetUpFailureCase{"video_encoder_for_audio", Movie, {}, {{"acodec", "mpeg4"}}, "out.mp4", false, false,
                          AtOutput, "new_audio_stream fail: Invalid encoder type 'mpeg4'"},
        // No other DTS encoder exists, so the message has its two lines only.
        TSetUpFailureCase{"experimental_encoder", Wav, {}, {{"acodec", "dca"}}, "out.mka", false, false, AtOutput,
                          "new_audio_stream fail: encoder 'dca' is experimental and might produce bad results.\r\n"
                          "Add '-strict experimental' if you want to use it."},
        TSetUpFailureCase{"experimental_encoder_with_an_alternative", Wav, {}, {{"acodec", "opus"}}, "out.mka", false,
                          false, AtOutput,
                          "new_audio_stream fail: encoder 'opus' is experimental and might produce bad results.\r\n"
                          "Add '-strict experimental' if you want to use it.\r\n"
                          "Or use the non experimental encoder 'libopus'."},
        TSetUpFailureCase{"program_not_found", TTestMedia::MultiProgramTs, {{"programid", "99"}}, {}, "out.mp4", false,
                          false, AtInput, "Specified program id not found"},
        TSetUpFailureCase{"video_copy_with_a_hook", Movie, {}, {{"vcodec", "copy"}}, "out.mp4", false, true, AtSetUp,
                          "-vcodec copy and CustomHook are incompatible (frames are not decoded)"},
        TSetUpFailureCase{"volume_with_audio_copy", Movie, {}, {{"vcodec", "mpeg4"}, {"vol", "512"}, {"acodec", "copy"}},
                          "out.mp4", false, false, AtSetUp,
                          "-acodec copy and -vol are incompatible (frames are not decoded)"},
        TSetUpFailureCase{"second_pass_without_statistics", Movie, {},
                          {{"vcodec", "mpeg4"}, {"pass", "2"}, {"passlogfile", "{dir}/stats"}}, "out.mp4", false, false,
                          AtSetUp, "Cannot read file: Error reading log file \"{dir}/stats-0.log\" for pass-2 encoding"}),
    [](const auto& info) { return std::string(info.param.Name); });
// clang-format on

// The streams an output gets: the kinds the options or the format ask for,
// as far as the inputs have them.
struct TStreamKindsCase
{
    const char* Name;
    TTestMedia Source;
    std::vector<TOptionPair> OutputOptions;
    const char* OutputName;
    const char* ExpectedFormat;
    std::vector<AVMediaType> ExpectedStreams;
};

class OutputStreamKinds : public ::testing::TestWithParam<TStreamKindsCase>
{
protected:
    TTemporaryFolder Folder;
};

TEST_P(OutputStreamKinds, FollowTheOptionsAndTheInputs)
{
    const TStreamKindsCase& c = GetParam();
    std::unique_ptr<TFFmpeg> task = NewTask();
    ASSERT_TRUE(task->OpenInputFile(TestMediaPath(c.Source))) << task->LastErrMsg().toStdString();
    SetOptions(*task, c.OutputOptions);
    ASSERT_EQ(task->OpenOutputFile(Folder.FilePath(QString::fromUtf8(c.OutputName)), false), 1)
        << task->LastErrMsg().toStdString();

    const AVFormatContext* output = task->Files.Output(0);
    EXPECT_STREQ(output->oformat->name, c.ExpectedFormat);
    std::vector<AVMediaType> streams;
    for (const TOutputStreamCodec& stream : task->Files.OutputFiles[0]->Streams)
        streams.push_back(stream.Context->codec_type);
    EXPECT_EQ(streams, c.ExpectedStreams);
    // And the set-up takes them to a written header.
    EXPECT_EQ(ThrownMessage([&] { task->SetUpTranscode(); }), "");
    task->CloseOpenedEncoders();
    task->CloseOpenedDecoders();
    task->CloseFiles();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, OutputStreamKinds,
    ::testing::Values(
        TStreamKindsCase{"format_by_name", Movie, {{"f", "ipod"}}, "out.mp4", "ipod",
                         {AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO}},
        // The format's default video codec makes no video stream without input video.
        TStreamKindsCase{"audio_only_input", TTestMedia::AudioMp3, {}, "out.mp4", "mp4", {AVMEDIA_TYPE_AUDIO}},
        TStreamKindsCase{"video_disabled", Movie, {{"vn", "1"}}, "out.mp4", "mp4", {AVMEDIA_TYPE_AUDIO}},
        TStreamKindsCase{"video_only_input", TTestMedia::VideoOnly, {}, "out.avi", "avi", {AVMEDIA_TYPE_VIDEO}}),
    [](const auto& info) { return std::string(info.param.Name); });
// clang-format on

TEST(OutputFormatByName, IsNotReusedForTheNextOutput)
{
    TTemporaryFolder folder;
    std::unique_ptr<TFFmpeg> task = NewTask();
    ASSERT_TRUE(task->OpenInputFile(TestMediaPath(TTestMedia::VideoAudioMp4)));
    task->SetOption("f", "ipod");
    ASSERT_EQ(task->OpenOutputFile(folder.FilePath("first.mp4"), false), 1)
        << task->LastErrMsg().toStdString();
    ASSERT_EQ(task->OpenOutputFile(folder.FilePath("second.mp4"), false), 2)
        << task->LastErrMsg().toStdString();
    EXPECT_STREQ(task->Files.Output(0)->oformat->name, "ipod");
    EXPECT_STREQ(task->Files.Output(1)->oformat->name, "mp4");
}

TEST(ExperimentalEncoder, OpensWithStrictExperimental)
{
    TTemporaryFolder folder;
    std::unique_ptr<TFFmpeg> task = NewTask();
    ASSERT_TRUE(task->OpenInputFile(TestMediaPath(TTestMedia::AudioWav)));
    task->SetOption("strict", "experimental");
    task->SetOption("acodec", "dca");
    ASSERT_EQ(task->OpenOutputFile(folder.FilePath("out.mka"), false), 1) << task->LastErrMsg().toStdString();
    EXPECT_EQ(task->Files.OutputFiles[0]->Streams.at(0).Context->codec_id, AV_CODEC_ID_DTS);
}

// Joined inputs: the expected duration is their sum (none when no input
// tells its duration), and the output entry is repeated once per input.
struct TJoinCase
{
    const char* Name;
    std::vector<QString (*)()> Inputs;
    qint64 ExpectedTotalDuration;
};

class JoinedOutput : public ::testing::TestWithParam<TJoinCase>
{
protected:
    TTemporaryFolder Folder;
};

TEST_P(JoinedOutput, SumsTheDurationsAndRepeatsTheOutput)
{
    const TJoinCase& c = GetParam();
    std::unique_ptr<TFFmpeg> task = NewTask();
    for (QString (*input)() : c.Inputs)
        ASSERT_TRUE(task->OpenInputFile(input())) << task->LastErrMsg().toStdString();
    const int count = static_cast<int>(c.Inputs.size());
    ASSERT_EQ(task->OpenOutputFile(Folder.FilePath("joined.mp4"), true), count)
        << task->LastErrMsg().toStdString();
    EXPECT_TRUE(task->Joined);
    EXPECT_EQ(task->TotalDuration, c.ExpectedTotalDuration);
    ASSERT_EQ(task->OutputFileCount(), count);
    for (int i = 1; i < count; ++i)
        EXPECT_EQ(task->Files.OutputFiles[i], task->Files.OutputFiles[0]) << i;
    task->CloseFiles();
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinedOutput,
                         ::testing::Values(TJoinCase{"ten_twenty_and_unknown",
                                                     {TenSecondClip, TwentySecondClip, NoDurationClip},
                                                     30000000},
                                           TJoinCase{
                                               "no_duration_known", {NoDurationClip, NoDurationClip}, -1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(JoinWithOneInput, IsAnOrdinaryOutput)
{
    TTemporaryFolder folder;
    std::unique_ptr<TFFmpeg> task = NewTask();
    ASSERT_TRUE(task->OpenInputFile(TenSecondClip()));
    ASSERT_EQ(task->OpenOutputFile(folder.FilePath("out.mp4"), true), 1) << task->LastErrMsg().toStdString();
    EXPECT_FALSE(task->Joined);
    ASSERT_EQ(task->OpenOutputFile(folder.FilePath("second.mp4"), true), 2)
        << task->LastErrMsg().toStdString();
}

// Through the component: a conversion whose set-up fails reports the
// failure and leaves no empty file where its output was to be.
TEST(FailedConversion, LeavesNoEmptyOutputFile)
{
    TTemporaryFolder folder;
    TConversion conversion;
    conversion.Inputs.push_back({TestMediaPath(TTestMedia::VideoAudioMp4), TInputOptions{}});
    conversion.OutputFile = folder.FilePath("out.mp4");
    conversion.Output.VideoCodec = "copy";
    conversion.Hook = [](QImage&, int, qint64, bool&, bool&) {};
    const TConversionResult result = RunConversion(conversion);
    EXPECT_TRUE(result.Exception);
    EXPECT_EQ(result.ExceptionMsg, "-vcodec copy and CustomHook are incompatible (frames are not decoded)");
    EXPECT_FALSE(result.Finished);
    EXPECT_FALSE(QFileInfo::exists(conversion.OutputFile));
}

} // namespace
