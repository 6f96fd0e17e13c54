#include "jobs/FitRect.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace {

// Halves go to the even neighbour, whatever rounding mode the thread runs in.
int RoundHalfToEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return static_cast<int>(floor) + 1;
    if (fraction < 0.5)
        return static_cast<int>(floor);
    const int lower = static_cast<int>(floor);
    return (lower % 2 == 0) ? lower : lower + 1;
}

} // namespace

QRect FitRect(const QRect& picture, const QRect& box)
{
    if (picture.width() <= 0 || picture.height() <= 0 || box.width() <= 0 || box.height() <= 0)
        return QRect(box.x(), box.y(), 0, 0);

    const double a = double(picture.width()) / double(box.width());
    const double b = double(picture.height()) / double(box.height());
    int left = box.x();
    int top = box.y();
    int right = box.x() + box.width();
    int bottom = box.y() + box.height();
    if (a >= b) {
        const int m = RoundHalfToEven((box.height() - picture.height() / a) / 2.0);
        top += m;
        bottom -= m;
    } else {
        const int m = RoundHalfToEven((box.width() - picture.width() / b) / 2.0);
        left += m;
        right -= m;
    }
    return QRect(left, top, right - left, bottom - top);
}

void DrawFitted(QPainter& canvas, const QImage& bitmap)
{
    if (bitmap.width() <= 0 || bitmap.height() <= 0)
        return;
    QRect box;
    if (canvas.hasClipping())
        box = canvas.clipBoundingRect().toAlignedRect();
    else if (canvas.device() != nullptr)
        box = QRect(0, 0, canvas.device()->width(), canvas.device()->height());
    const QRect target = FitRect(bitmap.rect(), box);
    if (target.isEmpty())
        return;
    canvas.drawImage(target, bitmap);
}
