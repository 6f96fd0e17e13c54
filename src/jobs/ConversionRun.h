#pragma once

#include "engine/EventRecords.h"
#include "jobs/OutputNaming.h"
#include "jobs/RunOptions.h"
#include "jobs/RunProgressView.h"
#include "jobs/TerminateQueue.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class IRunHost;
class TFFmpegVCL;
struct TRunProfile;
struct TlvFilesRecord;

// One conversion run from the checked rows of a file list: the Start command
// and the engine's event handlers, shared by the main window and the
// command-line converter so that both convert a row the same way.
//
// Start turns every checked row, in list order, into one engine task (probe,
// destination name, zoom, option records, AddTask, SetOutputFile) and starts
// them one at a time (TRunOptions says otherwise for the command line). A
// Start that fails while it sets up its tasks discards them at once, and with
// them the empty output files it created. Progress reports update the row and the progress
// display; each task's end marks its row; after the last task the chosen
// after-conversion actions run; the end of the run clears the engine's tasks
// and closes the display.
//
// Threads: everything runs on the main thread except the frame hook, which
// runs on the engine's worker and reaches the task's job record through a
// table made at Start, never through the list. Termination notices arrive on
// the engine's own threads and are brought into the main thread in order
// (TTerminateQueue) before they touch a row or a window.
//
// The settings file and the catalogue are those of the application context
// (GlobalObject). The run must go before the engine and the host.
class TConversionRun : public IRunControl
{
public:
    // Installs the four event handlers on the engine and switches its
    // preview pictures on (the progress display shows them).
    TConversionRun(TFFmpegVCL& engine, IRunHost& host);
    // Stops its own run when one still goes (waiting for it) and takes off
    // the handlers it installed; handlers another run installed since stay.
    ~TConversionRun() override;
    TConversionRun(const TConversionRun&) = delete;
    TConversionRun& operator=(const TConversionRun&) = delete;

    // btnStartClick. False when nothing was started (no row checked: the
    // check-box warning was shown; or every row was left out, each one
    // reported). Otherwise the run has started and the progress display has
    // been shown; returns when the display closes.
    // A checked file that cannot be opened (unless rows that fail are left
    // out), or any other failure while the tasks are set up, throws
    // (FFmpegException for the engine's refusals, with its message), nothing
    // runs, the tasks added so far are gone and so are the still empty
    // outputs this Start created.
    bool Start(const TRunOptions& options = TRunOptions());

    // The engine's events (installed by the constructor; public so that an
    // owner may call them itself).
    void CCAVCProgress(const TProgressInfo& AProgressInfo);    // main thread
    void CCAVCPreviewBitmap(const TPreviewInfo& APreviewInfo); // main thread
    void CCAVCTerminate(const TTerminateInfo& ATerminateInfo); // any thread
    void CCAVCCustomHook(PHookInfo AHookInfo);                 // the task's worker

    // Closing the main window: no handler reacts from now on, and every task
    // is stopped, waiting for it.
    void StopForClosing();

    // IRunControl, for the progress display.
    void PauseRun() override;
    void ResumeRun() override;
    void StopRun() override;

    // Entry i: the list row of task i of the current run.
    const std::vector<int>& TaskRows() const { return FTaskRows; }
    // The file task i writes.
    const std::vector<QString>& TaskDestinations() const { return FTaskDestinations; }
    // A copy of the latest preview picture of the run.
    const QImage& PreviewFrame() const { return FPreviewFrame; }
    // Between Start and the handling of the run's end.
    bool RunGoing() const { return FTerminates.RunOpen(); }

    // Told of every task's end on the main thread, after its row was marked.
    // A task whose output could not be opened carries the engine's reason.
    std::function<void(int taskIndex, const TTerminateNotice& notice)> OnTaskEnded;

private:
    // Returns the output files this Start created, for DiscardTasks.
    std::vector<QString> SetUpTasks(const std::vector<int>& checkedRows, const TRunOptions& options);
    // One row's task; adds the output to `created` when this call made its file.
    void SetUpRow(int row, const TRunProfile& profile, const TRunOptions& options, TNamesHandedOut& handedOut,
                  std::vector<QString>& created);
    void DiscardTasks(const std::vector<QString>& created);
    void HandleTerminate(const TTerminateNotice& notice);
    void RunAfterConversionActions();
    void EndRun();
    void StopTasksWaiting();
    void WaitForEarlierRun();
    void DetachEngineEvents();

    TFFmpegVCL& FEngine;
    IRunHost& FHost;

    // --- main thread; read by the workers only while a run goes, when it does not change
    std::vector<int> FTaskRows;
    std::vector<TlvFilesRecord*> FTaskRecords; // the hook's way to each task's record
    std::vector<QString> FTaskDestinations;
    std::vector<QString> FTaskSetupErrors; // why an output could not be opened; empty when it was
    // --- main thread
    QImage FPreviewFrame;
    // Set once handlers must no longer react (read on the workers).
    std::shared_ptr<std::atomic<bool>> FDetached;
    TTerminateQueue FTerminates;
};
