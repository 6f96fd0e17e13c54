#include "engine/AudioBufferSizes.h"

#include <algorithm>
#include <limits>

TAudioBufferSizes AudioBufferSizes(int64_t dataSize, const TAudioBufferShape& shape)
{
    const int64_t inputFrameBytes = int64_t(shape.InputBytesPerSample) * shape.InputChannels;
    int64_t samples = inputFrameBytes > 0 ? (dataSize + inputFrameBytes - 1) / inputFrameBytes : 0;
    if (shape.InputRate > 0)
        samples = (samples * shape.OutputRate + shape.InputRate) / shape.InputRate;
    // Twice the expected count plus a margin: drift compensation may stretch a block.
    samples = samples * 2 + 10000;
    samples = std::max<int64_t>(samples, shape.FrameSize);

    const int64_t outputFrameBytes = int64_t(shape.OutputBytesPerSample) * shape.OutputChannels;
    TAudioBufferSizes sizes;
    sizes.Work = samples * outputFrameBytes;
    sizes.Output = std::max<int64_t>(sizes.Work, int64_t(shape.FrameSize) * outputFrameBytes);
    if (shape.CodedBitsPerSample > 8 * shape.OutputBytesPerSample)
        sizes.Output = sizes.Output * shape.CodedBitsPerSample / (8 * shape.OutputBytesPerSample);
    sizes.Output += 16384;
    return sizes;
}

bool AudioBufferSizesTooLarge(const TAudioBufferSizes& sizes)
{
    constexpr int64_t limit = std::numeric_limits<int32_t>::max();
    return sizes.Work > limit || sizes.Output > limit;
}
