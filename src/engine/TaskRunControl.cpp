// Starting, stopping and terminating one task, and the body its worker runs.

#include "engine/TCustomFFmpeg.h"

#include "media/FFLogger.h"
#include "media/MainThread.h"

#include <exception>

namespace {

// One guarded step of the worker body: a failure is logged so that it always
// reaches the log event, marks the task failed, and the body goes on.
template <class Step> void Guarded(TCustomFFmpeg& task, Step step)
{
    QString message;
    try {
        step();
        return;
    } catch (const std::exception& error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = "Unknown error";
    }
    DefaultLogger()->Log(&task, llQuiet, message);
    task.ExceptionRaised = true;
    task.ExceptionMsg = message;
}

QString StartConditionFailure(const TCustomFFmpeg& task)
{
    if (task.OutputFileCount() == 0)
        return "At least one output file must be specified";
    if (task.InputFileCount() == 0)
        return "At least one input file must be specified";
    return {};
}

// The last step of a task's run, also for a task that never ran: the owner
// is told. Nothing of the task may be touched after the callback, which may
// free it (the end-of-run handler may clear the tasks).
void TerminateTask(TCustomFFmpeg& task)
{
    {
        std::lock_guard<std::mutex> guard(task.Run.StateLock);
        task.Running = false;
        task.Terminated = true;
    }
    TTerminateCallback callback = task.TerminateCallback;
    if (callback)
        callback(&task);
}

bool OnTerminateThread(TCustomFFmpeg& task)
{
    std::lock_guard<std::mutex> guard(task.Run.ThreadLock);
    return task.Run.TerminateThread.get_id() == std::this_thread::get_id();
}

void RunWorkerBody(TCustomFFmpeg& task)
{
    task.Finished = false;
    Guarded(task, [&] { task.Transcode(); });
    Guarded(task, [&] { task.CloseOpenedEncoders(); });
    Guarded(task, [&] { task.CloseOpenedDecoders(); });
    Guarded(task, [&] { task.CloseFiles(); });
    Guarded(task, [&] { TerminateTask(task); });
}

} // namespace

TConvertThread* TCustomFFmpeg::Start(bool threaded, TThreadPriority priority)
{
    QString failure;
    {
        std::lock_guard<std::mutex> guard(Run.StateLock);
        if (Running || Terminated || Run.TerminationClaimed)
            return nullptr;
        failure = StartConditionFailure(*this);
        if (failure.isEmpty()) {
            Running = true;
            StopRequested = false;
            Finished = false;
            Terminated = false;
        } else {
            Run.TerminationClaimed = true;
        }
    }
    if (!failure.isEmpty()) {
        CloseFiles();
        DefaultLogger()->Log(this, llQuiet, failure);
        ExceptionRaised = true;
        ExceptionMsg = failure;
        TerminateTask(*this);
        return nullptr;
    }
    if (!threaded) {
        RunWorkerBody(*this);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(Run.ThreadLock);
    Run.ThreadDone.Reset();
    Run.ConvertThread = std::make_unique<TConvertThread>(
        [this] {
            RunWorkerBody(*this);
            Run.ThreadDone.Set(); // the last touch of the task by its worker
        },
        priority, this);
    return Run.ConvertThread.get();
}

void TCustomFFmpeg::ResumeWorker()
{
    std::lock_guard<std::mutex> guard(Run.ThreadLock);
    if (Run.ConvertThread)
        Run.ConvertThread->Resume();
}

void TCustomFFmpeg::RequestStop(bool wait)
{
    {
        std::lock_guard<std::mutex> guard(Run.StateLock);
        StopRequested = true;
    }
    Resume();
    if (!wait)
        return;
    {
        std::lock_guard<std::mutex> guard(Run.ThreadLock);
        // A worker cannot wait for itself (a stop from its own hook handler).
        if (Run.ConvertThread && Run.ConvertThread->IsCurrent())
            return;
    }
    // Nor can the main thread while it runs a handler this worker is waiting for.
    if (Run.InMainThreadDelivery && IsMainThread())
        return;
    WaitPumping(Run.ThreadDone);
}

void TCustomFFmpeg::Terminate(bool wait)
{
    bool running = false;
    {
        std::lock_guard<std::mutex> guard(Run.StateLock);
        running = Running;
        if (!running && !Terminated && !Run.TerminationClaimed) {
            Run.TerminationClaimed = true;
            std::lock_guard<std::mutex> threadGuard(Run.ThreadLock);
            Run.TerminateDone.Reset();
            Run.TerminateThread = std::thread([this] {
                Guarded(*this, [&] { TerminateTask(*this); });
                Run.TerminateDone.Set(); // the last touch of the task by this thread
            });
        }
    }
    if (running) {
        RequestStop(wait);
        return;
    }
    if (wait && !OnTerminateThread(*this))
        WaitPumping(Run.TerminateDone);
}

void TCustomFFmpeg::StopAndWaitForThreads()
{
    RequestStop(true);
    if (!OnTerminateThread(*this))
        WaitPumping(Run.TerminateDone);
}
