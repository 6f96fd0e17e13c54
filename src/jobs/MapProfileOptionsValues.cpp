#include "jobs/MapProfileOptionsValues.h"

#include "platform/NumberText.h"

#include <cmath>
#include <limits>

bool IsNumberText(const QString& text)
{
    return IsInteger(text) || IsFloat(text);
}

double NumberTextValue(const QString& text)
{
    int integer = 0;
    if (TryStrToInt(text, integer))
        return integer;
    double real = 0;
    return TryStrToFloat(text, real) ? real : 0.0;
}

int KilobitsToBits(double kilobits)
{
    // Decimal text such as "1.005" is not exact in binary; the small bias keeps
    // it from losing a whole bit per second to truncation. An absurd setting
    // must not overflow; the encoder judges what it gets.
    const double bits = std::trunc(kilobits * 1000.0 + (kilobits > 0 ? 1e-6 : -1e-6));
    if (std::isnan(bits))
        return 0;
    if (bits >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (bits <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(bits);
}
