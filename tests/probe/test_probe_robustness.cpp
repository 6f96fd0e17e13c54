// Damaged media must never crash the probe. Not part of the normal suite (its
// name starts with DISABLED_); run it in the address sanitizer build:
//   build-asan/bin/test_probe --gtest_also_run_disabled_tests --gtest_filter='ProbeRobustness.*'
// Every fixture is cut at 10 lengths and, in 10 other copies, has random bytes
// overwritten (fixed seeds, so a failure can be reproduced). Each damaged file
// must either open, and then answer every query, or fail with a message.
#include "ProbeTesting.h"

#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <random>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Variants 0-4 spread the damage over the whole file, 5-9 over its first 2 KB,
// where the headers the probe reads live.
QByteArray Overwritten(QByteArray bytes, unsigned variant)
{
    std::mt19937 random(20240611u + variant);
    const qsizetype span = variant < 5 ? bytes.size() : std::min<qsizetype>(bytes.size(), 2048);
    const qsizetype count = std::max<qsizetype>(16, span / 200);
    for (qsizetype i = 0; i < count && span > 0; ++i)
        bytes[random() % span] = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Every query the probe offers; none may crash on what Open accepted.
void AskEverything(TAVProbe& probe)
{
    TFileStreamInfo file;
    probe.GetFileStreamInfo(file);
    for (int i = -1; i <= probe.StreamCount(); ++i) {
        TVideoStreamInfo video;
        probe.GetVideoStreamInfo(i, video);
        TAudioStreamInfo audio;
        probe.GetAudioStreamInfo(i, audio);
        probe.IsVideoStream(i);
        probe.IsAudioStream(i);
    }
    (void)probe.InfoText();
    (void)probe.FileName();
    (void)probe.FormatName();
}

using ProbeRobustness = ProbeTest;

} // namespace

TEST_F(ProbeRobustness, DISABLED_DamagedFixturesNeverCrash)
{
    TTemporaryFolder folder;
    int opened = 0, failed = 0;
    for (const TTestMediaFacts& f : AllTestMedia()) {
        const QByteArray original = ReadAll(TestMediaPath(f.Id));
        ASSERT_GT(original.size(), 11) << f.Name.toStdString();
        const QString suffix = QFileInfo(f.FileName).suffix();

        std::vector<std::pair<QString, QByteArray>> damaged;
        for (int k = 1; k <= 10; ++k)
            damaged.emplace_back(QString("cut %1 of 11").arg(k), original.left(original.size() * k / 11));
        for (unsigned v = 0; v < 10; ++v)
            damaged.emplace_back(QString("overwritten %1").arg(v), Overwritten(original, v));

        for (const auto& [what, bytes] : damaged) {
            SCOPED_TRACE(f.Name.toStdString() + ", " + what.toStdString());
            const QString path = folder.FilePath("damaged." + suffix);
            Write(path, bytes);
            if (Probe.Open(path)) {
                ++opened;
                AskEverything(Probe);
            } else {
                ++failed;
                EXPECT_FALSE(Probe.LastErrMsg().isEmpty());
            }
            Probe.Close();
        }
    }
    std::printf("damaged files: %d, opened: %d, refused with a message: %d\n", opened + failed, opened,
                failed);
    EXPECT_EQ(opened + failed, int(AllTestMedia().size()) * 20);
}
