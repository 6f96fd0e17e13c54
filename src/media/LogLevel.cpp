#include "media/LogLevel.h"

int LibraryLogLevel(TLogLevel level)
{
    return (static_cast<int>(level) - 1) * 8;
}

TLogLevel LogLevelFromLibrary(int libraryLevel)
{
    // Negative levels are shifted so that -8 and the levels just below 0 round
    // the same way the positive ones do.
    const int value = libraryLevel < 0 ? libraryLevel + 7 : libraryLevel;
    if (value < -8)
        return llQuiet;
    if (value < 48)
        return static_cast<TLogLevel>((value >> 3) + 1);
    return llDebug;
}

QString LogLevelWord(TLogLevel level)
{
    static const char* const words[] = {"quiet",   "panic", "fatal",   "error",
                                        "warning", "info",  "verbose", "debug"};
    return QString::fromLatin1(words[level]);
}
