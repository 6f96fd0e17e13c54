// The deinterlacing filter: kept lines, rebuilt lines, edges and refusals.

#include "engine/Deinterlace.h"
#include "media/FFmpegHandles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

FramePtr Picture(AVPixelFormat format, int width, int height)
{
    FramePtr frame(av_frame_alloc());
    frame->format = format;
    frame->width = width;
    frame->height = height;
    EXPECT_GE(av_frame_get_buffer(frame.get(), 0), 0);
    return frame;
}

// Luma value of a row: lines of the two fields far apart, so the filter shows.
uint8_t RowValue(int y)
{
    return uint8_t(y % 2 == 0 ? 40 + y : 200);
}

int Expected(int y, int height)
{
    if (y % 2 == 0)
        return RowValue(y);
    auto at = [&](int row) { return int(RowValue(std::clamp(row, 0, height - 1))); };
    const int sum = -at(y - 2) + 4 * at(y - 1) + 2 * at(y) + 4 * at(y + 1) - at(y + 2);
    return std::clamp((sum + 4) >> 3, 0, 255);
}

TEST(Deinterlace, KeepsEvenLinesAndRebuildsOddOnesFromTheirNeighbours)
{
    const int width = 16, height = 12;
    FramePtr source = Picture(AV_PIX_FMT_YUV420P, width, height);
    for (int y = 0; y < height; ++y)
        memset(source->data[0] + y * source->linesize[0], RowValue(y), width);
    for (int plane = 1; plane < 3; ++plane)
        for (int y = 0; y < height / 2; ++y)
            memset(source->data[plane] + y * source->linesize[plane], 128, width / 2);
    FramePtr target = Picture(AV_PIX_FMT_YUV420P, width, height);
    ASSERT_TRUE(DeinterlacePicture(target.get(), source.get()));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(target->data[0][y * target->linesize[0] + x], Expected(y, height)) << "row " << y;
    // A flat plane stays flat (the filter's weights sum to 8).
    for (int y = 0; y < height / 2; ++y)
        EXPECT_EQ(target->data[1][y * target->linesize[1] + 3], 128);
}

TEST(Deinterlace, RefusesWhatItCannotFilter)
{
    FramePtr packed = Picture(AV_PIX_FMT_RGB24, 16, 16);
    FramePtr packedTarget = Picture(AV_PIX_FMT_RGB24, 16, 16);
    EXPECT_FALSE(DeinterlacePicture(packedTarget.get(), packed.get()));
    FramePtr odd = Picture(AV_PIX_FMT_YUV420P, 18, 16); // width not a multiple of 4
    FramePtr oddTarget = Picture(AV_PIX_FMT_YUV420P, 18, 16);
    EXPECT_FALSE(DeinterlacePicture(oddTarget.get(), odd.get()));
    FramePtr other = Picture(AV_PIX_FMT_YUV420P, 16, 12);
    FramePtr source = Picture(AV_PIX_FMT_YUV420P, 16, 16);
    EXPECT_FALSE(DeinterlacePicture(other.get(), source.get())); // sizes differ
}

} // namespace
