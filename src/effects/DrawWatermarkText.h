#pragma once

#include "effects/FrameEffectParams.h"

#include <QImage>
#include <QString>

// Draws one line of text on a Format_BGR888 frame with its top-left corner at
// (x, y), transparent background, clipped at the frame's edges. The point size
// is converted to pixels at the screen's logical dots per inch (96 without a
// screen), so previews and conversions draw the same size. An empty text or a
// size below one pixel draws nothing.
void DrawWatermarkText(QImage& frame, const QString& text, const TFrameEffectFont& font, int x, int y);

// The text height in pixels for a size in points, rounded as the font sizes always were.
int WatermarkTextPixelSize(int points);
