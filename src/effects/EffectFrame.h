#pragma once

#include <QImage>

// Every effect works in place on 24-bit frames, bytes blue, green, red, row 0
// at the top. Throws std::invalid_argument for a null frame or another format,
// rather than writing past rows laid out differently.
void RequireEffectFrame(const QImage& frame);
