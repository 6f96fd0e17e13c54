#include "jobs/FitRect.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct FitCase
{
    const char* Name;
    QRect Picture;
    QRect Box;
    QRect Target; // left, top, width, height
};

// Pixels of the canvas in the colour.
int CountPixels(const QImage& canvas, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            count += canvas.pixel(x, y) == colour ? 1 : 0;
    return count;
}

} // namespace

TEST(FitRect, CentresThePictureWithItsProportions)
{
    const FitCase cases[] = {
        {"wide into square: full width", QRect(0, 0, 320, 240), QRect(0, 0, 400, 400),
         QRect(0, 50, 400, 300)},
        {"tall into square: full height", QRect(0, 0, 240, 320), QRect(0, 0, 400, 400),
         QRect(50, 0, 300, 400)},
        {"same proportions fill the box", QRect(0, 0, 160, 90), QRect(0, 0, 320, 180), QRect(0, 0, 320, 180)},
        {"box away from the origin", QRect(0, 0, 100, 100), QRect(10, 20, 100, 50), QRect(35, 20, 50, 50)},
        {"the picture's own position does not count", QRect(7, 9, 320, 240), QRect(0, 0, 400, 400),
         QRect(0, 50, 400, 300)},
        {"large frame into the progress preview", QRect(0, 0, 1920, 1080), QRect(0, 0, 426, 240),
         QRect(0, 0, 426, 240)},
        {"margin 2.5 rounds to 2", QRect(0, 0, 10, 5), QRect(0, 0, 10, 10), QRect(0, 2, 10, 6)},
        {"margin 3.5 rounds to 4", QRect(0, 0, 10, 3), QRect(0, 0, 10, 10), QRect(0, 4, 10, 2)},
        {"margin 0.5 rounds to 0", QRect(0, 0, 10, 9), QRect(0, 0, 10, 10), QRect(0, 0, 10, 10)},
        {"margin 1.5 rounds to 2 sideways", QRect(0, 0, 7, 10), QRect(0, 0, 10, 10), QRect(2, 0, 6, 10)},
        {"empty picture", QRect(0, 0, 0, 240), QRect(5, 6, 400, 400), QRect(5, 6, 0, 0)},
        {"empty box", QRect(0, 0, 320, 240), QRect(5, 6, 0, 400), QRect(5, 6, 0, 0)},
    };
    for (const FitCase& c : cases)
        EXPECT_EQ(FitRect(c.Picture, c.Box), c.Target) << c.Name;
}

TEST(DrawFitted, StretchesIntoTheFittedPartOfTheWholeCanvas)
{
    QImage canvas(8, 8, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QImage picture(4, 2, QImage::Format_BGR888);
    picture.fill(Qt::red);
    {
        QPainter painter(&canvas);
        DrawFitted(painter, picture);
    }
    // 4x2 into 8x8: full width, margin (8 - 4) / 2 = 2 above and below.
    for (int y = 0; y < 8; ++y) {
        const QRgb expected = (y >= 2 && y < 6) ? qRgb(255, 0, 0) : qRgb(255, 255, 255);
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
    }
}

TEST(DrawFitted, UsesTheClipRectangleAsTheBox)
{
    QImage canvas(8, 8, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QImage picture(4, 2, QImage::Format_BGR888);
    picture.fill(Qt::red);
    {
        QPainter painter(&canvas);
        painter.setClipRect(QRect(4, 0, 4, 8));
        DrawFitted(painter, picture);
    }
    // 4x2 into the 4x8 clip: margin (8 - 2) / 2 = 3 above and below.
    EXPECT_EQ(CountPixels(canvas, qRgb(255, 0, 0)), 8);
    EXPECT_EQ(canvas.pixel(4, 3), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(7, 4), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(4, 2), qRgb(255, 255, 255));
}

TEST(DrawFitted, ABitmapWithoutPixelsDrawsNothing)
{
    QImage canvas(8, 8, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        DrawFitted(painter, QImage());
        DrawFitted(painter, QImage(0, 4, QImage::Format_BGR888));
    }
    EXPECT_EQ(CountPixels(canvas, qRgb(255, 255, 255)), 64);
}
