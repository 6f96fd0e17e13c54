#include "media/FrameToBitmap.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A BGR24 picture whose every byte differs from its neighbours, with the given line size.
struct TBgrPicture
{
    TBgrPicture(int width, int height, int lineSize) : Width(width), Height(height), LineSize(lineSize)
    {
        Bytes.resize(static_cast<size_t>(lineSize) * height);
        for (size_t i = 0; i < Bytes.size(); ++i)
            Bytes[i] = static_cast<uint8_t>(i * 7 + 3);
        Data[0] = Bytes.data();
        Linesize[0] = lineSize;
    }
    const uint8_t* Row(int row) const { return Bytes.data() + static_cast<size_t>(row) * LineSize; }

    int Width, Height, LineSize;
    std::vector<uint8_t> Bytes;
    const uint8_t* Data[4] = {};
    int Linesize[4] = {};
};

void ExpectSamePixels(const QImage& bitmap, const TBgrPicture& picture)
{
    ASSERT_EQ(bitmap.format(), QImage::Format_BGR888);
    ASSERT_EQ(bitmap.width(), picture.Width);
    ASSERT_EQ(bitmap.height(), picture.Height);
    for (int row = 0; row < picture.Height; ++row)
        EXPECT_EQ(0, std::memcmp(bitmap.constScanLine(row), picture.Row(row), picture.Width * 3))
            << "row " << row;
}

TEST(FrameToBitmapTest, ABgrPictureOfEvenSizeIsCopiedAsItIs)
{
    TFrameToBitmap converter;
    const TBgrPicture picture(4, 2, 12); // 4 * 3 bytes: already 4-byte aligned rows

    ASSERT_TRUE(FrameToBitmap(converter, picture.Data, picture.Linesize, AV_PIX_FMT_BGR24, 2, 4));

    ExpectSamePixels(converter.Bitmap, picture);
    EXPECT_EQ(converter.ScaleContext, nullptr) << "no conversion on the direct path";
    EXPECT_EQ(converter.Buffer, nullptr);
}

TEST(FrameToBitmapTest, ABgrPictureOfOddWidthGoesThroughTheScaler)
{
    TFrameToBitmap converter;
    const TBgrPicture picture(3, 2, 9);

    ASSERT_TRUE(FrameToBitmap(converter, picture.Data, picture.Linesize, AV_PIX_FMT_BGR24, 2, 3));

    ExpectSamePixels(converter.Bitmap, picture);
    EXPECT_NE(converter.ScaleContext, nullptr);
    EXPECT_NE(converter.Buffer, nullptr);
    EXPECT_EQ(converter.Bitmap.bytesPerLine(), 12) << "bitmap rows are 4-byte aligned";
}

TEST(FrameToBitmapTest, TheBufferOnlyGrowsAndTheScalerIsKept)
{
    TFrameToBitmap converter;
    auto convertGray = [&](int size) {
        std::vector<uint8_t> luma(size * size, 128), chroma(size * size / 4, 128);
        const uint8_t* data[4] = {luma.data(), chroma.data(), chroma.data(), nullptr};
        const int linesize[4] = {size, size / 2, size / 2, 0};
        EXPECT_TRUE(FrameToBitmap(converter, data, linesize, AV_PIX_FMT_YUV420P, size, size));
        const QColor centre = converter.Bitmap.pixelColor(size / 2, size / 2);
        EXPECT_NEAR(centre.red(), 128, 3);
        EXPECT_NEAR(centre.green(), 128, 3);
        EXPECT_NEAR(centre.blue(), 128, 3);
    };

    convertGray(16);
    const uint8_t* buffer = converter.Buffer.get();
    const int bufferSize = converter.BufferSize;
    const SwsContext* scaler = converter.ScaleContext;
    convertGray(16);
    EXPECT_EQ(converter.Buffer.get(), buffer) << "a repeated size allocates nothing";
    EXPECT_EQ(converter.ScaleContext, scaler);

    convertGray(8);
    EXPECT_EQ(converter.Buffer.get(), buffer) << "a smaller picture keeps the buffer";
    EXPECT_EQ(converter.BufferSize, bufferSize);
    EXPECT_EQ(converter.Bitmap.width(), 8);

    convertGray(32);
    EXPECT_GT(converter.BufferSize, bufferSize);

    ResetFrameToBitmap(converter);
    EXPECT_TRUE(converter.Bitmap.isNull());
    EXPECT_EQ(converter.Buffer, nullptr);
    EXPECT_EQ(converter.ScaleContext, nullptr);
}

TEST(FrameToBitmapTest, PicturesThatCannotBeConvertedAreRefused)
{
    TFrameToBitmap converter;
    const TBgrPicture picture(4, 2, 12);
    EXPECT_FALSE(FrameToBitmap(converter, picture.Data, picture.Linesize, AV_PIX_FMT_BGR24, 0, 4));
    EXPECT_FALSE(FrameToBitmap(converter, picture.Data, picture.Linesize, AV_PIX_FMT_BGR24, 2, -4));
    EXPECT_FALSE(FrameToBitmap(converter, picture.Data, picture.Linesize, AV_PIX_FMT_NONE, 2, 4));
}

} // namespace
