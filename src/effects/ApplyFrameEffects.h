#pragma once

#include "effects/FrameEffectParams.h"

#include <QImage>

// Runs the requested effects on a Format_BGR888 frame in their fixed order:
// the text first when ProcessText is set, then the picture when ProcessImage
// is set, then the colour step (colours, then exposure), then the text and the
// picture that were not drawn before it. What is drawn before the colour step
// is changed by it. With neutral parameters the frame is not touched.
// A picture file that cannot be loaded throws EWatermarkPictureError before
// any step has run, so the frame is left as it was.
void ApplyFrameEffects(QImage& frame, const TFrameEffectParams& params);
