#include "effects/BlendPicture.h"

#include "EffectTestFrames.h"

#include <climits>
#include <gtest/gtest.h>

TEST(BlendPicture, ChannelArithmetic)
{
    const struct
    {
        int style;
        int alpha;
        int frameLevel, pictureLevel, result;
    } cases[] = {
        {1, 168, 100, 200, 165}, // (100 * 88 + 200 * 168) >> 8
        {2, 168, 100, 200, 78},  // 100 * 200 div 255
        {3, 0, 100, 200, 78},    // every style but 1 multiplies, whatever the alpha
        {0, 255, 100, 200, 78},
        {1, 255, 100, 200, 199},
        {1, 0, 100, 200, 100},
        {2, 0, 100, 0, 0},
        // An opacity no slider gives saturates instead of wrapping the byte.
        {1, 400, 100, 200, 200},
        {1, -50, 100, 200, 100},
    };
    for (const auto& c : cases) {
        QImage frame = SolidFrame(5, 3, c.frameLevel, c.frameLevel, c.frameLevel);
        const QImage picture = SolidFrame(5, 3, c.pictureLevel, c.pictureLevel, c.pictureLevel);
        BlendPicture(frame, picture, 0, 0, c.alpha, c.style);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                ASSERT_EQ(PixelColor(frame, x, y), QColor(c.result, c.result, c.result))
                    << "style " << c.style << " alpha " << c.alpha << " at " << x << "," << y;
    }
}

TEST(BlendPicture, NeutralBlendsLeaveTheFrame)
{
    const QImage original = PatternFrame(9, 7);
    QImage frame = original.copy();
    BlendPicture(frame, PatternFrame(6, 5), 1, 1, 0, 1);
    EXPECT_TRUE(SamePixels(frame, original)) << "style 1 with alpha 0";
    BlendPicture(frame, SolidFrame(6, 5, 255, 255, 255), 2, 1, 168, 2);
    EXPECT_TRUE(SamePixels(frame, original)) << "style 2 with a white picture";
}

// On a white frame the multiply blend reproduces the picture exactly, so the
// result shows which picture pixel landed on which frame pixel.
TEST(BlendPicture, OnlyTheOverlapIsBlended)
{
    const struct
    {
        const char* what;
        int pictureWidth, pictureHeight, x, y;
    } cases[] = {
        {"inside", 3, 2, 1, 2},
        {"at the right edge", 3, 2, 7, 0},
        {"at the bottom edge", 3, 2, 0, 5},
        {"past the right and bottom", 4, 4, 5, 3},
        {"larger than the frame at 0,0", 12, 9, 0, 0},
        {"negative position", 4, 3, -2, -1},
        {"far off", 4, 3, INT_MAX, INT_MAX},
        {"far before", 4, 3, INT_MIN, INT_MIN},
    };
    const int frameWidth = 7, frameHeight = 5;
    for (const auto& c : cases) {
        QImage frame = SolidFrame(frameWidth, frameHeight, 255, 255, 255);
        const QImage picture = PatternFrame(c.pictureWidth, c.pictureHeight);
        BlendPicture(frame, picture, c.x, c.y, 168, 2);
        for (int y = 0; y < frameHeight; ++y) {
            for (int x = 0; x < frameWidth; ++x) {
                const long long px = (long long)x - c.x, py = (long long)y - c.y;
                const bool covered = px >= 0 && px < c.pictureWidth && py >= 0 && py < c.pictureHeight;
                const QColor expected =
                    covered ? PixelColor(picture, int(px), int(py)) : QColor(255, 255, 255);
                ASSERT_EQ(PixelColor(frame, x, y), expected) << c.what << " at " << x << "," << y;
            }
        }
    }
}

TEST(BlendPicture, PictureOfAnotherFormatIsTakenAs24Bits)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(QColor(200, 100, 50, 10)); // the alpha channel plays no part
    QImage frame = SolidFrame(2, 2, 255, 255, 255);
    BlendPicture(frame, picture, 0, 0, 0, 2);
    EXPECT_EQ(PixelColor(frame, 1, 1), QColor(200, 100, 50));
}
