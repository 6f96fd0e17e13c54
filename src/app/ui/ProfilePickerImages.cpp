#include "app/ui/ProfilePickerImages.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

QPixmap drawn(const std::function<void(QPainter&)>& draw)
{
    QImage image(PickerImageSize, PickerImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QPixmap::fromImage(image);
}

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A screen lit from above, shared by the three device icons.
void screen(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(40, 56, 88), 0.8));
    p.setBrush(vertical(r, QColor(140, 186, 240), QColor(38, 92, 170)));
    p.drawRect(r);
}

void musicPlayer(QPainter& p)
{
    const QRectF body(4.5, 1.5, 11, 17);
    p.setPen(QPen(QColor(96, 96, 96), 1));
    p.setBrush(vertical(body, QColor(248, 248, 248), QColor(196, 198, 202)));
    p.drawRoundedRect(body, 2.5, 2.5);
    screen(p, QRectF(6.5, 3.5, 7, 5));
    p.setPen(QPen(QColor(128, 128, 128), 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(10, 13.5), 3.6, 3.6);
    p.setBrush(QColor(208, 208, 208));
    p.drawEllipse(QPointF(10, 13.5), 1.3, 1.3);
}

void phone(QPainter& p)
{
    const QRectF body(5.5, 1.5, 9, 17);
    p.setPen(QPen(QColor(16, 16, 16), 1));
    p.setBrush(vertical(body, QColor(70, 70, 70), QColor(28, 28, 28)));
    p.drawRoundedRect(body, 2, 2);
    screen(p, QRectF(6.6, 3.6, 6.8, 11.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 150));
    p.drawEllipse(QPointF(10, 17), 0.9, 0.9);
}

void television(QPainter& p)
{
    const QRectF cabinet(1.5, 3, 17, 11.5);
    p.setPen(QPen(QColor(32, 32, 32), 1));
    p.setBrush(vertical(cabinet, QColor(90, 90, 90), QColor(40, 40, 40)));
    p.drawRoundedRect(cabinet, 1.5, 1.5);
    screen(p, QRectF(3, 4.5, 14, 8.5));
    p.setPen(QPen(QColor(64, 64, 64), 1.4));
    p.drawLine(QPointF(10, 14.5), QPointF(10, 16.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(72, 72, 72));
    p.drawRoundedRect(QRectF(6, 16.3, 8, 1.8), 0.8, 0.8);
}

void clapperboard(QPainter& p)
{
    const QRectF board(2.5, 8.5, 15, 9.5);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(44, 44, 44));
    p.drawRect(board);
    p.setPen(QPen(QColor(220, 220, 220), 0.8));
    for (double y : {11.5, 14.0, 16.0})
        p.drawLine(QPointF(4.5, y), QPointF(y == 11.5 ? 15.5 : 12.5, y));

    // The hinged bar, tilted open, with its diagonal stripes.
    p.save();
    p.translate(2.5, 8.0);
    p.rotate(-14);
    const QRectF bar(0, -3.4, 15.5, 3.4);
    QPainterPath outline;
    outline.addRect(bar);
    p.setClipPath(outline);
    p.fillRect(bar, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    for (double x = -2; x < 16; x += 4) {
        const QPointF stripe[] = {{x, 0}, {x + 2, 0}, {x + 4, -3.4}, {x + 2, -3.4}};
        p.drawPolygon(stripe, 4);
    }
    p.setClipping(false);
    p.setPen(QPen(Qt::black, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
    p.restore();
}

void filmStrip(QPainter& p)
{
    const QRectF strip(3.5, 1.5, 13, 17);
    p.setPen(QPen(QColor(24, 24, 24), 1));
    p.setBrush(QColor(58, 58, 58));
    p.drawRect(strip);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(235, 235, 235));
    for (double y = 2.8; y < 18; y += 3)
        for (double x : {4.4, 14.1})
            p.drawRect(QRectF(x, y, 1.5, 1.5));
    for (const QRectF& frame : {QRectF(6.7, 3, 6.6, 6.5), QRectF(6.7, 10.5, 6.6, 6.5)}) {
        QLinearGradient sky(frame.topLeft(), frame.bottomLeft());
        sky.setColorAt(0, QColor(120, 180, 240));
        sky.setColorAt(0.6, QColor(250, 210, 120));
        sky.setColorAt(1, QColor(210, 120, 50));
        p.setBrush(sky);
        p.drawRect(frame);
    }
}

void musicalNote(QPainter& p)
{
    const QColor ink(42, 79, 158);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (const QPointF& head : {QPointF(6, 15.2), QPointF(14, 13.2)}) {
        p.save();
        p.translate(head);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), 2.7, 2.0);
        p.restore();
    }
    p.setPen(QPen(ink, 1.3));
    p.drawLine(QPointF(8.3, 14.6), QPointF(8.3, 4.6));
    p.drawLine(QPointF(16.3, 12.6), QPointF(16.3, 2.6));
    p.setPen(Qt::NoPen);
    const QPointF beam[] = {{7.65, 4.2}, {16.95, 2.0}, {16.95, 5.0}, {7.65, 7.2}};
    p.drawPolygon(beam, 4);
}

void foldGlyph(QPainter& p, bool plus)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    // Drawn without smoothing so the 1-pixel strokes stay sharp; the box
    // covers pixels 5 to 13, centred on 9.
    const QRect box(5, 5, 8, 8);
    p.setPen(QColor(120, 130, 150));
    p.setBrush(vertical(box, Qt::white, QColor(214, 220, 230)));
    p.drawRect(box);
    p.setPen(QColor(30, 40, 60));
    p.drawLine(7, 9, 11, 9);
    if (plus)
        p.drawLine(9, 7, 9, 11);
}

} // namespace

QList<QPixmap> CategoryIconList()
{
    return {drawn(musicPlayer),  drawn(phone),     drawn(television),
            drawn(clapperboard), drawn(filmStrip), drawn(musicalNote)};
}

QList<QPixmap> FoldGlyphList()
{
    return {drawn([](QPainter& p) { foldGlyph(p, true); }), drawn([](QPainter& p) { foldGlyph(p, false); })};
}
