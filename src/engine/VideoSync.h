#pragma once

#include <cstdint>

// How often one decoded picture goes to the encoder, from where the input
// clock stands (syncIpts, in encoder frame units) against the output's frame
// counter (syncOpts).
struct TVideoSyncDecision
{
    int FrameCount = 1;   // 0 = drop the picture, 1 = once, n > 1 = n - 1 duplicates
    int64_t SyncOpts = 0; // the output counter to continue from (re-timed when ahead)
};

// videoSyncMethod: 0 re-times every picture and never drops or duplicates;
// 1 keeps a constant frame rate; 2 a variable one; negative picks 2 for
// containers that declare variable frame rates and 1 for the others.
TVideoSyncDecision DecideVideoFrames(double syncIpts, int64_t syncOpts, int videoSyncMethod,
                                     bool variableFrameRateFormat);
