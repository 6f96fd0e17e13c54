// The fixtures every media test relies on: each one must hold what its facts
// promise, checked by ffprobe, so a wrong fact is caught here and not as a
// puzzling failure in some other test.
#include "support/FfprobeFacts.h"
#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFileInfo>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

int CountStreams(const QJsonArray& streams, const QString& type)
{
    int n = 0;
    for (const auto& s : streams)
        n += s.toObject().value("codec_type").toString() == type ? 1 : 0;
    return n;
}

QJsonObject FirstStream(const QJsonArray& streams, const QString& type)
{
    for (const auto& s : streams)
        if (s.toObject().value("codec_type").toString() == type)
            return s.toObject();
    return {};
}

} // namespace

TEST(TestMedia, EveryReadableFixtureMatchesItsFacts)
{
    for (const TTestMediaFacts& f : AllTestMedia()) {
        if (!f.Readable)
            continue;
        SCOPED_TRACE(f.Name.toStdString());
        const QString path = TestMediaPath(f.Id);
        ASSERT_TRUE(QFileInfo(path).isFile());
        EXPECT_EQ(QFileInfo(path).fileName(), f.FileName);

        const QJsonObject probe = FfprobeFacts(path);
        const QJsonArray streams = probe.value("streams").toArray();
        EXPECT_EQ(probe.value("format").toObject().value("format_name").toString(), f.FormatName);
        EXPECT_EQ(streams.size(), f.StreamCount);
        EXPECT_EQ(CountStreams(streams, "video"), f.VideoStreamCount);
        EXPECT_EQ(CountStreams(streams, "audio"), f.AudioStreamCount);
        EXPECT_EQ(probe.value("programs").toArray().size(), f.ProgramCount);
        EXPECT_NEAR(probe.value("format").toObject().value("duration").toString().toDouble(),
                    f.DurationSeconds, 0.2);

        if (f.VideoStreamCount > 0) {
            const QJsonObject v = FirstStream(streams, "video");
            EXPECT_EQ(v.value("index").toInt(), f.VideoStreamIndex);
            EXPECT_EQ(v.value("codec_name").toString(), f.VideoCodec);
            EXPECT_EQ(v.value("width").toInt(), f.Width);
            EXPECT_EQ(v.value("height").toInt(), f.Height);
            EXPECT_EQ(v.value("r_frame_rate").toString(),
                      QString("%1/%2").arg(f.FrameRateNum).arg(f.FrameRateDen));
        }
        if (f.AudioStreamCount > 0) {
            const QJsonObject a = FirstStream(streams, "audio");
            EXPECT_EQ(a.value("index").toInt(), f.AudioStreamIndex);
            EXPECT_EQ(a.value("sample_rate").toString().toInt(), f.SampleRate);
            EXPECT_EQ(a.value("channels").toInt(), f.Channels);
        }
    }
}

TEST(TestMedia, TaggedFixtureCarriesItsTags)
{
    const QJsonObject tags =
        FfprobeFacts(TestMediaPath(TTestMedia::Tagged)).value("format").toObject().value("tags").toObject();
    EXPECT_EQ(tags.value("title").toString(), "Clarvix Title");
    EXPECT_EQ(tags.value("artist").toString(), "Clarvix Artist");
    EXPECT_EQ(tags.value("author").toString(), "Clarvix Author");
    EXPECT_EQ(tags.value("album").toString(), "Clarvix Album");
    EXPECT_EQ(tags.value("genre").toString(), "Test Tone");
    EXPECT_EQ(tags.value("comment").toString(), "Generated");
    EXPECT_EQ(tags.value("copyright").toString(), "(c) Nobody");
}

TEST(TestMedia, TruncatedFixtureIsThePrefixOfItsSourceAndUnreadable)
{
    const QString truncated = TestMediaPath(TTestMedia::Truncated);
    EXPECT_EQ(QFileInfo(truncated).size(), 4096);
    EXPECT_GT(QFileInfo(TestMediaPath(TTestMedia::VideoAudioMp4)).size(), 4096);
    EXPECT_THROW(FfprobeFacts(truncated), std::runtime_error);
}

TEST(TestMedia, CopiesAndTemporaryFoldersKeepOddNames)
{
    QString kept;
    {
        TTemporaryFolder folder;
        kept = folder.Path();
        const QString odd = folder.FilePath(QString::fromUtf8("-lead 'quoted' ü:ß.wav"));
        EXPECT_EQ(CopyTestMedia(TTestMedia::AudioWav, odd), odd);
        EXPECT_EQ(QFileInfo(odd).size(), QFileInfo(TestMediaPath(TTestMedia::AudioWav)).size());
    }
    EXPECT_FALSE(QFileInfo::exists(kept));
}
