#pragma once

#include <vector>

class TCliConsole;
struct TCliFile;
struct TCliRequest;
struct TRunOptions;

enum class TCliRunOutcome {
    AllConverted,
    SomeFailed,  // each failure was reported with the engine's message
    Interrupted, // Ctrl-C stopped the run
};

// Converts the files through the conversion run the main window's Start
// uses, with the run options of the call: files that cannot be opened or
// refuse the call's edits are reported and left out, the others convert
// --jobs at a time with progress lines while the run goes and, when a file
// is done, its output path on standard output. Ctrl-C stops the run as
// Cancel does. Returns once the run has ended. Throws what the run's set-up
// throws for settings that cannot be used (EConvertError, EIniFileException).
TCliRunOutcome RunCliConversion(std::vector<TCliFile>& files, const TCliRequest& request,
                                const TRunOptions& options, TCliConsole& console);
