#include "media/FFmpegLoader.h"
#include "media/FormatIO.h"
#include "media/MediaHelpers.h"
#include "media/UnicodeProtocol.h"
#include "support/FfprobeFacts.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

namespace {

TEST(UnicodeURLTest, NamesTheLibraryWouldMisreadNeedTheProtocol)
{
    const struct
    {
        const char* Name;
        bool Needs;
    } table[] = {
        {"clip:\u00fc.mp4", true},                                      // "clip" is no protocol
        {":leading colon.mp4", true},      {"HTTP://host/a.mp4", true}, // protocols are lower case
        {"http://host/\u00e4.mp4", false}, // a protocol address, whatever follows
        {"udp://239.0.0.1:1234", false},   {"file:plain.mp4", false},
        {"unicode:utf8:x.mp4", false},     {"/tmp/a:b.mp4", false}, // a path: the text before ":" holds "/"
        {"dir/clip:1.mp4", false},         {"-leading dash \u00e9 'quoted'.mp4", false},
    };
    for (const auto& row : table)
        EXPECT_EQ(NeedsUnicodeURL(QString::fromUtf8(row.Name)), row.Needs) << row.Name;
}

TEST(UnicodeURLTest, FileNamesGoThereAndBack)
{
    const QString odd = QString::fromUtf8("clip:\u00fc \u00f6.mp4");
    const std::string url = FileNameToURL(odd);
    EXPECT_EQ(url, "unicode:utf8:" + odd.toUtf8().toStdString());
    EXPECT_TRUE(IsUnicodeURL(url));
    EXPECT_EQ(URLToFileName(url), odd);

    const QString path = QString::fromUtf8("/tmp/\u00fc/a:b.mp4");
    EXPECT_EQ(FileNameToURL(path), path.toUtf8().toStdString());
    EXPECT_EQ(URLToFileName(FileNameToURL(path)), path);

    EXPECT_FALSE(IsUnicodeURL("unicode:utf8:")) << "the bare prefix names no file";
    EXPECT_TRUE(IsUnicodeURL("unicode:utf8:a"));
}

// Reads every packet of an input and writes them to a new file of the given name.
void Remux(const std::string& inputURL, const std::string& outputURL)
{
    AVFormatContext* rawInput = nullptr;
    ASSERT_EQ(OpenInputFile(&rawInput, inputURL, nullptr, nullptr), 0);
    InputFormatPtr input(rawInput);
    ASSERT_GE(avformat_find_stream_info(input.get(), nullptr), 0);

    AVFormatContext* rawOutput = nullptr;
    ASSERT_GE(avformat_alloc_output_context2(&rawOutput, nullptr, "mp4", outputURL.c_str()), 0);
    OutputFormatPtr output(rawOutput);
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = avformat_new_stream(output.get(), nullptr);
        ASSERT_NE(stream, nullptr);
        ASSERT_GE(avcodec_parameters_copy(stream->codecpar, input->streams[i]->codecpar), 0);
        stream->codecpar->codec_tag = 0;
        stream->time_base = input->streams[i]->time_base;
    }
    ASSERT_EQ(OpenOutputIO(output.get(), outputURL), 0);
    ASSERT_GE(avformat_write_header(output.get(), nullptr), 0);
    PacketPtr packet(av_packet_alloc());
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        av_packet_rescale_ts(packet.get(), input->streams[packet->stream_index]->time_base,
                             output->streams[packet->stream_index]->time_base);
        ASSERT_GE(av_interleaved_write_frame(output.get(), packet.get()), 0);
    }
    ASSERT_GE(av_write_trailer(output.get()), 0);
    EXPECT_EQ(CloseOutputIO(output.get()), 0);
}

// Changes the current folder for one scope.
class TCurrentFolder
{
public:
    explicit TCurrentFolder(const QString& path) : FSaved(QDir::currentPath()) { QDir::setCurrent(path); }
    ~TCurrentFolder() { QDir::setCurrent(FSaved); }

private:
    QString FSaved;
};

class UnicodeProtocolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FFLoader().LoadSet(EngineLibraries)) << FFLoader().LastError().toStdString();
    }
    TTemporaryFolder Folder;
};

TEST_F(UnicodeProtocolTest, AFileNamedWithColonAndNonAsciiCharactersIsReadAndWritten)
{
    const QString inputName = QString::fromUtf8("clip:\u00fc \u00f6.mp4");
    const QString outputName = QString::fromUtf8("out:\u00e9 \u4e2d.mp4");
    CopyTestMedia(TTestMedia::VideoAudioMp4, Folder.FilePath(inputName));
    {
        TCurrentFolder inFolder(Folder.Path());
        ASSERT_TRUE(IsUnicodeURL(FileNameToURL(inputName)));
        ASSERT_TRUE(IsUnicodeURL(FileNameToURL(outputName)));
        Remux(FileNameToURL(inputName), FileNameToURL(outputName));
        if (HasFatalFailure())
            return;

        AVFormatContext* rawCopy = nullptr;
        ASSERT_EQ(OpenInputFile(&rawCopy, FileNameToURL(outputName), nullptr, nullptr), 0);
        InputFormatPtr copy(rawCopy);
        ASSERT_GE(avformat_find_stream_info(copy.get(), nullptr), 0);
        EXPECT_EQ(copy->nb_streams, 2u);
        EXPECT_EQ(URLToFileName(copy->url), outputName);
    }
    // What was written is an ordinary, complete file under exactly that name.
    const QString written = Folder.FilePath(outputName);
    ASSERT_TRUE(QFile::exists(written));
    const QJsonObject facts = FfprobeFacts(written);
    EXPECT_EQ(facts["streams"].toArray().size(), 2);
    EXPECT_NEAR(facts["format"].toObject()["duration"].toString().toDouble(),
                TestMediaFacts(TTestMedia::VideoAudioMp4).DurationSeconds, 0.2);

    // A full path with ":" needs no protocol: the library reads it as a path.
    const std::string direct = FileNameToURL(written);
    EXPECT_FALSE(IsUnicodeURL(direct));
    AVFormatContext* rawDirect = nullptr;
    ASSERT_EQ(OpenInputFile(&rawDirect, direct, nullptr, nullptr), 0);
    InputFormatPtr directInput(rawDirect);
}

TEST_F(UnicodeProtocolTest, OddNamesOpenForReading)
{
    const char* const names[] = {"-leading dash.mp4", "it's \"quoted\".mp4",
                                 "a b  c.mp4",        "\u00fc\u00df\u4e2d.mp4",
                                 "a:b.mp4",           ":x.mp4",
                                 "http-like:x.mp4"};
    TCurrentFolder inFolder(Folder.Path());
    for (const char* name : names) {
        const QString fileName = QString::fromUtf8(name);
        // Joined by hand: Qt takes a leading ":" for a resource path.
        CopyTestMedia(TTestMedia::Clip25Fps, Folder.Path() + QLatin1Char('/') + fileName);
        AVFormatContext* context = nullptr;
        EXPECT_EQ(OpenInputFile(&context, FileNameToURL(fileName), nullptr, nullptr), 0) << name;
        InputFormatPtr input(context);
    }
}

TEST_F(UnicodeProtocolTest, AMissingOrDamagedFileFailsWithItsError)
{
    TCurrentFolder inFolder(Folder.Path());
    AVFormatContext* context = nullptr;
    const int missing =
        OpenInputFile(&context, FileNameToURL(QStringLiteral("none:here.mp4")), nullptr, nullptr);
    EXPECT_EQ(missing, AVERROR(ENOENT));
    EXPECT_EQ(context, nullptr);
    EXPECT_EQ(ErrorText(QStringLiteral("none:here.mp4"), missing),
              QStringLiteral("none:here.mp4: No such file or directory"));

    QFile junk(Folder.FilePath(QStringLiteral("junk:data.mp4")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, '\x5a'));
    junk.close();
    const int damaged =
        OpenInputFile(&context, FileNameToURL(QStringLiteral("junk:data.mp4")), nullptr, nullptr);
    EXPECT_LT(damaged, 0);
    EXPECT_EQ(context, nullptr);
}

} // namespace
