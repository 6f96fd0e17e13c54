#pragma once

#include <vector>

class TCliConsole;
struct TCliRequest;
struct TCliTask;

enum class TCliRunOutcome {
    AllConverted,
    SomeFailed,  // each failure was reported with the engine's message
    Interrupted, // Ctrl-C stopped the run
};

// Converts the prepared files as Start does: one engine task per file
// (AddTask, SetOutputFile), StartTask with --jobs tasks at once, the frame
// hook running each file's effects, progress lines while the run goes and,
// when a file is done, its output path on standard output. Returns once the
// engine has ended the run.
TCliRunOutcome RunCliConversion(std::vector<TCliTask>& tasks, const TCliRequest& request,
                                TCliConsole& console);
