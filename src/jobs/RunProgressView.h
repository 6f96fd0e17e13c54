#pragma once

struct TRunProgressTexts;

// The two directions between a conversion run and whatever shows its
// progress: the progress window of the main window, or the progress lines of
// the command-line converter.

// What the run tells its progress display. Called on the main thread.
class IRunProgressView
{
public:
    virtual ~IRunProgressView() = default;
    // One progress report of the running task.
    virtual void ShowProgress(const TRunProgressTexts& texts) = 0;
    // The running task reached its end: the bar goes to 100.
    virtual void ShowTaskFinished() = 0;
    // The after-conversion choices, read when the last task has finished.
    virtual bool OpenFolderAfterRun() const = 0;
    virtual bool ShutDownAfterRun() const = 0;
    // Shows the progress while the run goes and returns when the display has
    // closed (the window is modal; the command line waits for the run's end).
    virtual void ShowDuringRun() = 0;
    // The run is over: the display closes. Nothing happens when it is closed already.
    virtual void CloseView() = 0;
};

// What the progress display may ask of the run. Called on the main thread.
class IRunControl
{
public:
    virtual ~IRunControl() = default;
    virtual void PauseRun() = 0;
    virtual void ResumeRun() = 0;
    // Stops every task and returns once they have ended; the unfinished
    // task's output stays playable and the tasks not yet begun never start.
    virtual void StopRun() = 0;
};
