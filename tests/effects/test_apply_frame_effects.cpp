#include "effects/ApplyFrameEffects.h"

#include "EffectTestFrames.h"
#include "effects/AdjustColors.h"
#include "effects/AdjustExposure.h"
#include "effects/BlendPicture.h"
#include "effects/DrawWatermarkText.h"
#include "effects/WatermarkPicture.h"
#include "support/TemporaryFolder.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

enum class Step { Colour, Text, Picture };

// Text and picture overlap and the colour step changes both, so every order of
// the three steps gives a different frame.
TFrameEffectParams OverlappingEffects(const QString& picturePath)
{
    TFrameEffectParams params;
    params.WaterMarkText = QStringLiteral("WWW");
    params.TextFont.Name = QStringLiteral("DejaVu Sans");
    params.TextFont.Size = 18;
    params.TextFont.Bold = true;
    params.TextFont.Color = QColor(30, 200, 90);
    params.TextX = 2;
    params.TextY = 2;
    params.WaterMarkImage = picturePath;
    params.ImageX = 10;
    params.ImageY = 6;
    params.ImageAlpha = 120;
    params.TransparentStyle = 1;
    params.Brightness = 380;
    params.Contrast = 30;
    params.Saturation = 330;
    params.Exposure = -60;
    return params;
}

QImage RunSteps(QImage frame, const TFrameEffectParams& params, const std::vector<Step>& order)
{
    const QImage picture = LoadWatermarkPicture(params.WaterMarkImage);
    for (Step step : order) {
        switch (step) {
        case Step::Colour:
            AdjustColors(frame, params.Brightness, params.Contrast, params.Saturation);
            AdjustExposure(frame, float(params.Exposure));
            break;
        case Step::Text:
            DrawWatermarkText(frame, params.WaterMarkText, params.TextFont, params.TextX, params.TextY);
            break;
        case Step::Picture:
            BlendPicture(frame, picture, params.ImageX, params.ImageY, params.ImageAlpha,
                         params.TransparentStyle);
            break;
        }
    }
    return frame;
}

} // namespace

TEST(ApplyFrameEffects, StepOrderFollowsTheProcessFlags)
{
    TTemporaryFolder folder;
    const QString picturePath = SaveBmp(PatternFrame(40, 24), folder.FilePath("mark.bmp"));
    const QImage source = PatternFrame(64, 36);
    const struct
    {
        bool processText, processImage;
        std::vector<Step> order;
    } cases[] = {
        {false, false, {Step::Colour, Step::Text, Step::Picture}},
        {true, false, {Step::Text, Step::Colour, Step::Picture}},
        {false, true, {Step::Picture, Step::Colour, Step::Text}},
        {true, true, {Step::Text, Step::Picture, Step::Colour}},
    };
    std::vector<QImage> expectedFrames;
    for (const auto& c : cases) {
        TFrameEffectParams params = OverlappingEffects(picturePath);
        params.ProcessText = c.processText;
        params.ProcessImage = c.processImage;
        const QImage expected = RunSteps(source.copy(), params, c.order);
        for (const QImage& other : expectedFrames)
            ASSERT_FALSE(SamePixels(expected, other)) << "the fixture does not tell the orders apart";
        expectedFrames.push_back(expected);

        QImage frame = source.copy();
        ApplyFrameEffects(frame, params);
        EXPECT_TRUE(SamePixels(frame, expected))
            << "ProcessText " << c.processText << ", ProcessImage " << c.processImage;
    }
}

// The colour step is the colour pass followed by the exposure pass, which do not commute.
TEST(ApplyFrameEffects, ExposureFollowsTheColourPass)
{
    TFrameEffectParams params;
    params.Brightness = 100;
    params.Contrast = -40;
    params.Exposure = 200;
    QImage expected = PatternFrame(20, 10);
    QImage frame = expected.copy();
    AdjustColors(expected, params.Brightness, params.Contrast, params.Saturation);
    AdjustExposure(expected, float(params.Exposure));
    ApplyFrameEffects(frame, params);
    EXPECT_TRUE(SamePixels(frame, expected));
}

// 255, 0 and 255 are neutral although the tone table's identity is at 256.
TEST(ApplyFrameEffects, NeutralParametersLeaveTheFrameUntouched)
{
    const QImage original = PatternFrame(33, 17);
    QImage frame = original.copy();
    ApplyFrameEffects(frame, TFrameEffectParams());
    EXPECT_TRUE(SamePixels(frame, original));
    EXPECT_EQ(memcmp(frame.constBits(), original.constBits(), size_t(frame.sizeInBytes())), 0);

    // Only the text runs: the neutral colour values do not touch the rest of the frame.
    TFrameEffectParams textOnly;
    textOnly.WaterMarkText = QStringLiteral("x");
    textOnly.TextX = 25;
    ApplyFrameEffects(frame, textOnly);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < 24; ++x)
            ASSERT_EQ(PixelColor(frame, x, y), PixelColor(original, x, y)) << x << "," << y;
}

// A grey text at exposure -255: drawn before the colour step it ends black,
// drawn after it keeps its grey.
TEST(ApplyFrameEffects, TextBeforeTheColourStepIsChangedByIt)
{
    const QColor grey(128, 128, 128);
    for (bool processText : {true, false}) {
        TFrameEffectParams params;
        params.WaterMarkText = QStringLiteral("HHH");
        params.TextFont.Name = QStringLiteral("DejaVu Sans");
        params.TextFont.Size = 20;
        params.TextFont.Bold = true;
        params.TextFont.Color = grey;
        params.TextX = 4;
        params.TextY = 4;
        params.Exposure = -255;
        params.ProcessText = processText;
        QImage frame = SolidFrame(90, 40, 255, 255, 255);
        ApplyFrameEffects(frame, params);

        int greyPixels = 0, blackPixels = 0;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                greyPixels += PixelColor(frame, x, y) == grey;
                blackPixels += PixelColor(frame, x, y) == QColor(Qt::black);
            }
        }
        if (processText) {
            EXPECT_EQ(greyPixels, 0);
            EXPECT_GT(blackPixels, 50);
        } else {
            EXPECT_GT(greyPixels, 50);
            EXPECT_EQ(blackPixels, 0);
        }
    }
}

TEST(ApplyFrameEffects, MissingPictureThrowsAndLeavesTheFrame)
{
    TTemporaryFolder folder;
    TFrameEffectParams params = OverlappingEffects(folder.FilePath("gone.bmp"));
    const QImage original = PatternFrame(40, 30);
    for (bool processImage : {false, true}) {
        params.ProcessImage = processImage;
        QImage frame = original.copy();
        try {
            ApplyFrameEffects(frame, params);
            ADD_FAILURE() << "no exception";
        } catch (const EWatermarkPictureError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(params.WaterMarkImage)) << e.what();
        }
        EXPECT_TRUE(SamePixels(frame, original)) << "ProcessImage " << processImage;
    }
}

TEST(ApplyFrameEffects, RejectsFramesOfAnotherFormat)
{
    TFrameEffectParams params;
    params.Brightness = 300;
    QImage rgb32(8, 8, QImage::Format_RGB32);
    EXPECT_THROW(ApplyFrameEffects(rgb32, params), std::invalid_argument);
}
