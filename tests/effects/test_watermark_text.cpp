#include "effects/DrawWatermarkText.h"

#include "EffectTestFrames.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <climits>
#include <gtest/gtest.h>

namespace {

TFrameEffectFont TestFont(int points, QColor colour)
{
    TFrameEffectFont font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Size = points;
    font.Color = colour;
    font.Bold = true;
    return font;
}

// The smallest rectangle holding every pixel that differs from the background.
QRect InkRect(const QImage& frame, QColor background)
{
    QRect ink;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (PixelColor(frame, x, y) != background)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

int CountPixels(const QImage& frame, QColor colour)
{
    int count = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            count += PixelColor(frame, x, y) == colour;
    return count;
}

const QColor Background(40, 90, 200);

} // namespace

TEST(WatermarkText, DrawnFromItsTopLeftCornerWithoutBackground)
{
    QImage frame = SolidFrame(160, 60, Background.blue(), Background.green(), Background.red());
    const TFrameEffectFont font = TestFont(16, QColor(250, 250, 0));
    DrawWatermarkText(frame, QStringLiteral("HH"), font, 20, 10);

    QFont qfont(font.Name);
    qfont.setPixelSize(WatermarkTextPixelSize(font.Size));
    qfont.setBold(true);
    const QFontMetrics metrics(qfont);
    const QRect ink = InkRect(frame, Background);
    ASSERT_FALSE(ink.isEmpty());
    // Below and right of the corner, within one line of the font.
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.left(), 20 + metrics.height() / 2);
    EXPECT_GE(ink.top(), 10);
    EXPECT_LE(ink.bottom(), 10 + metrics.height());
    // The glyphs are drawn in the font's colour and the space above the capitals keeps the frame.
    EXPECT_GT(CountPixels(frame, font.Color), 20);
    EXPECT_EQ(PixelColor(frame, 21, 11), Background);
}

// The point size goes through the screen's dots per inch, not the frame's own.
TEST(WatermarkText, SizeFollowsTheScreenNotTheFrame)
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_EQ(WatermarkTextPixelSize(72), qRound(dpi));
    const auto inkHeight = [](int dotsPerMeter) {
        QImage frame = SolidFrame(200, 200, 0, 0, 0);
        frame.setDotsPerMeterX(dotsPerMeter);
        frame.setDotsPerMeterY(dotsPerMeter);
        DrawWatermarkText(frame, QStringLiteral("H"), TestFont(36, Qt::white), 5, 5);
        return InkRect(frame, Qt::black).height();
    };
    const int height = inkHeight(11811); // 300 dots per inch
    EXPECT_EQ(height, inkHeight(2835));  // 72 dots per inch
    QFont reference(QStringLiteral("DejaVu Sans"));
    reference.setPixelSize(WatermarkTextPixelSize(36));
    reference.setBold(true);
    EXPECT_NEAR(height, QFontMetrics(reference).capHeight(), 2);
}

TEST(WatermarkText, ClippedAtTheEdges)
{
    const struct
    {
        const char* what;
        int x, y;
        bool drawsSomething;
    } cases[] = {
        {"runs past the right edge", 70, 5, true},     {"starts before the top-left corner", -8, -6, true},
        {"starts at the frame's width", 80, 0, false}, {"starts below the frame", 0, 40, false},
        {"far off", INT_MAX, INT_MAX, false},          {"far before", INT_MIN, INT_MIN, false},
    };
    for (const auto& c : cases) {
        QImage frame = SolidFrame(80, 40, 0, 0, 0);
        DrawWatermarkText(frame, QStringLiteral("Wide text"), TestFont(14, Qt::white), c.x, c.y);
        EXPECT_EQ(!InkRect(frame, Qt::black).isEmpty(), c.drawsSomething) << c.what;
    }
}

TEST(WatermarkText, NothingToDraw)
{
    const QImage original = PatternFrame(30, 20);
    QImage frame = original.copy();
    DrawWatermarkText(frame, QString(), TestFont(14, Qt::white), 0, 0);
    DrawWatermarkText(frame, QStringLiteral("text"), TestFont(0, Qt::white), 0, 0);
    DrawWatermarkText(frame, QStringLiteral("text"), TestFont(-12, Qt::white), 0, 0);
    EXPECT_TRUE(SamePixels(frame, original));
}
