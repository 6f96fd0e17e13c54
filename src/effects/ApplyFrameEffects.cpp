#include "effects/ApplyFrameEffects.h"

#include "effects/AdjustColors.h"
#include "effects/AdjustExposure.h"
#include "effects/BlendPicture.h"
#include "effects/DrawWatermarkText.h"
#include "effects/EffectFrame.h"
#include "effects/WatermarkPicture.h"

void ApplyFrameEffects(QImage& frame, const TFrameEffectParams& params)
{
    if (!RequestsAnyEffect(params))
        return;
    RequireEffectFrame(frame);

    // Read again for every frame and dropped at the end: the file may change between frames.
    const QImage picture =
        WatermarkPictureRequested(params) ? LoadWatermarkPicture(params.WaterMarkImage) : QImage();

    const auto textStep = [&] {
        if (WatermarkTextRequested(params))
            DrawWatermarkText(frame, params.WaterMarkText, params.TextFont, params.TextX, params.TextY);
    };
    const auto pictureStep = [&] {
        if (WatermarkPictureRequested(params))
            BlendPicture(frame, picture, params.ImageX, params.ImageY, params.ImageAlpha,
                         params.TransparentStyle);
    };
    const auto colourStep = [&] {
        if (ColorAdjustmentRequested(params))
            AdjustColors(frame, params.Brightness, params.Contrast, params.Saturation);
        if (ExposureRequested(params))
            AdjustExposure(frame, static_cast<float>(params.Exposure));
    };

    if (params.ProcessText)
        textStep();
    if (params.ProcessImage)
        pictureStep();
    colourStep();
    if (!params.ProcessText)
        textStep();
    if (!params.ProcessImage)
        pictureStep();
}
