// The interface of clarvix-convert without converting: help, the profile
// list, refused arguments and files it cannot use.
#include "app/ProfileCatalogue.h"
#include "cli/CliTesting.h"
#include "support/TestMedia.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

TEST(CliInterface, HelpNamesEveryOptionAndTheExitStatus)
{
    const TCliRun run = RunCli({"--help"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
    for (const char* option : {"--list-profiles",
                               "--info",
                               "--profile CODE",
                               "--output-dir DIR",
                               "--settings FILE",
                               "--catalogue FILE",
                               "--start SECONDS",
                               "--duration SECONDS",
                               "--crop TOP,BOTTOM,LEFT,RIGHT",
                               "--zoom full|lbox|pan|center",
                               "--text TEXT",
                               "--text-pos X,Y",
                               "--font NAME,SIZE",
                               "--image FILE.bmp",
                               "--image-pos X,Y",
                               "--alpha N",
                               "--style 1|2",
                               "--brightness N",
                               "--contrast N",
                               "--saturation N",
                               "--exposure N",
                               "--jobs N",
                               "--print-options",
                               "--quiet",
                               "Exit status"})
        EXPECT_TRUE(run.Out.contains(QLatin1String(option))) << option;
}

TEST(CliInterface, ListProfilesGivesEveryProfileAsCodeTabNameInCatalogueOrder)
{
    const TCliRun run = RunCli({"--list-profiles"});
    EXPECT_EQ(run.ExitCode, 0);
    QStringList lines = run.Out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.takeLast(), QString()) << "the last line ends in a line break";
    const std::vector<int> codes = ProfileCodes();
    ASSERT_EQ(lines.size(), 38);
    ASSERT_EQ(codes.size(), 38u);
    for (int i = 0; i < 38; ++i)
        EXPECT_EQ(lines[i], QString::number(codes[i]) + QLatin1Char('\t') + *ProfileNameForCode(codes[i]));
    EXPECT_EQ(lines.first(), QStringLiteral("0\tiPod Video MPEG-4 (*.mp4)"));
    EXPECT_EQ(lines.last(), QStringLiteral("506\tAC-3 Audio Codec (*.ac3)"));
}

struct TUsageCase
{
    QStringList Arguments;
    const char* Message;
};

TEST(CliInterface, BadArgumentsAreUsageErrorsWithAMessage)
{
    const QString clip = TestMediaPath(TTestMedia::VideoAudioMp4);
    TTemporaryFolder folder;
    const QString notBmp = folder.FilePath("picture.bmp");
    WriteText(notBmp, "not a picture");

    const std::vector<TUsageCase> cases = {
        {{}, "no input files given"},
        {{"--profile", "1"}, "no input files given"},
        {{"--bogus", clip}, "unknown option '--bogus'"},
        {{"--profile", "99", clip}, "unknown profile code '99'"},
        {{"--profile", "ipod", clip}, "unknown profile code 'ipod'"},
        {{"--profile"}, "--profile needs a value"},
        {{"--crop", "2,2,2", clip}, "--crop needs TOP,BOTTOM,LEFT,RIGHT"},
        {{"--crop", "2,2,2,2,2", clip}, "--crop needs TOP,BOTTOM,LEFT,RIGHT"},
        {{"--crop", "a,b,c,d", clip}, "--crop needs TOP,BOTTOM,LEFT,RIGHT"},
        {{"--crop", "-2,0,0,0", clip}, "--crop needs TOP,BOTTOM,LEFT,RIGHT"},
        {{"--crop", "2,2,2,3", clip}, "--crop values are even source pixels"},
        {{"--crop", "0,0,0,99999999", clip}, "with numbers from 0 to 16384"},
        {{"--zoom", "wide", clip}, "--zoom must be full, lbox, pan or center"},
        {{"--start", "-5", clip}, "--start must be from 0 to 9999999 seconds"},
        {{"--start", "1e300", clip}, "--start must be from 0 to 9999999 seconds"},
        {{"--start", "nan", clip}, "--start needs a number of seconds"},
        {{"--duration", "0", clip}, "--duration must be above 0"},
        {{"--duration", "ten", clip}, "--duration needs a number of seconds"},
        {{"--jobs", "0", clip}, "--jobs must be from 1 to 64"},
        {{"--jobs", "100000000000", clip}, "--jobs needs a whole number"},
        {{"--alpha", "256", clip}, "--alpha must be from 0 to 255"},
        {{"--style", "3", clip}, "--style must be from 1 to 2"},
        {{"--brightness", "513", clip}, "--brightness must be from 0 to 512"},
        {{"--contrast", "-101", clip}, "--contrast must be from -100 to 100"},
        {{"--saturation", "-1", clip}, "--saturation must be from 0 to 512"},
        {{"--exposure", "600", clip}, "--exposure must be from -255 to 512"},
        {{"--text-pos", "10", clip}, "--text-pos needs X,Y"},
        {{"--image-pos", "1,2,3", clip}, "--image-pos needs X,Y"},
        {{"--font", "Arial", clip}, "--font needs NAME,SIZE"},
        {{"--font", "Arial,0", clip}, "--font size must be from 1 to 500"},
        {{"--image", folder.FilePath("missing.bmp"), clip}, "--image: "},
        {{"--image", notBmp, clip}, "--image: "},
        {{"--list-profiles", clip}, "--list-profiles takes no files"},
        {{"--list-profiles", "--info"}, "--list-profiles and --info cannot be combined"},
        {{"--info"}, "no input files given"},
        {{"--info", "--profile", "1", clip}, "--profile cannot be used with --info"},
        {{"--print-options", "--jobs", "2", clip}, "--jobs cannot be used with --print-options"},
        {{"--quiet=yes", clip}, "--quiet takes no value"},
    };
    for (const TUsageCase& c : cases) {
        SCOPED_TRACE(c.Arguments.join(' ').toStdString());
        const TCliRun run = RunCli(c.Arguments);
        EXPECT_FALSE(run.Crashed);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_TRUE(run.Err.contains(QLatin1String(c.Message))) << run.Err.toStdString();
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
    }
}

TEST(CliInterface, UnusableCatalogueOrSettingsFileEndsWithStatus2BeforeAnyFileIsTouched)
{
    const QString clip = TestMediaPath(TTestMedia::VideoAudioMp4);
    TCliSandbox sandbox;
    const QString folder = sandbox.FilePath("a folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString wrongCode = sandbox.FilePath("wrong-code.ini");
    WriteText(wrongCode, "[settings]\nFormatCode=77\n");
    const QString badVolume = sandbox.FilePath("bad-volume.ini");
    WriteText(badVolume, "[formatInfo0]\nparaVideoEncoder=mpeg4\nparaVolume=loud\n");

    const std::vector<TUsageCase> cases = {
        {{"--catalogue", sandbox.FilePath("missing.ini"), "--settings", sandbox.SettingsFile()},
         "cannot read the format catalogue"},
        {{"--catalogue", folder, "--settings", sandbox.SettingsFile()}, "cannot read the format catalogue"},
        {{"--catalogue", ShippedCatalogue(), "--settings", folder}, "cannot read the settings file"},
        {{"--catalogue", ShippedCatalogue(), "--settings", sandbox.FilePath("no/such/folder/s.ini")},
         "cannot write the settings file"},
        {{"--catalogue", ShippedCatalogue(), "--settings", wrongCode},
         "names profile 77, which does not exist"},
        {{"--catalogue", ShippedCatalogue(), "--settings", badVolume, "--profile", "0"},
         "'loud' is not a valid integer value"},
    };
    for (const TUsageCase& c : cases) {
        for (const char* mode : {"--print-options", "--quiet"}) {
            SCOPED_TRACE(c.Arguments.join(' ').toStdString() + " " + mode);
            const TCliRun run =
                RunCli(c.Arguments + QStringList{"--output-dir", sandbox.OutputFolder(), mode, clip});
            EXPECT_FALSE(run.Crashed);
            EXPECT_EQ(run.ExitCode, 2);
            EXPECT_TRUE(run.Err.contains(QLatin1String(c.Message))) << run.Err.toStdString();
            EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
            EXPECT_TRUE(sandbox.Outputs().isEmpty());
        }
    }
}
