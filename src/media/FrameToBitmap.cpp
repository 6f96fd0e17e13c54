#include "media/FrameToBitmap.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cstring>

TFrameToBitmap::~TFrameToBitmap()
{
    ResetFrameToBitmap(*this);
}

namespace {

// Makes the conversion buffer hold a BGR24 picture of the size; it only grows.
bool PrepareBuffer(TFrameToBitmap& converter, int width, int height)
{
    const int needed = av_image_get_buffer_size(AV_PIX_FMT_BGR24, width, height, 1);
    if (needed < 0)
        return false;
    if (!converter.Buffer || converter.BufferSize < needed) {
        converter.Buffer.reset(static_cast<uint8_t*>(av_malloc(needed)));
        converter.BufferSize = converter.Buffer ? needed : 0;
        if (!converter.Buffer)
            return false;
    }
    return av_image_fill_arrays(converter.PictureData, converter.PictureLinesize, converter.Buffer.get(),
                                AV_PIX_FMT_BGR24, width, height, 1) >= 0;
}

} // namespace

bool FrameToBitmap(TFrameToBitmap& converter, const uint8_t* const data[], const int linesize[],
                   AVPixelFormat sourceFormat, int height, int width)
{
    if (width <= 0 || height <= 0 || !data || !data[0])
        return false;
    if (converter.Bitmap.isNull() || converter.Bitmap.width() != width ||
        converter.Bitmap.height() != height) {
        converter.Bitmap = QImage(width, height, QImage::Format_BGR888);
        if (converter.Bitmap.isNull())
            return false;
    }
    const int bitmapLineSize = static_cast<int>(converter.Bitmap.bytesPerLine());

    const bool convert = sourceFormat != AV_PIX_FMT_BGR24 || width % 2 != 0 || height % 2 != 0 ||
                         linesize[0] != bitmapLineSize;
    const uint8_t* source = data[0];
    int sourceLineSize = linesize[0];
    if (convert) {
        // The scaler asserts on formats it cannot read instead of failing.
        if (!sws_isSupportedInput(sourceFormat) || !PrepareBuffer(converter, width, height))
            return false;
        converter.ScaleContext =
            sws_getCachedContext(converter.ScaleContext, width, height, sourceFormat, width, height,
                                 AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!converter.ScaleContext)
            return false;
        sws_scale(converter.ScaleContext, data, linesize, 0, height, converter.PictureData,
                  converter.PictureLinesize);
        source = converter.PictureData[0];
        sourceLineSize = converter.PictureLinesize[0];
    }
    // The converted picture has unpadded rows; copying the bitmap's padded
    // line size from it would read past the end of the buffer on the last row.
    const size_t rowBytes = static_cast<size_t>(std::min(std::abs(sourceLineSize), bitmapLineSize));
    for (int row = 0; row < height; ++row)
        std::memcpy(converter.Bitmap.scanLine(row), source + static_cast<ptrdiff_t>(row) * sourceLineSize,
                    rowBytes);
    return true;
}

bool FrameToBitmap(TFrameToBitmap& converter, const AVFrame* frame)
{
    return FrameToBitmap(converter, frame->data, frame->linesize, static_cast<AVPixelFormat>(frame->format),
                         frame->height, frame->width);
}

void ResetFrameToBitmap(TFrameToBitmap& converter)
{
    converter.Bitmap = QImage();
    converter.Buffer.reset();
    converter.BufferSize = 0;
    std::fill(std::begin(converter.PictureData), std::end(converter.PictureData), nullptr);
    std::fill(std::begin(converter.PictureLinesize), std::end(converter.PictureLinesize), 0);
    sws_freeContext(converter.ScaleContext);
    converter.ScaleContext = nullptr;
    converter.PixFmt = AV_PIX_FMT_BGR24;
    converter.PixelDepth = 24;
}
