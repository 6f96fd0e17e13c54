#include "effects/BlendPicture.h"

#include "effects/EffectFrame.h"

#include <algorithm>
#include <cstdint>

namespace {

// The picture's rows (or columns) [first, end) that fall inside the frame. The
// editor never places a picture at a negative position, but a record that does
// must not blend outside the frame: the part before the frame is skipped too.
struct Overlap
{
    int first;
    int end;
    bool empty() const { return end <= first; }
};

Overlap OverlapOf(int position, int pictureExtent, int frameExtent)
{
    const int64_t first = std::max<int64_t>(0, -int64_t{position});
    const int64_t end = std::min<int64_t>(pictureExtent, int64_t{frameExtent} - position);
    return {static_cast<int>(std::min<int64_t>(first, pictureExtent)),
            static_cast<int>(std::max<int64_t>(end, 0))};
}

} // namespace

void BlendPicture(QImage& frame, const QImage& picture, int x, int y, int alpha, int style)
{
    RequireEffectFrame(frame);
    if (picture.isNull())
        return;
    const Overlap rows = OverlapOf(y, picture.height(), frame.height());
    const Overlap columns = OverlapOf(x, picture.width(), frame.width());
    if (rows.empty() || columns.empty())
        return;

    const QImage source =
        picture.format() == QImage::Format_BGR888 ? picture : picture.convertToFormat(QImage::Format_BGR888);
    const int bytes = (columns.end - columns.first) * 3;
    // Out-of-range opacities saturate instead of wrapping the channel bytes.
    const int pictureWeight = std::clamp(alpha, 0, 256);
    const int frameWeight = 256 - pictureWeight;

    for (int r = rows.first; r < rows.end; ++r) {
        const uint8_t* over = source.constScanLine(r) + columns.first * 3;
        uint8_t* under = frame.scanLine(y + r) + (x + columns.first) * 3;
        if (style == 1) {
            for (int i = 0; i < bytes; ++i)
                under[i] = static_cast<uint8_t>((under[i] * frameWeight + over[i] * pictureWeight) >> 8);
        } else {
            for (int i = 0; i < bytes; ++i)
                under[i] = static_cast<uint8_t>(under[i] * over[i] / 255);
        }
    }
}
