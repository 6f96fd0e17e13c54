// The muxer's own options (the target presets' "muxrate"): they reach the
// muxer when its header is written, and one the muxer does not take is
// logged rather than lost without a word.

#include "OptionTesting.h"

#include "support/TemporaryFolder.h"
#include "support/TestMedia.h"

#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

struct TPacks
{
    int Count = 0;          // packets of the size asked for
    int WithoutPack = 0;    // packets that do not begin with a pack header
    std::set<int> MuxRates; // of the pack headers, in units of 50 bytes per second
};

// A program stream cut into packets of packetSize bytes, each beginning with
// a pack header: start code 00 00 01 BA, the clock, then the 22-bit program
// mux rate between marker bits (MPEG-2 packs: six bytes of clock and the rate
// before its two markers; MPEG-1 packs: five bytes and the rate between them).
TPacks PacksOf(const QString& path, qsizetype packetSize)
{
    QFile file(path);
    TPacks packs;
    if (!file.open(QIODevice::ReadOnly))
        return packs;
    const QByteArray data = file.readAll();
    const QByteArray startCode("\x00\x00\x01\xba", 4);
    for (qsizetype at = 0; at + packetSize <= data.size(); at += packetSize) {
        ++packs.Count;
        if (data.mid(at, 4) != startCode) {
            ++packs.WithoutPack;
            continue;
        }
        const auto byte = [&](qsizetype i) { return static_cast<int>(static_cast<uint8_t>(data[at + i])); };
        const bool mpeg2 = (byte(4) & 0xc0) == 0x40;
        packs.MuxRates.insert(mpeg2 ? (byte(10) << 14) | (byte(11) << 6) | (byte(12) >> 2)
                                    : ((byte(9) & 0x7f) << 15) | (byte(10) << 7) | (byte(11) >> 1));
    }
    if (data.size() % packetSize != 0)
        ++packs.WithoutPack;
    return packs;
}

// The buffer size bound the system header gives a stream, in bytes; -1 when
// the file has no system header naming it.
int BufferBound(const QString& path, int streamId)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    const qsizetype at = data.indexOf(QByteArray("\x00\x00\x01\xbb", 4));
    if (at < 0 || at + 6 > data.size())
        return -1;
    const auto byte = [&](qsizetype i) { return static_cast<int>(static_cast<uint8_t>(data[at + i])); };
    const qsizetype end = std::min<qsizetype>(at + 6 + ((byte(4) << 8) | byte(5)), data.size());
    // After the fixed fields, three bytes per stream: its id, then the scale bit and a 13-bit bound.
    for (qsizetype entry = 12; at + entry + 3 <= end; entry += 3)
        if (byte(entry) == streamId)
            return (((byte(entry + 1) & 0x1f) << 8) | byte(entry + 2)) *
                   ((byte(entry + 1) & 0x20) ? 1024 : 128);
    return -1;
}

struct TTargetCase
{
    const char* Name;
    const char* Target;
    qsizetype PacketSize; // the preset's "packetsize" (a generic option)
    int MuxRate;          // the preset's "muxrate" (the muxer's own), bits per second
    // The video buffer bound of the system header: the muxer's margin plus the
    // encoder's buffer of the preset; -1 where the format fixes it.
    int VideoBufferBound;
};

class TargetMuxerOptions : public ::testing::TestWithParam<TTargetCase>
{
};

TEST_P(TargetMuxerOptions, ReachTheMuxer)
{
    const TTargetCase& c = GetParam();
    TTemporaryFolder folder;
    const QString output = folder.FilePath("target.mpg");
    std::unique_ptr<TFFmpeg> task = NewTask();
    task->SetVerbose(-1);
    ASSERT_TRUE(task->OpenInputFile(TestMediaPath(TTestMedia::VideoAudioMp4)));
    task->SetOption("target", c.Target);
    task->SetOption("t", "1");
    ASSERT_EQ(task->OpenOutputFile(output, false), 1) << task->LastErrMsg().toStdString();
    TLogCapture log;
    EXPECT_EQ(ThrownMessage([&] { task->Transcode(); }), "");
    task->CloseOpenedEncoders();
    task->CloseOpenedDecoders();
    task->CloseFiles();

    EXPECT_FALSE(log.Mentions(llWarning, "muxrate")) << log.Lines(llWarning).join("\n").toStdString();
    const TPacks packs = PacksOf(output, c.PacketSize);
    ASSERT_GT(packs.Count, 10);
    EXPECT_EQ(packs.WithoutPack, 0);
    // In units of 50 bytes per second, in every pack.
    EXPECT_EQ(packs.MuxRates, std::set<int>{c.MuxRate / 400});
    if (c.VideoBufferBound >= 0) {
        EXPECT_EQ(BufferBound(output, 0xe0), c.VideoBufferBound);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, TargetMuxerOptions,
                         ::testing::Values(TTargetCase{"dvd", "pal-dvd", 2048, 10080000, -1},
                                           TTargetCase{"vcd", "pal-vcd", 2324, 1411200, 6144 + 327680 / 8}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(MuxerOptions, OneTheMuxerDoesNotTakeIsLoggedAsAWarning)
{
    TTemporaryFolder folder;
    std::unique_ptr<TFFmpeg> task = NewTask();
    ASSERT_TRUE(task->OpenInputFile(TestMediaPath(TTestMedia::AudioWav)));
    ASSERT_TRUE(task->SetGenericOption("muxrate", "2000000"));
    ASSERT_EQ(task->OpenOutputFile(folder.FilePath("out.wav"), false), 1) << task->LastErrMsg().toStdString();
    TLogCapture log;
    EXPECT_EQ(ThrownMessage([&] { task->SetUpTranscode(); }), "");
    EXPECT_TRUE(log.Contains(llWarning, "Option muxrate is not an option of the wav muxer; ignored"))
        << log.Lines(llWarning).join("\n").toStdString();
    task->CloseOpenedEncoders();
    task->CloseOpenedDecoders();
    task->CloseFiles();
}

} // namespace
