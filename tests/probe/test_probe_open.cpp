// Opening, attaching and closing: the probe's state, the failures of Open with
// their messages, the library check, and files whose names the container
// library would misread.
#include "ProbeTesting.h"

#include "media/FFmpegException.h"
#include "media/FFmpegLoader.h"
#include "media/FormatIO.h"
#include "media/UnicodeProtocol.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QDir>
#include <QFileInfo>

namespace {

void ExpectEmptyState(const TAVProbe& probe)
{
    EXPECT_EQ(probe.FormatContext(), nullptr);
    EXPECT_EQ(probe.FileSize(), -1);
    EXPECT_EQ(probe.StreamCount(), -1);
    EXPECT_EQ(probe.ProgramCount(), -1);
    EXPECT_EQ(probe.VideoStreamCount(), -1);
    EXPECT_EQ(probe.AudioStreamCount(), -1);
    EXPECT_EQ(probe.SubtitleStreamCount(), -1);
    EXPECT_EQ(probe.VideoStreamIndex(), -1);
    EXPECT_EQ(probe.AudioStreamIndex(), -1);
    EXPECT_EQ(probe.SubtitleStreamIndex(), -1);
    EXPECT_TRUE(probe.ForcedFormat().isEmpty());
}

void ExpectStateOf(const TAVProbe& probe, const TTestMediaFacts& f, const QString& path)
{
    EXPECT_NE(probe.FormatContext(), nullptr);
    EXPECT_EQ(probe.FileName(), path);
    EXPECT_EQ(probe.FormatName(), f.FormatName);
    EXPECT_EQ(probe.FileSize(), QFileInfo(path).size());
    EXPECT_EQ(probe.StreamCount(), f.StreamCount);
    EXPECT_EQ(probe.ProgramCount(), f.ProgramCount);
    EXPECT_EQ(probe.VideoStreamCount(), f.VideoStreamCount);
    EXPECT_EQ(probe.AudioStreamCount(), f.AudioStreamCount);
    EXPECT_EQ(probe.SubtitleStreamCount(), 0);
    EXPECT_EQ(probe.VideoStreamIndex(), f.VideoStreamIndex);
    EXPECT_EQ(probe.AudioStreamIndex(), f.AudioStreamIndex);
    EXPECT_EQ(probe.SubtitleStreamIndex(), -1);
}

} // namespace

TEST_F(ProbeTest, NewProbeIsEmpty)
{
    ExpectEmptyState(Probe);
    EXPECT_FALSE(Probe.OwnsContext());
    EXPECT_TRUE(Probe.FileName().isEmpty());
}

TEST_F(ProbeTest, OpenCountsStreamsOfEveryFixtureAndCloseResets)
{
    for (const TTestMediaFacts& f : AllTestMedia()) {
        if (!f.Readable)
            continue;
        SCOPED_TRACE(f.Name.toStdString());
        const QString path = TestMediaPath(f.Id);
        ASSERT_TRUE(Probe.Open(path)) << Probe.LastErrMsg().toStdString();
        EXPECT_TRUE(Probe.OwnsContext());
        ExpectStateOf(Probe, f, path);
        Probe.Close();
        ExpectEmptyState(Probe);
    }
}

TEST_F(ProbeTest, OpenClosesThePreviousFileFirst)
{
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::MultiProgramTs)));
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    ASSERT_TRUE(Probe.Open(path));
    ExpectStateOf(Probe, TestMediaFacts(TTestMedia::AudioWav), path);
}

TEST_F(ProbeTest, ForcedFormatIsUsedAndKept)
{
    ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::AudioWav), "wav"));
    EXPECT_EQ(Probe.ForcedFormat(), "wav");
    EXPECT_EQ(Probe.FormatName(), "wav");
    Probe.Close();
    EXPECT_TRUE(Probe.ForcedFormat().isEmpty());
}

TEST_F(ProbeTest, UnknownForcedFormatFailsWithoutLogging)
{
    TProbeLogRecorder log(&Probe);
    EXPECT_FALSE(Probe.Open(TestMediaPath(TTestMedia::AudioWav), "nosuchformat"));
    EXPECT_EQ(Probe.LastErrMsg(), "Unknown input format: nosuchformat");
    EXPECT_TRUE(log.Messages.empty());
    ExpectEmptyState(Probe);
}

TEST_F(ProbeTest, FilesThatCannotBeOpenedFailWithTheirErrorText)
{
    TTemporaryFolder folder;
    const struct
    {
        QString Path;
        QString Reason;
    } cases[] = {
        {TestMediaPath(TTestMedia::Truncated), "Invalid data found when processing input"},
        {folder.FilePath("missing.mp4"), "No such file or directory"},
        {folder.FilePath(QString::fromUtf8("missing ü:ß.mp4")), "No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path.toStdString());
        ASSERT_TRUE(Probe.Open(TestMediaPath(TTestMedia::AudioWav))); // something to close first
        TProbeLogRecorder log(&Probe);
        EXPECT_FALSE(Probe.Open(c.Path));
        const QString expected = c.Path + ": " + c.Reason;
        EXPECT_EQ(Probe.LastErrMsg(), expected);
        ASSERT_EQ(log.Messages.size(), 1u);
        EXPECT_EQ(log.Messages[0].Level, llError);
        EXPECT_EQ(log.Messages[0].Text, expected);
        ExpectEmptyState(Probe);
    }
}

TEST_F(ProbeTest, NamesTheContainerLibraryWouldMisreadOpen)
{
    // Fixtures with ":" and non-ASCII names, and copies with other odd names.
    for (TTestMedia id : {TTestMedia::NonAsciiName, TTestMedia::ColonName}) {
        const QString path = TestMediaPath(id);
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(Probe.Open(path)) << Probe.LastErrMsg().toStdString();
        ExpectStateOf(Probe, TestMediaFacts(id), path);
    }
    TTemporaryFolder folder;
    for (const char* name : {"-leading dash.wav", "it's \"quoted\".wav", "http:not a url.wav"}) {
        const QString path = CopyTestMedia(TTestMedia::AudioWav, folder.FilePath(QString::fromUtf8(name)));
        SCOPED_TRACE(name);
        ASSERT_TRUE(Probe.Open(path)) << Probe.LastErrMsg().toStdString();
        ExpectStateOf(Probe, TestMediaFacts(TTestMedia::AudioWav), path);
    }
}

TEST_F(ProbeTest, RelativeNameWithColonOpensThroughTheUnicodeProtocol)
{
    TTemporaryFolder folder;
    CopyTestMedia(TTestMedia::AudioWav, folder.FilePath("clip:1.wav"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.Path()));
    ASSERT_TRUE(NeedsUnicodeURL("clip:1.wav")); // the library would take "clip" for a protocol
    const bool opened = Probe.Open("clip:1.wav");
    const QString fileName = Probe.FileName();
    const qint64 size = Probe.FileSize();
    Probe.Close();
    QDir::setCurrent(previous);
    EXPECT_TRUE(opened) << Probe.LastErrMsg().toStdString();
    EXPECT_EQ(fileName, "clip:1.wav");
    EXPECT_EQ(size, QFileInfo(TestMediaPath(TTestMedia::AudioWav)).size());
}

TEST_F(ProbeTest, AttachedContextIsInspectedButNeverClosed)
{
    const QString path = TestMediaPath(TTestMedia::VideoAudioMp4);
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(OpenInputFile(&raw, FileNameToURL(path), nullptr, nullptr), 0);
    InputFormatPtr context(raw);
    ASSERT_GE(avformat_find_stream_info(raw, nullptr), 0);

    Probe.Attach(raw);
    EXPECT_FALSE(Probe.OwnsContext());
    EXPECT_EQ(Probe.FormatContext(), raw);
    ExpectStateOf(Probe, TestMediaFacts(TTestMedia::VideoAudioMp4), path);
    Probe.Close();
    ExpectEmptyState(Probe);

    // Still open and usable by its owner; the address sanitizer build would catch a double close.
    EXPECT_EQ(raw->nb_streams, 2u);
    Probe.Attach(raw);
    EXPECT_EQ(Probe.StreamCount(), 2);
    Probe.Attach(nullptr);
    ExpectEmptyState(Probe);
}

TEST_F(ProbeTest, FileSizeComesFromTheFileWhenTheContainerReportsNone)
{
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    AVFormatContext* raw = nullptr;
    ASSERT_EQ(OpenInputFile(&raw, FileNameToURL(path), nullptr, nullptr), 0);
    InputFormatPtr context(raw);
    AVIOContext* io = raw->pb;
    raw->pb = nullptr; // a context without byte I/O reports size 0
    Probe.Attach(raw);
    EXPECT_EQ(Probe.FileSize(), QFileInfo(path).size());

    // An address that names no local file keeps the reported value.
    char* url = raw->url;
    raw->url = av_strdup("http://example.invalid/audio.wav");
    Probe.Attach(raw);
    EXPECT_EQ(Probe.FileSize(), 0);
    Probe.Close();
    av_free(raw->url);
    raw->url = url;
    raw->pb = io;
}

TEST_F(ProbeTest, MissingLibrariesAreRefusedInOrder)
{
    const struct
    {
        TLibraryTypes Unloaded;
        const char* Message;
    } cases[] = {
        {{libAVCodec}, "LibAVCodec not loaded."},
        {{libAVFormat}, "LibAVFormat not loaded."},
        {{libAVUtil}, "LibAVUtil not loaded."},
        {{libSwScale}, "LibSwScale not loaded."},
        {{libSwScale, libAVFormat}, "LibAVFormat not loaded."},
        {{libAVCodec, libAVFormat, libAVUtil, libSwScale}, "LibAVCodec not loaded."},
    };
    const QString path = TestMediaPath(TTestMedia::AudioWav);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        FFLoader().UnloadSet(c.Unloaded);
        for (int step = 0; step < 3; ++step) {
            try {
                if (step == 0)
                    Probe.CheckLibraries();
                else if (step == 1)
                    Probe.Open(path);
                else
                    Probe.Attach(nullptr);
                ADD_FAILURE() << "no exception at step " << step;
            } catch (const FFmpegException& e) {
                EXPECT_STREQ(e.what(), c.Message);
            }
        }
        ASSERT_TRUE(FFLoader().LoadSet(ProbeLibraries)) << FFLoader().LastError().toStdString();
    }
    EXPECT_NO_THROW(Probe.CheckLibraries());
    EXPECT_TRUE(Probe.Open(path));
}
