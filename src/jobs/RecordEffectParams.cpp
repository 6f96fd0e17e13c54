#include "jobs/RecordEffectParams.h"

#include <QFontInfo>

bool FillFrameEffectParams(const TlvFilesRecord& ARecord, TFrameEffectParams& AParams)
{
    AParams.WaterMarkText = ARecord.WaterMarkText;
    const QFont& font = ARecord.TextFont.Font;
    AParams.TextFont.Name = font.family();
    // A font given in pixels reports no point size; its matched font still has one.
    AParams.TextFont.Size = font.pointSize() > 0 ? font.pointSize() : qRound(QFontInfo(font).pointSizeF());
    AParams.TextFont.Color = ARecord.TextFont.Color;
    AParams.TextFont.Bold = font.bold();
    AParams.TextFont.Italic = font.italic();
    AParams.TextFont.Underline = font.underline();
    AParams.TextFont.StrikeOut = font.strikeOut();
    AParams.TextX = ARecord.TextX;
    AParams.TextY = ARecord.TextY;
    AParams.WaterMarkImage = ARecord.WaterMarkImage;
    AParams.ImageX = ARecord.ImageX;
    AParams.ImageY = ARecord.ImageY;
    AParams.ImageAlpha = ARecord.ImageAlpha;
    AParams.TransparentStyle = ARecord.TransparentStyle;
    AParams.Brightness = ARecord.Brightness;
    AParams.Contrast = ARecord.Contrast;
    AParams.Saturation = ARecord.Saturation;
    AParams.Exposure = ARecord.Exposure;
    AParams.ProcessText = ARecord.ProcessText;
    AParams.ProcessImage = ARecord.ProcessImage;
    return RequestsAnyEffect(AParams);
}
