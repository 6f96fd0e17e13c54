#pragma once

#include <QImage>

// Blends a picture onto a Format_BGR888 frame with its top-left corner at
// (x, y), channel by channel. Style 1: alpha blend with opacity alpha (0 keeps
// the frame, 255 almost the picture alone). Any other style: multiply (white
// keeps the frame, black makes it black); alpha is unused. Only the part of
// the picture that overlaps the frame is blended. A picture in another format
// is converted to 24 bits first.
void BlendPicture(QImage& frame, const QImage& picture, int x, int y, int alpha, int style);
