// The engine component's four events: filling their records and calling the
// owner's handlers on the thread each event belongs to.

#include "engine/TFFmpegVCL.h"

#include "media/FFLogger.h"
#include "media/MainThread.h"

#include <exception>

namespace {

// Runs a handler in the main thread while the task's worker waits. An
// exception of the handler cannot cross the main thread's event loop: it is
// carried back and raised again on the worker, as if the handler ran there.
template <class Call> void CallInMainThreadFor(TCustomFFmpeg& task, const Call& call)
{
    std::exception_ptr failure;
    CallInMainThread([&] {
        task.Run.InMainThreadDelivery = true;
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
        task.Run.InMainThreadDelivery = false;
    });
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

TTerminateInfo TCustomFFmpegVCL::EndOfRunInfo()
{
    TTerminateInfo info;
    info.TaskIndex = -1;
    info.Finished = true;
    info.Exception = false;
    return info;
}

void TCustomFFmpegVCL::DeliverTerminateHere(const TTerminateEvent& handler, const TTerminateInfo& info)
{
    // The run must go on (and end) whatever the handler does.
    try {
        handler(this, info);
    } catch (const std::exception& error) {
        DefaultLogger()->Log(this, llError, QString("Error occurs OnTerminate: %1").arg(error.what()));
    } catch (...) {
        DefaultLogger()->Log(this, llError, "Error occurs OnTerminate");
    }
}

void TCustomFFmpegVCL::DoCustomHook(TCustomFFmpeg* task, QImage* bitmap, int frameNumber, qint64 pts,
                                    bool& update, bool& stopHook)
{
    const TCustomHookEvent handler = OnCustomHook;
    if (!handler)
        return;
    std::lock_guard<std::mutex> guard(FHookLock);
    FHookInfo.TaskIndex = FTasks.IndexOf(task);
    FHookInfo.Bitmap = bitmap;
    FHookInfo.FrameNumber = frameNumber;
    FHookInfo.PTS = pts;
    FHookInfo.Update = update;
    FHookInfo.StopHook = stopHook;
    // Always on the worker. A QImage has no device context shared with other
    // threads, so there is no canvas to lock around the handler; an exception
    // goes to the loop, which logs it and leaves the frame unchanged.
    handler(this, &FHookInfo);
    update = FHookInfo.Update;
    stopHook = FHookInfo.StopHook;
}

void TCustomFFmpegVCL::DoPreviewBitmap(TCustomFFmpeg* task, QImage* bitmap, qint64 pts, int frameNumber)
{
    if (!OnPreviewBitmap)
        return;
    std::lock_guard<std::mutex> guard(FPreviewEventLock);
    FPreviewInfo.TaskIndex = FTasks.IndexOf(task);
    FPreviewInfo.Bitmap = bitmap;
    FPreviewInfo.FrameNumber = frameNumber;
    FPreviewInfo.PTS = pts;
    const auto deliver = [this] {
        const TPreviewBitmapEvent handler = OnPreviewBitmap;
        if (handler)
            handler(this, FPreviewInfo);
    };
    if (TriggerEventInMainThread())
        CallInMainThreadFor(*task, deliver);
    else
        deliver();
}

void TCustomFFmpegVCL::DoProgress(TCustomFFmpeg* task, int fileIndex, qint64 totalDuration,
                                  qint64 currentDuration, qint64 currentSize, float bitRate, float quality,
                                  int fps, int frameNumber)
{
    if (!OnProgress)
        return;
    std::lock_guard<std::mutex> guard(FProgressLock);
    FProgressInfo.TaskIndex = FTasks.IndexOf(task);
    FProgressInfo.FileIndex = fileIndex;
    FProgressInfo.FrameNumber = frameNumber;
    FProgressInfo.FPS = fps;
    FProgressInfo.Quality = quality;
    FProgressInfo.BitRate = bitRate;
    FProgressInfo.CurrentSize = currentSize;
    FProgressInfo.CurrentDuration = currentDuration;
    FProgressInfo.TotalDuration = totalDuration;
    const auto deliver = [this] {
        const TProgressEvent handler = OnProgress;
        if (handler)
            handler(this, &FProgressInfo);
    };
    if (TriggerEventInMainThread())
        CallInMainThreadFor(*task, deliver);
    else
        deliver();
}

void TCustomFFmpegVCL::DoTerminate(TCustomFFmpeg* task)
{
    if (!task) {
        EndRun();
        return;
    }
    const TTerminateEvent handler = OnTerminate;
    TTerminateInfo info;
    info.TaskIndex = FTasks.IndexOf(task);
    info.Finished = task->Finished;
    info.Exception = task->ExceptionRaised;
    if (task->ExceptionRaised)
        info.ExceptionMsg = task->ExceptionMsg;

    // Synchronous mode: on the thread that ran (or terminated) the task, and
    // outside the lock, so that a handler may stop the run.
    if (!FThreaded && handler)
        DeliverTerminateHere(handler, info);

    bool endRun = false;
    bool startNext = false;
    {
        std::lock_guard<std::mutex> guard(FTerminateLock);
        FTerminateInfo = info;
        if (FThreaded && handler)
            FTerminateNotifications.Post([this, handler, info] { handler(this, info); });
        ++FFinishedCount;
        if (FPendingCount < 1)
            endRun = FFinishedCount >= TaskCount();
        else
            startNext = FThreaded;
    }
    if (endRun)
        EndRun();
    else if (startNext)
        StartNextTask();
}
