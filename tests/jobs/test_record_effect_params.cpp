#include "jobs/RecordEffectParams.h"

#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <gtest/gtest.h>

TEST(RecordEffectParams, FreshRecordRequestsNothing)
{
    const TlvFilesRecord record;
    TFrameEffectParams params;
    EXPECT_FALSE(FillFrameEffectParams(record, params));
    EXPECT_EQ(params.TextFont.Name, QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(params.TextFont.Size, 8);
    EXPECT_EQ(params.TextFont.Color, QColor(Qt::black));
    EXPECT_EQ(params.ImageAlpha, 168);
    EXPECT_EQ(params.TransparentStyle, 1);
    EXPECT_EQ(params.Brightness, 255);
    EXPECT_EQ(params.Saturation, 255);
}

TEST(RecordEffectParams, EveryEffectFieldIsCarried)
{
    TlvFilesRecord record;
    record.WaterMarkText = QStringLiteral("mark");
    record.TextFont.Font = QFont(QStringLiteral("DejaVu Serif"), 17);
    record.TextFont.Font.setBold(true);
    record.TextFont.Font.setItalic(true);
    record.TextFont.Font.setUnderline(true);
    record.TextFont.Font.setStrikeOut(true);
    record.TextFont.Color = QColor(1, 2, 3);
    record.TextX = 11;
    record.TextY = 12;
    record.WaterMarkImage = QStringLiteral("/pictures/mark.bmp");
    record.ImageX = 21;
    record.ImageY = 22;
    record.ImageAlpha = 99;
    record.TransparentStyle = 2;
    record.Brightness = 301;
    record.Contrast = -42;
    record.Saturation = 77;
    record.Exposure = -13;
    record.ProcessText = true;
    record.ProcessImage = true;

    TFrameEffectParams params;
    EXPECT_TRUE(FillFrameEffectParams(record, params));
    EXPECT_EQ(params.WaterMarkText, record.WaterMarkText);
    EXPECT_EQ(params.TextFont.Name, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(params.TextFont.Size, 17);
    EXPECT_EQ(params.TextFont.Color, QColor(1, 2, 3));
    EXPECT_TRUE(params.TextFont.Bold && params.TextFont.Italic && params.TextFont.Underline &&
                params.TextFont.StrikeOut);
    EXPECT_EQ(params.TextX, 11);
    EXPECT_EQ(params.TextY, 12);
    EXPECT_EQ(params.WaterMarkImage, record.WaterMarkImage);
    EXPECT_EQ(params.ImageX, 21);
    EXPECT_EQ(params.ImageY, 22);
    EXPECT_EQ(params.ImageAlpha, 99);
    EXPECT_EQ(params.TransparentStyle, 2);
    EXPECT_EQ(params.Brightness, 301);
    EXPECT_EQ(params.Contrast, -42);
    EXPECT_EQ(params.Saturation, 77);
    EXPECT_EQ(params.Exposure, -13);
    EXPECT_TRUE(params.ProcessText);
    EXPECT_TRUE(params.ProcessImage);
}

TEST(RecordEffectParams, WhatCountsAsAnEffect)
{
    const struct
    {
        const char* what;
        std::function<void(TlvFilesRecord&)> change;
        bool requested;
    } cases[] = {
        {"brightness 254", [](TlvFilesRecord& r) { r.Brightness = 254; }, true},
        {"brightness 256, the tone identity", [](TlvFilesRecord& r) { r.Brightness = 256; }, true},
        {"contrast -1", [](TlvFilesRecord& r) { r.Contrast = -1; }, true},
        {"saturation 256", [](TlvFilesRecord& r) { r.Saturation = 256; }, true},
        {"exposure 1", [](TlvFilesRecord& r) { r.Exposure = 1; }, true},
        {"a text", [](TlvFilesRecord& r) { r.WaterMarkText = QStringLiteral(" "); }, true},
        {"a picture", [](TlvFilesRecord& r) { r.WaterMarkImage = QStringLiteral("a.bmp"); }, true},
        {"order flags alone", [](TlvFilesRecord& r) { r.ProcessText = r.ProcessImage = true; }, false},
        {"placement and blending alone",
         [](TlvFilesRecord& r) {
             r.TextX = r.ImageX = 5;
             r.ImageAlpha = 0;
             r.TransparentStyle = 2;
         },
         false},
    };
    for (const auto& c : cases) {
        TlvFilesRecord record;
        c.change(record);
        TFrameEffectParams params;
        EXPECT_EQ(FillFrameEffectParams(record, params), c.requested) << c.what;
    }
}

TEST(RecordEffectParams, FontGivenInPixelsKeepsASize)
{
    TlvFilesRecord record;
    record.TextFont.Font.setPixelSize(40);
    TFrameEffectParams params;
    FillFrameEffectParams(record, params);
    // 40 pixels are 30 points at 96 dots per inch.
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_NEAR(params.TextFont.Size, 40 * 72 / dpi, 1.0);
}
