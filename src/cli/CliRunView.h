#pragma once

#include "jobs/RunProgressTexts.h"
#include "jobs/RunProgressView.h"

#include <QEventLoop>

#include <map>

class TCliConsole;

// The progress display of a conversion run on a command line: one progress
// line per running file on standard error (none with --quiet), no
// after-conversion actions, and an event loop in place of the modal window,
// so that Start returns once the run's end has closed it. Main thread only.
class TCliRunView : public IRunProgressView
{
public:
    TCliRunView(TCliConsole& console, bool quiet) : FConsole(console), FQuiet(quiet) {}

    void ShowProgress(const TRunProgressTexts& texts) override;
    void ShowTaskFinished() override {}
    bool OpenFolderAfterRun() const override { return false; }
    bool ShutDownAfterRun() const override { return false; }
    void ShowDuringRun() override;
    void CloseView() override;

    // A file's task has ended: its line stays as it last was, at 100 % when
    // the file was converted, and is no longer updated.
    void EndProgress(int taskIndex, bool converted);

private:
    TCliConsole& FConsole;
    const bool FQuiet;
    std::map<int, TRunProgressTexts> FLastTexts; // the latest report of each running task
    QEventLoop FLoop;
    bool FClosed = false; // the run's end came before the loop began
};
