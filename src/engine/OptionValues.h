#pragma once

#include <QString>
#include <QtGlobal>

// How option values are read (the conventions every option of the
// dispatcher follows).

// True unless the value is exactly "0" (so an empty value means true).
bool FlagValue(const QString& value);

// A decimal integer; a malformed one throws EConvertError.
int IntegerValue(const QString& value);
qint64 Int64Value(const QString& value);
// A decimal number with "." as the separator; a malformed one throws EConvertError.
float FloatValue(const QString& value);

// A duration (hours:minutes:seconds with fractions, or seconds) or, with
// isDuration false, a date, in microseconds, read by the library's parser.
// A value it rejects throws FFmpegException
// "Invalid duration specification for <option>: <value>" ("date" for dates).
qint64 TimeValue(const QString& optionName, const QString& value, bool isDuration);

// Reading numbers the way C's strtol (base 0) and strtod do: from a position
// in the text, leading blanks skipped, as many characters as form a number;
// none gives 0. The position moves past what was read.
class TNumberScanner
{
public:
    explicit TNumberScanner(const QString& text);

    long ReadLong();    // base 0: decimal, 0x hexadecimal, leading 0 octal
    long ReadDecimal(); // base 10, as atoi
    double ReadDouble();
    void Skip(int count = 1); // skips characters (not past the end)
    bool AtEnd() const { return FPos >= FText.size(); }
    // Moves past the next occurrence of c; false (and no move) when there is none.
    bool SkipPast(char c);

private:
    QByteArray FText;
    qsizetype FPos = 0;
};
