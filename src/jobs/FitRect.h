#pragma once

#include <QRect>

class QImage;
class QPainter;

// Fitting a picture into a box without distorting it, shared by the progress
// window's preview, the crop editor and the snapshot of a preview frame.
//
// Rectangles are taken as left, top, width and height (QRect's x(), y(),
// width(), height()), so right = left + width and bottom = top + height are
// the edges just outside, as pixel boxes are usually counted.

// The largest rectangle with the picture's proportions, centred in the box:
// with a = picture width / box width and b = picture height / box height, the
// side with the larger ratio fills the box and the other is inset by the same
// margin on both sides, the margin rounded to the nearest integer with halves
// going to the even neighbour. A picture or box without area has nothing to
// fit: the result is an empty rectangle at the box's top-left corner.
QRect FitRect(const QRect& picture, const QRect& box);

// Stretch-draws the bitmap into FitRect of its own size and the painter's
// clip rectangle (the whole paint device when no clip is set). A bitmap
// without pixels draws nothing.
void DrawFitted(QPainter& canvas, const QImage& bitmap);
