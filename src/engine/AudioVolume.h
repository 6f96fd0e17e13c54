#pragma once

#include <cstddef>
#include <cstdint>

// Scales 16-bit samples by volume / 256 (256 = unchanged), rounding and
// clipping to the 16-bit range.
void ScaleAudioVolume(int16_t* samples, size_t count, int volume);
