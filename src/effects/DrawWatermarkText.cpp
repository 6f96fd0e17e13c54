#include "effects/DrawWatermarkText.h"

#include "effects/EffectFrame.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace {

double LogicalScreenDpi()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInch();
    }
    return 96.0;
}

QFont ToQFont(const TFrameEffectFont& font, int pixelSize)
{
    QFont result(font.Name);
    result.setPixelSize(pixelSize);
    result.setBold(font.Bold);
    result.setItalic(font.Italic);
    result.setUnderline(font.Underline);
    result.setStrikeOut(font.StrikeOut);
    return result;
}

} // namespace

int WatermarkTextPixelSize(int points)
{
    return static_cast<int>(std::lround(points * LogicalScreenDpi() / 72.0));
}

void DrawWatermarkText(QImage& frame, const QString& text, const TFrameEffectFont& font, int x, int y)
{
    if (text.isEmpty())
        return;
    RequireEffectFrame(frame);
    const int pixelSize = WatermarkTextPixelSize(font.Size);
    if (pixelSize <= 0)
        return;
    const QFont qfont = ToQFont(font, pixelSize);
    const QFontMetricsF metrics(qfont, &frame);
    const QPointF baseline(x, double(y) + metrics.ascent());

    // Text wholly outside the frame is skipped before painting: far-off
    // positions would overflow the painter's fixed-point coordinates. The
    // margin covers glyph overhangs the bounding box leaves out.
    const QRectF reach = metrics.boundingRect(text).translated(baseline).adjusted(-pixelSize, -pixelSize,
                                                                                  pixelSize, pixelSize);
    if (!reach.intersects(QRectF(frame.rect())))
        return;

    QPainter painter(&frame);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(qfont);
    painter.setPen(font.Color);
    painter.drawText(baseline, text);
}
