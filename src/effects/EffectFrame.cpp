#include "effects/EffectFrame.h"

#include <stdexcept>

void RequireEffectFrame(const QImage& frame)
{
    if (frame.isNull())
        throw std::invalid_argument("The frame to apply effects to is empty");
    if (frame.format() != QImage::Format_BGR888)
        throw std::invalid_argument("The frame to apply effects to is not a 24-bit blue-green-red picture");
}
