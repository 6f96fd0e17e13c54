#include "engine/Deinterlace.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>

namespace {

bool Supported(int format)
{
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUV411P:
    case AV_PIX_FMT_GRAY8:
        return true;
    default:
        return false;
    }
}

uint8_t Filtered(int above2, int above1, int centre, int below1, int below2)
{
    const int value = (-above2 + 4 * above1 + 2 * centre + 4 * below1 - below2 + 4) >> 3;
    return uint8_t(std::clamp(value, 0, 255));
}

void DeinterlacePlane(uint8_t* target, int targetStride, const uint8_t* source, int sourceStride, int width,
                      int height)
{
    auto row = [&](int y) { return source + ptrdiff_t(std::clamp(y, 0, height - 1)) * sourceStride; };
    for (int y = 0; y < height; ++y) {
        uint8_t* out = target + ptrdiff_t(y) * targetStride;
        if (y % 2 == 0) {
            memcpy(out, row(y), size_t(width));
            continue;
        }
        const uint8_t *a2 = row(y - 2), *a1 = row(y - 1), *c = row(y), *b1 = row(y + 1), *b2 = row(y + 2);
        for (int x = 0; x < width; ++x)
            out[x] = Filtered(a2[x], a1[x], c[x], b1[x], b2[x]);
    }
}

} // namespace

bool DeinterlacePicture(AVFrame* target, const AVFrame* source)
{
    if (!Supported(source->format) || source->width % 4 != 0 || source->height % 4 != 0 ||
        target->format != source->format || target->width != source->width ||
        target->height != source->height)
        return false;
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(AVPixelFormat(source->format));
    const int planes = source->format == AV_PIX_FMT_GRAY8 ? 1 : 3;
    for (int plane = 0; plane < planes; ++plane) {
        const int width =
            plane == 0 ? source->width : AV_CEIL_RSHIFT(source->width, descriptor->log2_chroma_w);
        const int height =
            plane == 0 ? source->height : AV_CEIL_RSHIFT(source->height, descriptor->log2_chroma_h);
        DeinterlacePlane(target->data[plane], target->linesize[plane], source->data[plane],
                         source->linesize[plane], width, height);
    }
    return true;
}
