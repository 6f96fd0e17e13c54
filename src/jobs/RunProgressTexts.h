#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The texts a conversion run shows for one progress report: the progress
// window's labels and bar, the "Progress" column of the task's row, and the
// progress lines of the command-line converter.

// What one progress report says (times in microseconds, sizes in bytes).
struct TProgressValues
{
    qint64 CurrentDuration = 0; // output time reached
    qint64 TotalDuration = -1;  // expected total; 0 or less = unknown
    qint64 CurrentSize = 0;     // bytes written to the output so far
    int TaskIndex = 0;          // 0-based
    int TaskCount = 0;
};

struct TRunProgressTexts
{
    int TaskIndex = 0; // the task reported on, 0-based
    // Whole percent, 0 to 100; empty when the total duration is unknown.
    std::optional<int> Percent;
    int BarPosition = 0; // position of the 0..100 bar
    QString BarText;     // what the bar shows on itself
    QString RowText;     // the row's "Progress" column
    QString Time;        // lblTime
    QString Length;      // lblLength
    QString Size;        // lblSize
    QString TaskNumber;  // lblProgress
    QString File;        // lblOutput
};

// current * 100 div total, kept within 0 to 100: streams end a little apart,
// so the output time can run past the expected total, and a bar or row beyond
// 100% would be wrong. Empty when total is 0 or less (unknown): no percentage
// exists then.
std::optional<int> ProgressPercent(qint64 currentDuration, qint64 totalDuration);

// "20%".
QString PercentText(int percent);
// Whole seconds, truncated: 12 345 678 gives "12 Second".
QString SecondsText(qint64 microseconds);
// Whole kilobytes of 1000 bytes, truncated: 1 234 567 gives "1234 kb".
QString KilobytesText(qint64 bytes);
// "[" + (index + 1) + "/" + count + "]".
QString TaskNumberText(int taskIndex, int taskCount);
// The extension of a path's file name with its dot ("/a/b.c.mp4" gives
// ".mp4"); empty when the name has no ".".
QString FileExtension(const QString& path);
// The source as lblOutput shows it: whole when shorter than 51 characters,
// else its first 44 characters, "..", and its extension.
QString ShortSourceText(const QString& sourcePath);

// All texts of one report for the task's source `sourcePath`.
//
// With a known total the bar stands at the percentage and shows "20%", the
// row shows "20%". With an unknown total (0 or less) there is no percentage:
// the bar stays at 0 and shows the elapsed output time ("12 Second"), the row
// shows the same elapsed time, and the length label stays empty instead of
// claiming a length of "0 Second".
TRunProgressTexts MakeRunProgressTexts(const TProgressValues& values, const QString& sourcePath);

// What the row of a task that ran to its end shows.
QString FinishedRowText();
