// The engine component's run control: starting the run, starting the next
// task as tasks end, pause, resume and stop, and the end of the run.

#include "engine/TFFmpegVCL.h"

#include "media/FFLogger.h"

namespace {

// Keeps the end-of-run notification back while the tasks are walked through.
class TNotificationHold
{
public:
    explicit TNotificationHold(TTerminateNotifications& notifications) : FNotifications(notifications)
    {
        FNotifications.Hold();
    }
    ~TNotificationHold() { FNotifications.Release(); }
    TNotificationHold(const TNotificationHold&) = delete;
    TNotificationHold& operator=(const TNotificationHold&) = delete;

private:
    TTerminateNotifications& FNotifications;
};

} // namespace

void TCustomFFmpegVCL::StartTask(int parallelCount)
{
    RefuseWhileWorking("StartTask");
    {
        std::lock_guard<std::mutex> guard(FTerminateLock);
        FFinishedCount = 0;
        FNextTask = 0;
        FPendingCount = TaskCount();
        FAllDone = false;
        FThreaded = parallelCount > 0;
        FWorking = true;
    }
    // No task will ever terminate to end such a run: it ends here.
    if (TaskCount() == 0) {
        EndRun();
        return;
    }
    const auto pending = [this] {
        std::lock_guard<std::mutex> guard(FTerminateLock);
        return FPendingCount > 0;
    };
    if (FThreaded) {
        for (int started = 0; started < parallelCount && pending(); ++started)
            StartNextTask();
    } else {
        while (pending())
            StartNextTask();
    }
}

void TCustomFFmpegVCL::StartNextTask()
{
    TFFmpeg* task = nullptr;
    {
        std::lock_guard<std::mutex> guard(FTerminateLock);
        if (FPendingCount <= 0)
            return;
        --FPendingCount;
        task = FTasks.Items(FNextTask++);
        if (task)
            task->ProgressInterval = static_cast<qint64>(ProgressInterval()) * 1000;
    }
    // Started outside the lock: a synchronous task runs to its end right here,
    // and one whose start conditions fail terminates (and counts) at once.
    if (task && task->Start(FThreaded, ThreadPriority()))
        task->ResumeWorker();
}

void TCustomFFmpegVCL::PauseTasks()
{
    TNotificationHold hold(FTerminateNotifications);
    FTasks.PauseAll();
}

void TCustomFFmpegVCL::ResumeTasks()
{
    TNotificationHold hold(FTerminateNotifications);
    FTasks.ResumeAll();
}

void TCustomFFmpegVCL::StopTasks(bool wait)
{
    // Before a run there is nothing to stop: terminating the tasks then would
    // notify tasks that were never asked to run and leave them unable to start.
    if (!FWorking)
        return;
    TNotificationHold hold(FTerminateNotifications);
    {
        std::lock_guard<std::mutex> guard(FTerminateLock);
        FPendingCount = 0;
    }
    FTasks.TerminateAll(wait);
}

void TCustomFFmpegVCL::EndRun()
{
    TTerminateEvent handler;
    {
        std::lock_guard<std::mutex> guard(FTerminateLock);
        if (FAllDone)
            return;
        FAllDone = true;
        handler = OnTerminate;
        if (FThreaded) {
            if (handler)
                FTerminateNotifications.Post([this, handler] { handler(this, EndOfRunInfo()); }, true);
            return;
        }
    }
    if (handler)
        DeliverTerminateHere(handler, EndOfRunInfo());
}

void TCustomFFmpegVCL::ShutDownRun()
{
    if (FWorking && !FAllDone)
        StopTasks(true);
    FTerminateNotifications.WaitAll();
}
