#pragma once

#include <QColor>
#include <QString>

// The font of the watermark text as a plain value, so that parameters can be
// copied to the conversion thread without sharing a font object.
struct TFrameEffectFont
{
    QString Name = QStringLiteral("MS Sans Serif");
    int Size = 8; // points
    QColor Color = Qt::black;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

// Everything one frame's effect chain needs, filled from a job record or from
// the watermark editor's controls. The defaults are the neutral values.
struct TFrameEffectParams
{
    QString WaterMarkText; // empty = no text
    TFrameEffectFont TextFont;
    int TextX = 0;
    int TextY = 0;
    QString WaterMarkImage; // path of a BMP file; empty = no picture
    int ImageX = 0;
    int ImageY = 0;
    int ImageAlpha = 168;
    int TransparentStyle = 1; // 1 = alpha blend, any other value = multiply blend
    int Brightness = 255;
    int Contrast = 0;
    int Saturation = 255;
    int Exposure = 0;
    bool ProcessText = false;  // the colour step changes the text too
    bool ProcessImage = false; // the colour step changes the picture too
};

// The neutral values are 255, 0 and 255 (not 256, although 256 is the tone
// table's identity): any other value runs the colour pass.
inline bool ColorAdjustmentRequested(const TFrameEffectParams& params)
{
    return params.Brightness != 255 || params.Contrast != 0 || params.Saturation != 255;
}

inline bool ExposureRequested(const TFrameEffectParams& params)
{
    return params.Exposure != 0;
}
inline bool WatermarkTextRequested(const TFrameEffectParams& params)
{
    return !params.WaterMarkText.isEmpty();
}
inline bool WatermarkPictureRequested(const TFrameEffectParams& params)
{
    return !params.WaterMarkImage.isEmpty();
}

// False means the chain would leave every frame exactly as it is.
inline bool RequestsAnyEffect(const TFrameEffectParams& params)
{
    return ColorAdjustmentRequested(params) || ExposureRequested(params) || WatermarkTextRequested(params) ||
           WatermarkPictureRequested(params);
}
