#include "effects/AdjustExposure.h"

#include "EffectTestFrames.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct ExposureCase
{
    float exposure;
    std::vector<std::pair<int, int>> levels; // level -> expected level
};

std::vector<int> ExposedLevels(float exposure)
{
    QImage frame = LevelFrame();
    AdjustExposure(frame, exposure);
    std::vector<int> levels(256);
    for (int level = 0; level < 256; ++level) {
        const uint8_t* pixel = PixelOfLevel(frame, level);
        EXPECT_TRUE(pixel[0] == pixel[1] && pixel[1] == pixel[2]) << "level " << level;
        levels[level] = pixel[0];
    }
    return levels;
}

} // namespace

TEST(AdjustExposure, LevelTable)
{
    const ExposureCase cases[] = {
        {100, {{0, 0}, {1, 2}, {64, 125}, {128, 196}, {192, 235}, {254, 254}, {255, 255}}},
        {-100, {{0, 0}, {64, 0}, {128, 0}, {192, 52}, {254, 251}, {255, 255}}},
        {-255, {{128, 0}, {255, 255}}},
        {512, {{0, 0}, {255, 255}}},
    };
    for (const ExposureCase& c : cases) {
        const std::vector<int> levels = ExposedLevels(c.exposure);
        for (const auto& [from, to] : c.levels)
            EXPECT_EQ(levels[from], to) << "exposure " << c.exposure << ", level " << from;
    }
}

// The smallest exposures move two bands of levels by one step; in between,
// R = 2 and (255 - i) < 128 make the step round down to nothing.
TEST(AdjustExposure, SmallestStepsMoveTwoBands)
{
    const struct
    {
        float exposure;
        int shift;
        std::vector<std::pair<int, int>> bands;
    } cases[] = {
        {1, +1, {{97, 127}, {161, 169}}},
        {-1, -1, {{96, 127}, {160, 169}}},
    };
    for (const auto& c : cases) {
        const std::vector<int> levels = ExposedLevels(c.exposure);
        for (int level = 0; level < 256; ++level) {
            bool moved = false;
            for (const auto& [first, last] : c.bands)
                moved = moved || (level >= first && level <= last);
            EXPECT_EQ(levels[level], moved ? level + c.shift : level)
                << "exposure " << c.exposure << ", level " << level;
        }
    }
}

TEST(AdjustExposure, AbsurdValuesStayClamped)
{
    for (float exposure : {-INFINITY, -1e30f, -100000.0f, 100000.0f, 1e30f, INFINITY}) {
        const std::vector<int> levels = ExposedLevels(exposure);
        EXPECT_EQ(levels[0], 0) << exposure;
        EXPECT_EQ(levels[255], 255) << exposure;
        EXPECT_EQ(levels[128], exposure < 0 ? 0 : 255) << exposure;
    }
}
