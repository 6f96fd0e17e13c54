#include "jobs/ConversionHook.h"

#include "effects/AdjustColors.h"
#include "effects/WatermarkPicture.h"
#include "support/TemporaryFolder.h"

#include <QImage>
#include <cstring>
#include <gtest/gtest.h>

namespace {

QImage DecodedFrame()
{
    QImage frame(37, 21, QImage::Format_BGR888);
    for (int y = 0; y < frame.height(); ++y) {
        uchar* pixel = frame.scanLine(y);
        for (int i = 0; i < frame.width() * 3; ++i)
            pixel[i] = static_cast<uchar>(i * 5 + y * 17);
    }
    return frame;
}

bool SameBytes(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.sizeInBytes() == b.sizeInBytes() &&
           std::memcmp(a.constBits(), b.constBits(), size_t(a.sizeInBytes())) == 0;
}

// Calls the hook the way a task does: fresh flags for every frame, no further
// calls once the hook asked to stop.
int RunFrames(QImage& frame, const TlvFilesRecord& record, int frames)
{
    int calls = 0;
    THookInfo info;
    info.Bitmap = &frame;
    for (int n = 1; n <= frames; ++n) {
        info.FrameNumber = n;
        info.Update = true;
        info.StopHook = false;
        RunConversionHook(&info, record);
        ++calls;
        if (info.StopHook)
            break;
    }
    return calls;
}

} // namespace

TEST(ConversionHook, RecordWithoutEffectsStopsAfterOneFrame)
{
    QImage frame = DecodedFrame();
    const QImage decoded = frame.copy();
    THookInfo info;
    info.Bitmap = &frame;
    RunConversionHook(&info, TlvFilesRecord());
    EXPECT_FALSE(info.Update) << "the untouched bitmap must not be written back";
    EXPECT_TRUE(info.StopHook);
    EXPECT_TRUE(SameBytes(frame, decoded));
    EXPECT_EQ(RunFrames(frame, TlvFilesRecord(), 5), 1);
}

TEST(ConversionHook, RecordWithEffectsChangesEveryFrame)
{
    TlvFilesRecord record;
    record.Brightness = 400;
    QImage frame = DecodedFrame();
    QImage expected = frame.copy();
    AdjustColors(expected, 400, 0, 255);

    THookInfo info;
    info.Bitmap = &frame;
    RunConversionHook(&info, record);
    EXPECT_TRUE(info.Update);
    EXPECT_FALSE(info.StopHook);
    EXPECT_TRUE(SameBytes(frame, expected));
    EXPECT_EQ(RunFrames(frame, record, 5), 5);
}

TEST(ConversionHook, MissingPictureThrowsAndLeavesTheFrame)
{
    TTemporaryFolder folder;
    TlvFilesRecord record;
    record.WaterMarkImage = folder.FilePath("missing.bmp");
    record.WaterMarkText = QStringLiteral("text");
    record.Contrast = 40;
    QImage frame = DecodedFrame();
    const QImage decoded = frame.copy();
    THookInfo info;
    info.Bitmap = &frame;
    try {
        RunConversionHook(&info, record);
        FAIL() << "no exception";
    } catch (const EWatermarkPictureError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(record.WaterMarkImage)) << e.what();
    }
    EXPECT_TRUE(SameBytes(frame, decoded));
    EXPECT_FALSE(info.StopHook) << "the next frame tries again";
}

TEST(ConversionHook, RejectsMissingRecordOrBitmap)
{
    TlvFilesRecord record;
    record.Exposure = 10;
    EXPECT_THROW(RunConversionHook(nullptr, record), std::invalid_argument);
    THookInfo info;
    EXPECT_THROW(RunConversionHook(&info, record), std::invalid_argument);
}
