// Every profile of the catalogue, with the defaults a never-edited profile
// gets, converts the fixtures to files ffprobe reads as the catalogue says.
#include "app/ProfileCatalogue.h"
#include "cli/CliTesting.h"
#include "support/FfprobeFacts.h"
#include "support/TestMedia.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

struct TProfileFacts
{
    int Code;
    const char* Extension;
    const char* Format;     // one of the names in ffprobe's format_name
    const char* VideoCodec; // nullptr: an audio profile, no video stream
    int Width, Height;
    const char* AudioCodec;
    int SampleRate;
    int Channels;
};

// What the catalogue's default choices of each profile produce.
// clang-format off
const TProfileFacts ProfileTable[] = {
    {0,   "mp4", "mp4",  "mpeg4",      320,  240, "aac",       44100, 2},
    {1,   "mp4", "mp4",  "h264",       320,  240, "aac",       44100, 2},
    {2,   "mp4", "mp4",  "mpeg4",      320,  240, "aac",       44100, 2},
    {3,   "mp4", "mp4",  "mpeg4",      320,  240, "aac",       44100, 2},
    {4,   "mp4", "mp4",  "mpeg4",      320,  240, "aac",       44100, 2},
    {5,   "mp4", "mp4",  "mpeg4",      640,  480, "aac",       44100, 2},
    {6,   "mp4", "mp4",  "mpeg4",      480,  320, "aac",       44100, 2},
    {7,   "mp4", "mp4",  "mpeg4",      320,  240, "aac",       44100, 2},
    {8,   "mp4", "mp4",  "mpeg4",      640,  360, "aac",       44100, 2},
    {100, "mp4", "mp4",  "mpeg4",      480,  320, "aac",       44100, 2},
    {101, "mp4", "mp4",  "mpeg4",      640,  360, "aac",       44100, 2},
    {102, "mp4", "mp4",  "mpeg4",      480,  320, "aac",       44100, 2},
    {103, "mp4", "mp4",  "mpeg4",      720,  480, "aac",       44100, 2},
    {104, "mp4", "mp4",  "mpeg4",      720,  576, "aac",       44100, 2},
    {200, "mp4", "mp4",  "mpeg4",      640,  480, "aac",       44100, 2},
    {201, "mp4", "mp4",  "mpeg4",      640,  480, "aac",       44100, 2},
    {202, "mp4", "mp4",  "mpeg4",      640,  480, "aac",       44100, 2},
    {203, "mp4", "mp4",  "h264",       320,  240, "aac",       44100, 2},
    {204, "mp4", "mp4",  "h264",       640,  480, "aac",       44100, 2},
    {205, "mp4", "mp4",  "h264",       1280, 720, "aac",       44100, 2},
    {300, "mov", "mov",  "mpeg4",      640,  480, "aac",       44100, 2},
    {400, "mpg", "mpeg", "mpeg1video", 352,  240, "mp2",       44100, 2},
    {401, "mpg", "mpeg", "mpeg2video", 720,  480, "mp2",       48000, 2},
    {402, "mp4", "mp4",  "mpeg4",      640,  480, "aac",       44100, 2},
    {403, "mp4", "mp4",  "h264",       640,  480, "aac",       44100, 2},
    {404, "avi", "avi",  "mpeg4",      640,  480, "mp3",       44100, 2},
    {405, "wmv", "asf",  "wmv2",       640,  480, "wmav2",     44100, 2},
    {406, "avi", "avi",  "mpeg4",      640,  480, "mp3",       44100, 2},
    {407, "avi", "avi",  "mpeg4",      640,  480, "mp3",       44100, 2},
    {408, "dv",  "dv",   "dvvideo",    720,  480, "pcm_s16le", 48000, 2},
    {409, "dv",  "dv",   "dvvideo",    720,  576, "pcm_s16le", 48000, 2},
    {500, "mp3", "mp3",  nullptr,      0,    0,   "mp3",       44100, 2},
    {501, "aac", "aac",  nullptr,      0,    0,   "aac",       44100, 2},
    {502, "m4a", "mp4",  nullptr,      0,    0,   "aac",       44100, 2},
    {503, "wma", "asf",  nullptr,      0,    0,   "wmav2",     44100, 2},
    {504, "wav", "wav",  nullptr,      0,    0,   "pcm_s16le", 44100, 2},
    {505, "ogg", "ogg",  nullptr,      0,    0,   "vorbis",    44100, 2},
    {506, "ac3", "ac3",  nullptr,      0,    0,   "ac3",       48000, 2},
};
// clang-format on

QJsonObject StreamOfType(const QJsonObject& facts, const QString& type)
{
    for (const QJsonValue& stream : facts["streams"].toArray())
        if (stream.toObject()["codec_type"].toString() == type)
            return stream.toObject();
    return QJsonObject();
}

void ExpectFacts(const QString& output, const TProfileFacts& expected)
{
    const QJsonObject facts = FfprobeFacts(output);
    const QStringList formats = facts["format"].toObject()["format_name"].toString().split(',');
    EXPECT_TRUE(formats.contains(QLatin1String(expected.Format))) << formats.join(',').toStdString();
    const QJsonObject video = StreamOfType(facts, "video");
    if (expected.VideoCodec) {
        EXPECT_EQ(video["codec_name"].toString(), QLatin1String(expected.VideoCodec));
        EXPECT_EQ(video["width"].toInt(), expected.Width);
        EXPECT_EQ(video["height"].toInt(), expected.Height);
    } else {
        EXPECT_TRUE(video.isEmpty()) << "an audio profile writes no video";
    }
    const QJsonObject audio = StreamOfType(facts, "audio");
    EXPECT_EQ(audio["codec_name"].toString(), QLatin1String(expected.AudioCodec));
    EXPECT_EQ(audio["sample_rate"].toString().toInt(), expected.SampleRate);
    EXPECT_EQ(audio["channels"].toInt(), expected.Channels);
}

} // namespace

TEST(CliProfiles, TheTableCoversEveryProfileInCatalogueOrder)
{
    std::vector<int> codes;
    for (const TProfileFacts& p : ProfileTable)
        codes.push_back(p.Code);
    EXPECT_EQ(codes, ProfileCodes());
}

TEST(CliProfiles, EveryProfileWithItsDefaultsConvertsTheFixtures)
{
    const QString video = TestMediaPath(TTestMedia::VideoAudioMp4); // 320x240, 48 kHz stereo
    const QString audio = TestMediaPath(TTestMedia::AudioWav);      // 22.05 kHz mono
    for (const TProfileFacts& profile : ProfileTable) {
        SCOPED_TRACE("profile " + std::to_string(profile.Code));
        TCliSandbox sandbox; // a fresh settings file: the profile was never edited
        QStringList sources{video};
        if (!profile.VideoCodec)
            sources << audio;
        const TCliRun run = RunCli(
            sandbox.Args(QStringList{"--profile", QString::number(profile.Code), "--quiet"} + sources));
        EXPECT_FALSE(run.Crashed);
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        const QString ext = QLatin1String(profile.Extension);
        QStringList expectedOutputs{"video_audio_(new)." + ext};
        if (!profile.VideoCodec)
            expectedOutputs.prepend("audio_(new)." + ext);
        EXPECT_EQ(sandbox.Outputs(), expectedOutputs);
        if (sandbox.Outputs() != expectedOutputs)
            continue;
        for (const QString& name : expectedOutputs) {
            SCOPED_TRACE(name.toStdString());
            ExpectFacts(sandbox.OutputFolder() + "/" + name, profile);
        }
    }
}
