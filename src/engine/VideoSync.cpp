#include "engine/VideoSync.h"

#include <cmath>

TVideoSyncDecision DecideVideoFrames(double syncIpts, int64_t syncOpts, int videoSyncMethod,
                                     bool variableFrameRateFormat)
{
    TVideoSyncDecision decision;
    decision.SyncOpts = syncOpts;
    if (videoSyncMethod == 0) {
        decision.SyncOpts = std::lrint(syncIpts);
        return decision;
    }
    const double vdelta = syncIpts - static_cast<double>(syncOpts);
    if (vdelta < -1.1)
        decision.FrameCount = 0;
    else if (videoSyncMethod == 2 || (videoSyncMethod < 0 && variableFrameRateFormat)) {
        if (vdelta <= -0.6)
            decision.FrameCount = 0;
        else if (vdelta > 0.6)
            decision.SyncOpts = std::lrint(syncIpts);
    } else if (vdelta > 1.1)
        decision.FrameCount = static_cast<int>(std::lrint(vdelta));
    return decision;
}
