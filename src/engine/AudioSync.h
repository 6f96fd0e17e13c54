#pragma once

#include <cstdint>

// Where an audio output stands against its input clock, for one block of
// decoded data (16-bit interleaved samples at the input's rate and channels).
struct TAudioClock
{
    double SyncIptsSeconds = 0; // input time of the block, relative to the start time
    int64_t SyncOpts = 0;       // samples handed to the FIFO so far (output rate)
    int64_t FifoSamples = 0;    // samples still waiting in the FIFO
    int InputRate = 0, OutputRate = 0;
    int InputChannels = 0;
    bool IsStart = true; // no insertion or removal made yet
};

enum class TAudioSyncAction {
    None,
    Discard,       // drop ByteCount bytes from the front of the block
    InsertSilence, // put ByteCount zero bytes in front of the block
    Compensate,    // let the resampler stretch or squeeze by Compensation samples
};

struct TAudioSyncDecision
{
    TAudioSyncAction Action = TAudioSyncAction::None;
    int64_t ByteCount = 0;
    int Compensation = 0;
    double Delta = 0; // samples the output is behind (positive) or ahead (negative)
};

// The decision for audioSyncMethod != 0; dataSize is the block's size in bytes.
TAudioSyncDecision DecideAudioSync(const TAudioClock& clock, int audioSyncMethod, double driftThreshold,
                                   int64_t dataSize);

// audioSyncMethod 0: the output counter simply follows the input clock.
int64_t FollowInputClock(const TAudioClock& clock);
