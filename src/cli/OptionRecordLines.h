#pragma once

#include <QStringList>

struct TInputOptions;
struct TOutputOptions;

// The option records of one task as "Field=value" lines, every field in the
// order of the record (the metadata fields as "Info.Title" and so on).
// Texts are written as they are, with line breaks shown as "<CRLF>" (the
// records' own line mark) so one field stays one line; numbers in decimal
// (times in microseconds, -9223372036854775808 being "not set"); Booleans as
// "true" or "false".
QStringList OptionRecordLines(const TInputOptions& input);
QStringList OptionRecordLines(const TOutputOptions& output);
