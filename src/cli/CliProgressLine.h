#pragma once

#include <QString>

struct TRunProgressTexts;

// One progress line of a file, made of the progress window's texts:
// "[1/3] 20%  Current Time: 12 Second  Length: 61 Second  File Size: 1234 kb  File: <source>".
// With an unknown total there is no percentage and no length.
QString CliProgressLine(const TRunProgressTexts& texts);
