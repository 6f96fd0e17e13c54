#include "effects/AdjustColors.h"

#include "EffectTestFrames.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct LevelMapping
{
    int from;
    int to;
};

struct ToneCase
{
    const char* what;
    int brightness;
    int contrast;
    std::vector<LevelMapping> levels;
};

} // namespace

// Grey levels keep their grey under any saturation weights with S = 256, so
// each level's output is the tone table's entry for it.
TEST(AdjustColors, ToneAndContrastTables)
{
    const ToneCase cases[] = {
        {"brightness 255 is not the identity",
         255,
         0,
         {{0, 0}, {1, 1}, {2, 1}, {128, 127}, {254, 253}, {255, 254}}},
        {"brightness 255 feeds 2 as 1 and 255 as 254 into contrast -50", 255, -50, {{2, 50}, {255, 229}}},
        {"brightness 256 with contrast -50", 256, -50, {{2, 51}, {255, 230}}},
        {"contrast 100 behaves as 99",
         256,
         100,
         {{0, 0}, {100, 0}, {167, 0}, {168, 43}, {169, 106}, {170, 170}, {171, 234}, {172, 255}, {255, 255}}},
        {"contrast 50", 256, 50, {{0, 0}, {64, 20}, {128, 111}, {170, 170}, {200, 212}}},
        {"contrast -50", 256, -50, {{0, 50}, {64, 95}, {128, 140}, {200, 191}, {255, 230}}},
        {"brightness 512", 512, 0, {{0, 0}, {1, 1}, {2, 3}, {100, 199}, {127, 253}, {128, 255}, {255, 255}}},
    };
    for (const ToneCase& c : cases) {
        QImage frame = LevelFrame();
        AdjustColors(frame, c.brightness, c.contrast, 256);
        for (const LevelMapping& m : c.levels) {
            const uint8_t* pixel = PixelOfLevel(frame, m.from);
            EXPECT_EQ(pixel[0], m.to) << c.what << ", level " << m.from;
            EXPECT_EQ(pixel[1], m.to) << c.what << ", level " << m.from;
            EXPECT_EQ(pixel[2], m.to) << c.what << ", level " << m.from;
        }
    }
}

TEST(AdjustColors, WholeFrameBecomesOneLevel)
{
    const struct
    {
        const char* what;
        int brightness;
        int contrast;
        int level;
    } cases[] = {
        {"brightness 0 gives the contrast table's level 1", 0, 0, 1},
        {"contrast -100 flattens everything to the pivot", 256, -100, 170},
    };
    for (const auto& c : cases) {
        QImage frame = LevelFrame();
        AdjustColors(frame, c.brightness, c.contrast, 256);
        for (int level = 0; level < 256; ++level)
            ASSERT_EQ(PixelOfLevel(frame, level)[1], c.level) << c.what << ", level " << level;
    }
}

TEST(AdjustColors, IdentityAtToneTableNeutral)
{
    QImage frame = PatternFrame(13, 11);
    const QImage original = frame.copy();
    AdjustColors(frame, 256, 0, 256);
    EXPECT_TRUE(SamePixels(frame, original));
}

TEST(AdjustColors, SaturationMovesChannelsAroundTheGreyLevel)
{
    const struct
    {
        int saturation;
        uint8_t blue, green, red;
    } cases[] = {
        {0, 120, 120, 120},
        {512, 0, 80, 255},
        {255, 10, 100, 250},
        {256, 10, 100, 250},
    };
    for (const auto& c : cases) {
        QImage frame = SolidFrame(5, 3, 10, 100, 250);
        AdjustColors(frame, 256, 0, c.saturation);
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                const uint8_t* pixel = frame.constScanLine(y) + x * 3;
                ASSERT_EQ(pixel[0], c.blue) << "saturation " << c.saturation << " at " << x << "," << y;
                ASSERT_EQ(pixel[1], c.green) << "saturation " << c.saturation << " at " << x << "," << y;
                ASSERT_EQ(pixel[2], c.red) << "saturation " << c.saturation << " at " << x << "," << y;
            }
        }
    }
}

// Values no editor produces must still stay inside the tables.
TEST(AdjustColors, AbsurdValuesGiveClampedResults)
{
    const int extremes[] = {INT_MIN, -70000, -1, 513, 70000, INT_MAX};
    for (int value : extremes) {
        QImage frame = PatternFrame(9, 5);
        AdjustColors(frame, value, 0, 256);
        AdjustColors(frame, 256, value, 256);
        AdjustColors(frame, 256, 0, value);
        AdjustColors(frame, value, value, value);
    }
    // A huge brightness saturates every level above 1, as brightness 512 does above 127.
    QImage frame = LevelFrame();
    AdjustColors(frame, INT_MAX, 0, 256);
    EXPECT_EQ(PixelOfLevel(frame, 1)[0], 1);
    EXPECT_EQ(PixelOfLevel(frame, 2)[0], 255);
}

TEST(AdjustColors, RejectsOtherFrameFormats)
{
    QImage rgb32(4, 4, QImage::Format_RGB32);
    EXPECT_THROW(AdjustColors(rgb32, 300, 0, 255), std::invalid_argument);
    QImage empty;
    EXPECT_THROW(AdjustColors(empty, 300, 0, 255), std::invalid_argument);
}
