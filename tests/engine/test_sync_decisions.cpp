// The frame-rate and audio-clock decisions of the transcode loop, checked on
// their own: which pictures are dropped or duplicated, when silence is put in
// or samples are thrown away, and how much drift the resampler absorbs.

#include "engine/AudioBufferSizes.h"
#include "engine/AudioSync.h"
#include "engine/AudioVolume.h"
#include "engine/VideoSync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

struct TVideoSyncCase
{
    const char* Name;
    double SyncIpts;
    int64_t SyncOpts;
    int Method;
    bool VariableRateFormat;
    int ExpectedFrames;
    int64_t ExpectedSyncOpts;
};

class VideoSyncTable : public ::testing::TestWithParam<TVideoSyncCase>
{
};

TEST_P(VideoSyncTable, DecidesFrameCountAndRetiming)
{
    const TVideoSyncCase& c = GetParam();
    const TVideoSyncDecision d = DecideVideoFrames(c.SyncIpts, c.SyncOpts, c.Method, c.VariableRateFormat);
    EXPECT_EQ(d.FrameCount, c.ExpectedFrames) << c.Name;
    EXPECT_EQ(d.SyncOpts, c.ExpectedSyncOpts) << c.Name;
}

INSTANTIATE_TEST_SUITE_P(Cases, VideoSyncTable,
                         ::testing::Values(
                             // method 0: always once, the counter follows the input
                             TVideoSyncCase{"passthrough far behind", 3.0, 10, 0, false, 1, 3},
                             TVideoSyncCase{"passthrough far ahead", 17.6, 10, 0, false, 1, 18},
                             // constant frame rate
                             TVideoSyncCase{"cfr on time", 10.3, 10, 1, false, 1, 10},
                             TVideoSyncCase{"cfr input behind: drop", 8.8, 10, 1, false, 0, 10},
                             TVideoSyncCase{"cfr just inside the drop limit", 8.95, 10, 1, false, 1, 10},
                             TVideoSyncCase{"cfr input ahead: one dup", 11.5, 10, 1, false, 2, 10},
                             TVideoSyncCase{"cfr input far ahead: three frames", 13.2, 10, 1, false, 3, 10},
                             TVideoSyncCase{"automatic in a cfr container", 11.5, 10, -1, false, 2, 10},
                             // variable frame rate: never duplicates, re-times instead
                             TVideoSyncCase{"vfr slightly behind: drop", 9.3, 10, 2, false, 0, 10},
                             TVideoSyncCase{"vfr ahead: retimed", 11.5, 10, 2, false, 1, 12},
                             TVideoSyncCase{"automatic in a vfr container", 12.4, 10, -1, true, 1, 12},
                             TVideoSyncCase{"vfr far behind: drop", 8.0, 10, -1, true, 0, 10}),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

struct TRateRun
{
    int Dups = 0, Drops = 0, Output = 0;
};

// Feeds `inputFrames` pictures of the input rate through the decision the way
// the video output does: the counter advances by every frame written.
TRateRun RunRateConversion(double inputFps, double outputFps, int inputFrames, int method)
{
    TRateRun run;
    int64_t syncOpts = 0;
    for (int i = 0; i < inputFrames; ++i) {
        const double syncIpts = (i / inputFps) * outputFps;
        const TVideoSyncDecision d = DecideVideoFrames(syncIpts, syncOpts, method, false);
        syncOpts = d.SyncOpts;
        if (d.FrameCount == 0)
            ++run.Drops;
        else if (d.FrameCount > 1)
            run.Dups += d.FrameCount - 1;
        syncOpts += d.FrameCount;
        run.Output += d.FrameCount;
    }
    return run;
}

TEST(VideoSync, TwentyFiveToNtscDuplicatesAboutEverySixthFrame)
{
    const TRateRun run = RunRateConversion(25.0, 30000.0 / 1001, 250, -1);
    EXPECT_EQ(run.Drops, 0);
    EXPECT_NEAR(run.Dups, 250 * (30000.0 / 1001 / 25 - 1), 2);
    EXPECT_NEAR(double(run.Output) / run.Dups, 6.0, 0.2);
}

TEST(VideoSync, NtscToTwentyFiveDropsTheSurplus)
{
    const TRateRun run = RunRateConversion(30000.0 / 1001, 25.0, 300, -1);
    EXPECT_EQ(run.Dups, 0);
    EXPECT_NEAR(run.Drops, 300 * (1 - 25 / (30000.0 / 1001)), 2);
}

TEST(VideoSync, PassthroughNeverDropsOrDuplicates)
{
    for (const auto& [in, out] :
         std::vector<std::pair<double, double>>{{25, 30000.0 / 1001}, {30000.0 / 1001, 25}}) {
        const TRateRun run = RunRateConversion(in, out, 300, 0);
        EXPECT_EQ(run.Dups, 0);
        EXPECT_EQ(run.Drops, 0);
        EXPECT_EQ(run.Output, 300);
    }
}

TAudioClock ClockAt(double iptsSeconds, int64_t syncOpts, bool isStart)
{
    TAudioClock clock;
    clock.SyncIptsSeconds = iptsSeconds;
    clock.SyncOpts = syncOpts;
    clock.FifoSamples = 0;
    clock.InputRate = 44100;
    clock.OutputRate = 48000;
    clock.InputChannels = 2;
    clock.IsStart = isStart;
    return clock;
}

TEST(AudioSync, SmallDeviationsAreLeftAlone)
{
    // 50 samples or less either way: nothing happens, whatever the method.
    for (int method : {1, 2, 1000}) {
        EXPECT_EQ(DecideAudioSync(ClockAt(1.0, 48000 - 50, true), method, 0.1, 4096).Action,
                  TAudioSyncAction::None);
        EXPECT_EQ(DecideAudioSync(ClockAt(1.0, 48000 + 50, true), method, 0.1, 4096).Action,
                  TAudioSyncAction::None);
    }
}

TEST(AudioSync, LateStartIsFilledWithSilenceOfTheInputFormat)
{
    // The stream starts 2 s late: 2 s of silence at the input rate, 16-bit, stereo.
    const TAudioSyncDecision d = DecideAudioSync(ClockAt(2.0, 0, true), 1, 0.1, 4096);
    EXPECT_EQ(d.Action, TAudioSyncAction::InsertSilence);
    EXPECT_EQ(d.ByteCount, 2 * 44100 * 2 * 2);
    EXPECT_DOUBLE_EQ(d.Delta, 96000.0);
}

TEST(AudioSync, SamplesAheadOfTheClockAreDiscardedAtMostTheBlock)
{
    const TAudioSyncDecision d = DecideAudioSync(ClockAt(0.0, 4800, true), 1, 0.1, 1000);
    EXPECT_EQ(d.Action, TAudioSyncAction::Discard);
    EXPECT_EQ(d.ByteCount, 1000); // 0.1 s would be 17640 bytes: capped by the block
    const TAudioSyncDecision partial = DecideAudioSync(ClockAt(0.0, 480, true), 1, 0.1, 100000);
    EXPECT_EQ(partial.ByteCount, 441 * 2 * 2);
}

TEST(AudioSync, DriftAfterTheStartNeedsTheThresholdOrCompensation)
{
    // 100 samples behind, below the 0.1 s threshold, after the first correction.
    const TAudioClock clock = ClockAt(1.0, 48000 - 100, false);
    EXPECT_EQ(DecideAudioSync(clock, 1, 0.1, 4096).Action, TAudioSyncAction::None);

    const TAudioSyncDecision small = DecideAudioSync(clock, 30, 0.1, 4096);
    EXPECT_EQ(small.Action, TAudioSyncAction::Compensate);
    EXPECT_EQ(small.Compensation, 30); // clipped to the method's limit
    const TAudioSyncDecision ahead = DecideAudioSync(ClockAt(1.0, 48000 + 75, false), 1000, 0.1, 4096);
    EXPECT_EQ(ahead.Compensation, -75);

    // Beyond the threshold the block is corrected even after the start.
    const TAudioSyncDecision big = DecideAudioSync(ClockAt(1.0, 48000 - 9600, false), 1000, 0.1, 4096);
    EXPECT_EQ(big.Action, TAudioSyncAction::InsertSilence);
}

TEST(AudioSync, FifoContentCountsAsAlreadyOutput)
{
    TAudioClock clock = ClockAt(1.0, 46000, true);
    clock.FifoSamples = 2000;
    EXPECT_EQ(DecideAudioSync(clock, 1, 0.1, 4096).Action, TAudioSyncAction::None);
    EXPECT_EQ(FollowInputClock(clock), 48000 - 2000);
}

TEST(AudioVolume, ScalesRoundsAndClips)
{
    struct TCase
    {
        int Volume;
        std::vector<int16_t> In, Out;
    };
    const std::vector<TCase> cases{
        {256, {0, 1, -1, 32767, -32768}, {0, 1, -1, 32767, -32768}},
        {512, {1000, -1000, 20000, -20000, 16384}, {2000, -2000, 32767, -32768, 32767}},
        {128, {1000, -1000, 3, -3, 32767, -32768}, {500, -500, 2, -1, 16384, -16384}},
        {0, {1234, -1234}, {0, 0}},
    };
    for (const TCase& c : cases) {
        std::vector<int16_t> samples = c.In;
        ScaleAudioVolume(samples.data(), samples.size(), c.Volume);
        EXPECT_EQ(samples, c.Out) << "volume " << c.Volume;
    }
}

TEST(AudioBufferSizes, RoomForRateChangeFrameSizeAndCodedBits)
{
    TAudioBufferShape shape;
    shape.InputChannels = 2;
    shape.InputRate = 44100;
    shape.OutputBytesPerSample = 4; // float planar, as the AAC encoder wants
    shape.OutputChannels = 2;
    shape.OutputRate = 48000;
    shape.FrameSize = 1024;
    // 4096 bytes = 1024 input samples -> (1024 * 48000 + 44100) / 44100 = 1115
    const TAudioBufferSizes sizes = AudioBufferSizes(4096, shape);
    EXPECT_EQ(sizes.Work, (1115 * 2 + 10000) * 4 * 2);
    EXPECT_EQ(sizes.Output, sizes.Work + 16384);
    EXPECT_FALSE(AudioBufferSizesTooLarge(sizes));

    shape.OutputBytesPerSample = 2;
    shape.CodedBitsPerSample = 24;
    EXPECT_EQ(AudioBufferSizes(4096, shape).Output, (1115 * 2 + 10000) * 2 * 2 * 24 / 16 + 16384);

    EXPECT_TRUE(AudioBufferSizesTooLarge(AudioBufferSizes(std::numeric_limits<int32_t>::max(), shape)));
}

} // namespace
