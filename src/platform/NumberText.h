#pragma once

#include <QString>
#include <stdexcept>

// Text-to-number conversion with the rules the settings files and the option
// texts were written for: optional surrounding blanks, an optional sign, and
// decimal digits, or hexadecimal digits after "$" or "0x"/"0X". The whole text
// must convert; 32-bit range only (hexadecimal wraps like an unsigned word).

// Raised where a text that must be a number is not one; its message is the
// one shown to the user, for example "'abc' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool TryStrToInt(const QString& text, int& value);
int StrToIntDef(const QString& text, int fallback);
// Throws EConvertError with "'<text>' is not a valid integer value".
int StrToInt(const QString& text);

bool TryStrToInt64(const QString& text, qint64& value);
// Throws EConvertError with "'<text>' is not a valid integer value".
qint64 StrToInt64(const QString& text);

// Decimal floating point with "." as the separator, optional exponent; the whole text must convert.
bool TryStrToFloat(const QString& text, double& value);
// Throws EConvertError with "'<text>' is not a valid floating point value".
double StrToFloat(const QString& text);

// The text converts entirely to a 32-bit integer (sign allowed).
inline bool IsInteger(const QString& text)
{
    int v = 0;
    return TryStrToInt(text, v);
}

// The text converts entirely to a floating-point number ("." as the separator).
inline bool IsFloat(const QString& text)
{
    double v = 0;
    return TryStrToFloat(text, v);
}
