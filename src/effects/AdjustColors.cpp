#include "effects/AdjustColors.h"

#include "effects/EffectFrame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

using LevelTable = std::array<uint8_t, 256>;

uint8_t ClampToLevel(double value)
{
    if (!(value >= 0.0)) // also catches NaN from an absurd contrast
        return 0;
    return value >= 255.0 ? 255 : static_cast<uint8_t>(value);
}

uint8_t ClampToLevel(int64_t value)
{
    return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
}

LevelTable BuildContrastTable(int contrast)
{
    // At 100 the slope 1 / cos(pi / 2) would be infinite.
    if (contrast == 100)
        contrast = 99;
    const double angle = contrast * std::numbers::pi / 200.0;
    const double slope = contrast > 0 ? 1.0 / std::cos(angle) : std::cos(angle);
    LevelTable table{};
    for (int i = 0; i < 256; ++i) {
        // nearbyint rounds ties to even in the default rounding mode.
        table[i] = ClampToLevel(std::nearbyint((i - 170) * slope + 170.0));
    }
    return table;
}

// Brightness is a gain of B/256 that keeps level 1 in place, fed into the contrast curve.
LevelTable BuildToneTable(int brightness, const LevelTable& contrastTable)
{
    LevelTable table{};
    for (int j = 0; j < 256; ++j) {
        const int64_t n = 256 - int64_t{brightness} + int64_t{brightness} * j;
        table[j] = contrastTable[ClampToLevel(n / 256)]; // '/' truncates towards zero
    }
    return table;
}

// Stored as 16-bit values, as the weights always were; out-of-range saturations wrap like them.
std::array<int32_t, 256> BuildSaturationWeights(int saturation)
{
    std::array<int32_t, 256> weights{};
    for (int m = 0; m < 256; ++m)
        weights[m] = static_cast<uint16_t>(((m + 1) * int64_t{saturation}) >> 8);
    return weights;
}

} // namespace

void AdjustColors(QImage& frame, int brightness, int contrast, int saturation)
{
    RequireEffectFrame(frame);
    const LevelTable toneTable = BuildToneTable(brightness, BuildContrastTable(contrast));
    const std::array<int32_t, 256> weights = BuildSaturationWeights(saturation);

    // A channel becomes toneTable[clamp(base + weights[c])] with base = g - weights[g],
    // g the grey level. The clamp and the tone look-up are folded into one table
    // over every index the weights can produce, and base is looked up by the
    // channel sum, so the pixel pass needs no division and no comparison.
    int32_t lowestBase = INT32_MAX;
    int32_t highestBase = INT32_MIN;
    for (int g = 0; g < 256; ++g) {
        lowestBase = std::min(lowestBase, g - weights[g]);
        highestBase = std::max(highestBase, g - weights[g]);
    }
    const auto [lowestWeight, highestWeight] = std::minmax_element(weights.begin(), weights.end());
    const int32_t offset = -(lowestBase + *lowestWeight);
    std::vector<uint8_t> clampedTone(static_cast<size_t>(highestBase + *highestWeight + offset) + 1);
    for (size_t index = 0; index < clampedTone.size(); ++index)
        clampedTone[index] = toneTable[ClampToLevel(int64_t(index) - offset)];

    std::array<int32_t, 3 * 255 + 1> baseBySum{};
    for (int sum = 0; sum < int(baseBySum.size()); ++sum) {
        const int grey = sum / 3;
        baseBySum[sum] = grey - weights[grey] + offset;
    }

    const int width = frame.width();
    const int height = frame.height();
    const uint8_t* tone = clampedTone.data();
    const int32_t* weight = weights.data();
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = frame.scanLine(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            const int32_t base = baseBySum[pixel[0] + pixel[1] + pixel[2]];
            pixel[0] = tone[base + weight[pixel[0]]];
            pixel[1] = tone[base + weight[pixel[1]]];
            pixel[2] = tone[base + weight[pixel[2]]];
        }
    }
}
