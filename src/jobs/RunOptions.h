#pragma once

#include <QString>

#include <functional>
#include <optional>

class TAVProbe;

// How one Start of a conversion run makes and starts its tasks. The defaults
// are the main window's Start; the command-line converter sets what its
// options choose.
struct TRunOptions
{
    // The profile of every task; absent: "FormatCode" of section "settings" (default 1).
    std::optional<int> ProfileCode;
    // The folder every output goes to; absent: "OutPutDir" of the settings,
    // with the naming's fallback to the default folder.
    std::optional<QString> OutputFolder;
    // Tasks converting at once (StartTask's count); 1: one after the other.
    int ParallelTasks = 1;
    // The zoom of every row; absent: "parazoom" of the profile's settings section (default "lbox").
    std::optional<QString> Zoom;

    // False: a checked file that cannot be opened ends Start with an error
    // and nothing runs. True: a row whose input or output cannot be opened,
    // or that RowProblem refuses, is left out and reported through
    // OnRowLeftOut; the other rows still convert.
    bool LeaveOutFailingRows = false;
    // With LeaveOutFailingRows: the reason a row whose file opened must still
    // be left out, or an empty text when it can convert. Asked before the
    // row is given a destination.
    std::function<QString(int row, TAVProbe& probe)> RowProblem;
    // With LeaveOutFailingRows: a row that was left out, with the reason
    // (the engine's or the probe's message, or RowProblem's).
    std::function<void(int row, const QString& reason)> OnRowLeftOut;
};
