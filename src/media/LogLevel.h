#pragma once

#include <QString>

// The eight log levels of the media components; the library's numeric level
// of each is (ordinal - 1) * 8.
enum TLogLevel : int { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

// llQuiet -> -8, llPanic -> 0, ..., llDebug -> 48.
int LibraryLogLevel(TLogLevel level);
// -8 and below -> llQuiet, 0..7 -> llPanic, 8..15 -> llFatal, ..., 48 and above -> llDebug.
TLogLevel LogLevelFromLibrary(int libraryLevel);
// "quiet", "panic", "fatal", "error", "warning", "info", "verbose", "debug".
QString LogLevelWord(TLogLevel level);
