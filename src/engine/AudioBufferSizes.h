#pragma once

#include <cstdint>

// Work and output buffer sizes for one block of decoded audio, with room for
// the rate change and the encoder's frame size. Callers refuse sizes above
// INT32_MAX ("Buffer sizes too large in do_audio_out").
struct TAudioBufferSizes
{
    int64_t Work = 0;   // bytes for the resampled or converted block
    int64_t Output = 0; // bytes for the encoded block
};

struct TAudioBufferShape
{
    int InputBytesPerSample = 2, InputChannels = 0, InputRate = 0;
    int OutputBytesPerSample = 2, OutputChannels = 0, OutputRate = 0;
    int FrameSize = 0;          // encoder frame size in samples, 0 when any size goes
    int CodedBitsPerSample = 0; // fixed bits per coded sample, 0 when not fixed
};

TAudioBufferSizes AudioBufferSizes(int64_t dataSize, const TAudioBufferShape& shape);

bool AudioBufferSizesTooLarge(const TAudioBufferSizes& sizes);
