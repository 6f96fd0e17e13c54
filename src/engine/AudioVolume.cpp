#include "engine/AudioVolume.h"

#include <algorithm>

void ScaleAudioVolume(int16_t* samples, size_t count, int volume)
{
    for (size_t i = 0; i < count; ++i) {
        const int64_t scaled = (int64_t(samples[i]) * volume + 128) >> 8;
        samples[i] = static_cast<int16_t>(std::clamp<int64_t>(scaled, -32768, 32767));
    }
}
