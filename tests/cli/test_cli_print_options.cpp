// --print-options: the records a conversion would hand the engine, and what
// reading a profile writes into the user's settings file.
#include "cli/CliTesting.h"
#include "support/TestMedia.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// The lines of one record block ("[Input]" or "[Output]") of the n-th file.
QStringList Block(const QString& out, const QString& name, int file = 0)
{
    const QStringList lines = out.split(QLatin1Char('\n'));
    int seen = -1;
    QStringList block;
    bool inside = false;
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            if (line == "[" + name + "]")
                ++seen;
            inside = line == "[" + name + "]" && seen == file;
            continue;
        }
        if (line.isEmpty())
            inside = false;
        if (inside)
            block << line;
    }
    return block;
}

QString Field(const QString& out, const QString& block, const QString& name, int file = 0)
{
    for (const QString& line : Block(out, block, file))
        if (line.startsWith(name + "="))
            return line.mid(name.size() + 1);
    return QStringLiteral("<absent>");
}

QStringList Lines(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines)
        list << QString::fromUtf8(line);
    return list;
}

} // namespace

class CliPrintOptions : public ::testing::Test
{
protected:
    TCliSandbox Sandbox;
};

// The letterbox example of the mapping: 720x480 into the 320x240 of the iPod
// MPEG-4 profile's defaults; every field of both records.
TEST_F(CliPrintOptions, LetterboxExampleGivesTheCompleteRecordsOfTheMapping)
{
    const QString clip = MakeClip(Sandbox.FilePath(""), "dvd.mp4", 720, 480, 0.4, true);
    const TCliRun run = RunCli(Sandbox.Args({"--print-options", "--profile", "0", clip}));
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
    EXPECT_EQ(Block(run.Out, "Input"),
              QStringList({"FileName=" + clip, "FileFormat=", "StartTime=0", "ProgramID=-1", "ExtOptions="}));
    const QString destination = Sandbox.OutputFolder() + "/dvd_(new).mp4";
    EXPECT_EQ(Block(run.Out, "Output"),
              QStringList{"FileName=" + destination} + Lines({"FileFormat=ipod",
                                                              "PacketSize=-1",
                                                              "MuxRate=-1",
                                                              "MuxDelay=-1",
                                                              "MuxPreload=-1",
                                                              "AudioCodec=libfaac",
                                                              "AudioPreset=",
                                                              "DisableAudio=false",
                                                              "AudioVolume=-1",
                                                              "AudioChannels=2",
                                                              "AudioSampleRate=44100",
                                                              "AudioBitrate=128000",
                                                              "AudioBitrateTolerance=-1",
                                                              "AudioLanguage=",
                                                              "AudioSync=0",
                                                              "AudioTag=",
                                                              "VideoCodec=mpeg4",
                                                              "VideoPreset=",
                                                              "DisableVideo=false",
                                                              "FrameRate=29.97",
                                                              "FrameSize=320x212",
                                                              "AspectRatio=320:212",
                                                              "CropTop=0",
                                                              "CropBottom=0",
                                                              "CropLeft=0",
                                                              "CropRight=0",
                                                              "GopSize=-1",
                                                              "VideoBitrate=768000",
                                                              "VideoMaxRate=-1",
                                                              "VideoMinRate=-1",
                                                              "VideoBitrateTolerance=-1",
                                                              "VideoBufSize=-1",
                                                              "VideoSync=-1",
                                                              "VideoTag=",
                                                              "VideoFilters=pad=320:240:0:14",
                                                              "VideoLanguage=",
                                                              "SubtitleCodec=",
                                                              "SubtitlePreset=",
                                                              "DisableSubtitle=false",
                                                              "SubtitleLanguage=",
                                                              "InputSync=false",
                                                              "CopyTimestamps=false",
                                                              "StartTime=-9223372036854775808",
                                                              "RecordingTime=-9223372036854775808",
                                                              "Info.Timestamp=-1",
                                                              "Info.Year=-1",
                                                              "Info.Track=-1",
                                                              "Info.Title=",
                                                              "Info.Author=",
                                                              "Info.Copyright=",
                                                              "Info.Comment=",
                                                              "Info.Album=",
                                                              "Info.Genre=",
                                                              "TargetType=0",
                                                              "TargetNorm=0",
                                                              "TargetDefaultNorm=1",
                                                              "CustomHook=true",
                                                              "JoinInputs=false",
                                                              "ExtOptions="}));
    EXPECT_TRUE(Sandbox.Outputs().isEmpty()) << "nothing is converted";
}

TEST_F(CliPrintOptions, AudioProfileGivesTheAudioOnlyRecords)
{
    const QString mp3 = TestMediaPath(TTestMedia::AudioMp3);
    const QString video = TestMediaPath(TTestMedia::VideoAudioMp4);
    const TCliRun run = RunCli(Sandbox.Args({"--print-options", "--profile", "500", mp3, video}));
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    for (int file : {0, 1}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(Field(run.Out, "Input", "ExtOptions", file), "vn=1");
        EXPECT_EQ(Field(run.Out, "Input", "StartTime", file), "0");
        const QStringList output = Block(run.Out, "Output", file);
        const QStringList expected =
            Lines({"FileFormat=", "AudioCodec=libmp3lame", "DisableAudio=false", "AudioVolume=-1",
                   "AudioChannels=2", "AudioSampleRate=44100", "AudioBitrate=128000",
                   "VideoCodec=", "DisableVideo=true", "FrameSize=", "VideoFilters=", "DisableSubtitle=true",
                   "CropTop=-1", "VideoBitrate=-1", "RecordingTime=-9223372036854775808", "CustomHook=true"});
        for (const QString& line : expected)
            EXPECT_TRUE(output.contains(line)) << line.toStdString();
        EXPECT_EQ(output.size(), 60) << "every field of the output record";
    }
    EXPECT_EQ(Field(run.Out, "Output", "FileName", 0), Sandbox.OutputFolder() + "/audio_(new).mp3");
    EXPECT_EQ(Field(run.Out, "Output", "FileName", 1), Sandbox.OutputFolder() + "/video_audio_(new).mp3");
}

struct TRecordCase
{
    const char* Name;
    QStringList Arguments;
    std::vector<std::tuple<const char*, const char*, const char*>> Fields; // block, field, value
};

// The job-record options reach the records as the editors' values would.
TEST_F(CliPrintOptions, JobRecordOptionsReachTheRecords)
{
    // 320x240 and long enough for the trim of the mapping's example.
    const QString clip = MakeClip(Sandbox.FilePath(""), "thirty.mp4", 320, 240, 30.0, false);
    const std::vector<TRecordCase> cases = {
        {"trimmed row",
         {"--start", "10", "--duration", "20"},
         {{"Input", "StartTime", "10000000"}, {"Output", "RecordingTime", "20000000"}}},
        {"fractions of seconds",
         {"--start", "1.5", "--duration", "0.25"},
         {{"Input", "StartTime", "1500000"}, {"Output", "RecordingTime", "250000"}}},
        {"full screen crop goes to the engine's crop fields",
         {"--zoom", "full", "--crop", "4,6,8,10"},
         {{"Output", "CropTop", "4"},
          {"Output", "CropBottom", "6"},
          {"Output", "CropLeft", "8"},
          {"Output", "CropRight", "10"},
          {"Output", "FrameSize", "320x240"},
          {"Output", "VideoFilters", ""}}},
        {"letterbox crop becomes a crop filter, fitted by the cropped picture",
         {"--zoom", "lbox", "--crop", "20,20,0,0"},
         {{"Output", "FrameSize", ""},
          {"Output", "AspectRatio", "320:200"},
          {"Output", "VideoFilters", "crop=320:200:0:20,scale=320:200,pad=320:240:0:20"}}},
        {"no zoom option: the profile's letterbox",
         {},
         {{"Output", "FrameSize", "320x240"}, {"Output", "VideoFilters", "pad=320:240:0:0"}}},
        {"effects do not change the records",
         {"--text", "hello", "--brightness", "300"},
         {{"Output", "CustomHook", "true"}}},
    };
    for (const TRecordCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TCliRun run = RunCli(
            Sandbox.Args(QStringList{"--print-options", "--profile", "0"} + c.Arguments + QStringList{clip}));
        ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        for (const auto& [block, field, value] : c.Fields)
            EXPECT_EQ(Field(run.Out, block, field), QString::fromUtf8(value)) << block << "." << field;
    }
}

TEST_F(CliPrintOptions, OnlyTheDefaultsOfANeverEditedProfileAreWrittenToTheSettings)
{
    const QString clip = TestMediaPath(TTestMedia::VideoAudioMp4);
    ASSERT_FALSE(QFile::exists(Sandbox.SettingsFile()));
    ASSERT_EQ(RunCli(Sandbox.Args({"--print-options", "--profile", "3", clip})).ExitCode, 0);
    const QByteArray written = ReadBytes(Sandbox.SettingsFile());
    EXPECT_TRUE(written.startsWith("[formatInfo3]")) << written.toStdString();
    EXPECT_EQ(written.count('['), 1) << "one section, the profile's: " << written.toStdString();
    for (const char* key : {"FormatCode", "FormatName", "OutPutDir"})
        EXPECT_FALSE(written.contains(key)) << key;

    // A profile with a section is the user's: read, never rewritten.
    ASSERT_EQ(RunCli(Sandbox.Args({"--print-options", "--profile", "3", "--zoom", "pan", clip})).ExitCode, 0);
    EXPECT_EQ(ReadBytes(Sandbox.SettingsFile()), written);
}

TEST_F(CliPrintOptions, TheSettingsGiveTheProfileTheFolderAndTheUsersOwnValues)
{
    const QString clip = TestMediaPath(TTestMedia::VideoAudioMp4);
    const QString folder = Sandbox.FilePath("stored out");
    const QByteArray settings =
        "[settings]\nFormatCode=0\nOutPutDir=" + folder.toUtf8() +
        "\n[formatInfo0]\nparaVideoEncoder=mpeg4\nparaVideoBitRate=384\nparaVideoSize=x240\n";
    WriteText(Sandbox.SettingsFile(), settings);
    const TCliRun run = RunCli({"--settings", Sandbox.SettingsFile(), "--catalogue", ShippedCatalogue(),
                                "--print-options", clip, clip});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(Field(run.Out, "Output", "VideoBitrate"), "384000");
    EXPECT_EQ(Field(run.Out, "Output", "FileName", 0), folder + "/video_audio_(new).mp4");
    EXPECT_EQ(Field(run.Out, "Output", "FileName", 1), folder + "/video_audio_(new_1).mp4")
        << "names handed out in one call count as taken";
    // The frame-size question is answered Yes, and said.
    EXPECT_EQ(run.Err.count("Error output Video Size.Use the default size 320x240? Yes"), 2)
        << run.Err.toStdString();
    EXPECT_EQ(Field(run.Out, "Output", "FrameSize"), "320x240");
    EXPECT_EQ(ReadBytes(Sandbox.SettingsFile()), settings) << "nothing is written for an edited profile";
    EXPECT_TRUE(QDir(folder).exists());
}

TEST_F(CliPrintOptions, MissingAndDamagedFilesAreNamedTheOthersStillPrinted)
{
    const QString missing = Sandbox.FilePath("gone.avi");
    const QString damaged = TestMediaPath(TTestMedia::Truncated);
    const QString clip = TestMediaPath(TTestMedia::Clip25Fps);
    const TCliRun run = RunCli(Sandbox.Args({"--print-options", "--profile", "0", missing, clip, damaged}));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(missing + ": No such file or directory")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(damaged)) << run.Err.toStdString();
    EXPECT_EQ(Field(run.Out, "Input", "FileName"), clip);
    EXPECT_EQ(Block(run.Out, "Input", 1), QStringList()) << "one file printed";
}

// Values the parser accepts but this very file cannot take.
TEST_F(CliPrintOptions, EditsThatCannotWorkForAFileAreRefusedForThatFile)
{
    const QString small = TestMediaPath(TTestMedia::Clip25Fps);     // 176x144, 2 s
    const QString large = TestMediaPath(TTestMedia::VideoAudioMp4); // 320x240, 2 s
    const QString longer = MakeClip(Sandbox.FilePath(""), "longer.mp4", 320, 240, 4.0, false);
    const struct
    {
        QStringList Edits;
        const char* Message;
    } cases[] = {
        {{"--crop", "0,0,100,100"}, "the crop 0,0,100,100 leaves nothing of the 176x144 picture"},
        {{"--crop", "80,80,0,0"}, "the crop 80,80,0,0 leaves nothing of the 176x144 picture"},
        {{"--start", "3"}, "the start 3.000 s lies at or past the end of the file (2.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Edits.join(' ').toStdString());
        const QStringList files =
            c.Edits.first() == "--crop" ? QStringList{small, large} : QStringList{large, longer};
        const TCliRun run = RunCli(Sandbox.Args(QStringList{"--print-options"} + c.Edits + files));
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_TRUE(run.Err.contains(files.first() + ": " + c.Message)) << run.Err.toStdString();
        EXPECT_EQ(Field(run.Out, "Input", "FileName"), files.last());
        EXPECT_EQ(Block(run.Out, "Input", 1), QStringList()) << "one file printed";
    }
}
