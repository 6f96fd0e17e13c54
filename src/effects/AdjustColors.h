#pragma once

#include <QImage>

// Saturation, then brightness gain, then the contrast curve around level 170,
// on every pixel of a Format_BGR888 frame. Neutral: 256, 0, 256 (255 for
// brightness and saturation is close to, but not exactly, the identity).
// Editor ranges: brightness 0..512, contrast -100..100, saturation 0..512;
// other values give defined, clamped results.
void AdjustColors(QImage& frame, int brightness, int contrast, int saturation);
