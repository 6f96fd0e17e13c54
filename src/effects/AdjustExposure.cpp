#include "effects/AdjustExposure.h"

#include "effects/EffectFrame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

std::array<uint8_t, 256> BuildExposureTable(float exposure)
{
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const double e = std::exp((i / -128.0) * (exposure / 128.0));
        // Below -65536 every level but 255 ends at 0 anyway; the bound keeps an
        // absurd exposure (NaN included) from overflowing the conversion and the product.
        double scaled = (1.0 - e) * 256.0;
        scaled = scaled > 256.0 ? 256.0 : (scaled >= -65536.0 ? scaled : -65536.0);
        const int64_t r = static_cast<int64_t>(std::nearbyint(scaled)); // ties to even
        // Shifting the magnitude truncates towards zero for either sign.
        const int64_t step = r >= 0 ? (r * (255 - i)) >> 8 : -((-r * (255 - i)) >> 8);
        table[i] = static_cast<uint8_t>(std::clamp<int64_t>(i + step, 0, 255));
    }
    return table;
}

} // namespace

void AdjustExposure(QImage& frame, float exposure)
{
    RequireEffectFrame(frame);
    const std::array<uint8_t, 256> table = BuildExposureTable(exposure);
    const int rowBytes = frame.width() * 3;
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* byte = frame.scanLine(y);
        for (int i = 0; i < rowBytes; ++i)
            byte[i] = table[byte[i]];
    }
}
