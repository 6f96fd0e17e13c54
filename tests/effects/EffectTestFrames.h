#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <stdexcept>

// A 24-bit frame whose pixels, in row order, are the grey levels 0, 1, ... 255
// (then 0, 1, 2 again). Seven pixels a row, so rows carry padding bytes and a
// pass that steps by width * 3 goes wrong.
inline QImage LevelFrame()
{
    QImage frame(7, 37, QImage::Format_BGR888);
    for (int k = 0; k < frame.width() * frame.height(); ++k) {
        uint8_t* pixel = frame.scanLine(k / frame.width()) + (k % frame.width()) * 3;
        pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>(k % 256);
    }
    return frame;
}

// The channel bytes (blue, green, red) of the pixel that held the given level in LevelFrame.
inline const uint8_t* PixelOfLevel(const QImage& frame, int level)
{
    return frame.constScanLine(level / frame.width()) + (level % frame.width()) * 3;
}

inline QImage SolidFrame(int width, int height, uint8_t blue, uint8_t green, uint8_t red)
{
    QImage frame(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = frame.scanLine(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            pixel[0] = blue;
            pixel[1] = green;
            pixel[2] = red;
        }
    }
    return frame;
}

// A frame with a different colour in every pixel, so that any change shows.
inline QImage PatternFrame(int width, int height)
{
    QImage frame(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = frame.scanLine(y);
        for (int x = 0; x < width; ++x, pixel += 3) {
            pixel[0] = static_cast<uint8_t>(x * 7 + y * 3);
            pixel[1] = static_cast<uint8_t>(x * 3 + y * 11 + 40);
            pixel[2] = static_cast<uint8_t>(255 - x * 5 - y);
        }
    }
    return frame;
}

// Pixel bytes only: padding bytes at the row ends are never compared.
inline bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        if (memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 3) != 0)
            return false;
    }
    return true;
}

inline QColor PixelColor(const QImage& frame, int x, int y)
{
    const uint8_t* pixel = frame.constScanLine(y) + x * 3;
    return QColor(pixel[2], pixel[1], pixel[0]);
}

// Saves a picture as a BMP fixture; throws when it cannot be written.
inline QString SaveBmp(const QImage& picture, const QString& path)
{
    if (!picture.save(path, "BMP"))
        throw std::runtime_error("cannot write the BMP fixture " + path.toStdString());
    return path;
}
