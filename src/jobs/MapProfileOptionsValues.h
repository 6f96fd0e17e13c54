#pragma once

#include <QString>

// The rules the mapping reads the profile's parameter values by.

// The parameter value that keeps the source's value.
inline const QString AsSource = QStringLiteral("as source");

// Integer text or floating-point text ("." as the separator).
bool IsNumberText(const QString& text);
// The value of number text (integer text read as an integer, so "$10" is 16).
double NumberTextValue(const QString& text);

// A rate in kbit/s as bits per second, truncated toward zero and held within
// the 32-bit range of the option records.
int KilobitsToBits(double kilobits);
