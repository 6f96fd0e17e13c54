// --info: the probe's own text for each file, and files it cannot open.
#include "cli/CliTesting.h"
#include "media/FFmpegLoader.h"
#include "probe/AVProbe.h"
#include "support/TestMedia.h"

#include <gtest/gtest.h>

namespace {

QString ProbeText(const QString& path)
{
    TAVProbe probe;
    EXPECT_TRUE(probe.LoadLibraries(QString()));
    EXPECT_TRUE(probe.Open(path)) << probe.LastErrMsg().toStdString();
    QString text = probe.InfoText();
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

TEST(CliInfo, PrintsTheProbeTextOfEachFileInTurn)
{
    const QString video = TestMediaPath(TTestMedia::VideoAudioMp4);
    const QString tagged = TestMediaPath(TTestMedia::Tagged);
    const QString programs = TestMediaPath(TTestMedia::MultiProgramTs);
    const TCliRun run = RunCli({"--info", video, tagged, programs});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
    EXPECT_EQ(run.Out, ProbeText(video) + "\n" + ProbeText(tagged) + "\n" + ProbeText(programs));
}

TEST(CliInfo, FilesItCannotOpenAreNamedAndTheOthersStillPrinted)
{
    TTemporaryFolder folder;
    const QString missing = folder.FilePath("missing.mp4");
    const QString damaged = TestMediaPath(TTestMedia::Truncated);
    const QString odd = TestMediaPath(TTestMedia::ColonName);
    const TCliRun run = RunCli({"--info", missing, odd, damaged});
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, ProbeText(odd));
    EXPECT_TRUE(run.Err.contains(missing + ": ")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains("No such file or directory")) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(damaged + ": ")) << run.Err.toStdString();
}
