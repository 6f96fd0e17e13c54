#pragma once

#include "media/FFmpegHandles.h"

#include <QImage>

// Turns decoded pictures into 24-bit bitmaps (QImage::Format_BGR888: blue,
// green, red, rows 4-byte aligned, row 0 at the top). A converter keeps its
// bitmap, its conversion buffer (which only grows) and its scaler between
// calls, so repeated frames of one size allocate nothing.
struct TFrameToBitmap
{
    AVPixelFormat PixFmt = AV_PIX_FMT_BGR24;
    int PixelDepth = 24;
    QImage Bitmap; // null until the first conversion
    AVMemoryPtr<uint8_t> Buffer;
    int BufferSize = 0;
    uint8_t* PictureData[4] = {}; // a BGR24 picture over Buffer
    int PictureLinesize[4] = {};
    SwsContext* ScaleContext = nullptr; // cached; freed by ResetFrameToBitmap

    TFrameToBitmap() = default;
    ~TFrameToBitmap();
    TFrameToBitmap(const TFrameToBitmap&) = delete;
    TFrameToBitmap& operator=(const TFrameToBitmap&) = delete;
};

// Converts a picture of the given pixel format and size into converter.Bitmap.
// A BGR24 picture of even width and height whose line size matches the
// bitmap's is copied as it is; anything else goes through the scaler. Returns
// false when no scaler can be made for it (or the size is not positive).
bool FrameToBitmap(TFrameToBitmap& converter, const uint8_t* const data[], const int linesize[],
                   AVPixelFormat sourceFormat, int height, int width);
bool FrameToBitmap(TFrameToBitmap& converter, const AVFrame* frame);

// Frees the bitmap, the buffer and the scaler and restores the defaults.
void ResetFrameToBitmap(TFrameToBitmap& converter);
