#include "engine/AudioSync.h"

#include <algorithm>
#include <cmath>

namespace {

double SamplesBehind(const TAudioClock& clock)
{
    return clock.SyncIptsSeconds * clock.OutputRate - static_cast<double>(clock.SyncOpts) -
           static_cast<double>(clock.FifoSamples);
}

} // namespace

TAudioSyncDecision DecideAudioSync(const TAudioClock& clock, int audioSyncMethod, double driftThreshold,
                                   int64_t dataSize)
{
    TAudioSyncDecision decision;
    decision.Delta = SamplesBehind(clock);
    if (std::fabs(decision.Delta) <= 50)
        return decision;

    const double inputDelta = decision.Delta * clock.InputRate / clock.OutputRate;
    const int64_t byteDelta = static_cast<int64_t>(std::trunc(inputDelta)) * 2 * clock.InputChannels;
    if (clock.IsStart || std::fabs(decision.Delta) > driftThreshold * clock.OutputRate) {
        if (byteDelta < 0) {
            decision.Action = TAudioSyncAction::Discard;
            decision.ByteCount = std::min(-byteDelta, dataSize);
        } else {
            decision.Action = TAudioSyncAction::InsertSilence;
            decision.ByteCount = byteDelta;
        }
    } else if (audioSyncMethod > 1) {
        decision.Action = TAudioSyncAction::Compensate;
        const double limit = audioSyncMethod;
        decision.Compensation = static_cast<int>(std::trunc(std::clamp(decision.Delta, -limit, limit)));
    }
    return decision;
}

int64_t FollowInputClock(const TAudioClock& clock)
{
    return std::lrint(clock.SyncIptsSeconds * clock.OutputRate) - clock.FifoSamples;
}
