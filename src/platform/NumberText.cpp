#include "platform/NumberText.h"

#include <cmath>
#include <limits>

namespace {

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Parses into a 64-bit value; `bits` bounds the accepted range (32 or 64).
bool parseInteger(const QString& input, int bits, qint64& out)
{
    const QString text = input.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return false;

    const quint64 unsignedLimit = bits == 32 ? 0xFFFFFFFFull : std::numeric_limits<quint64>::max();
    quint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const int base = hex ? 16 : 10;
        const int d = hex ? hexDigit(text[i]) : (text[i].isDigit() && text[i].unicode() < 128 ? text[i].unicode() - '0' : -1);
        if (d < 0)
            return false;
        if (magnitude > (unsignedLimit - static_cast<quint64>(d)) / static_cast<quint64>(base))
            return false;
        magnitude = magnitude * base + d;
    }

    if (hex) {
        // Hexadecimal texts name a bit pattern: $FFFFFFFF is -1 in 32 bits.
        qint64 v = bits == 32 ? static_cast<qint64>(static_cast<qint32>(static_cast<quint32>(magnitude)))
                              : static_cast<qint64>(magnitude);
        out = negative ? -v : v;
        return true;
    }
    const quint64 positiveLimit = bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull;
    if (negative) {
        if (magnitude > positiveLimit + 1)
            return false;
        out = magnitude == positiveLimit + 1 ? (bits == 32 ? std::numeric_limits<qint32>::min()
                                                           : std::numeric_limits<qint64>::min())
                                             : -static_cast<qint64>(magnitude);
    } else {
        if (magnitude > positiveLimit)
            return false;
        out = static_cast<qint64>(magnitude);
    }
    return true;
}

} // namespace

bool TryStrToInt(const QString& text, int& value)
{
    qint64 v = 0;
    if (!parseInteger(text, 32, v))
        return false;
    value = static_cast<int>(v);
    return true;
}

int StrToIntDef(const QString& text, int fallback)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : fallback;
}

int StrToInt(const QString& text)
{
    int v = 0;
    if (!TryStrToInt(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return v;
}

bool TryStrToInt64(const QString& text, qint64& value)
{
    return parseInteger(text, 64, value);
}

qint64 StrToInt64(const QString& text)
{
    qint64 v = 0;
    if (!TryStrToInt64(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return v;
}

bool TryStrToFloat(const QString& text, double& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    // Only plain decimal notation; Qt's parser would also take "inf" and "nan".
    for (QChar c : t) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || u == '.' || u == '-' || u == '+' || u == 'e' || u == 'E'))
            return false;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double StrToFloat(const QString& text)
{
    double v = 0;
    if (!TryStrToFloat(text, v))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text).toStdString());
    return v;
}
