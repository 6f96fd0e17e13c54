#pragma once

#include "engine/EventRecords.h"
#include "engine/FFmpegList.h"
#include "engine/OptionRecords.h"
#include "engine/TerminateNotifications.h"
#include "media/FFBaseComponent.h"
#include "platform/ThreadPriority.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class TAVProbe;
class TCustomFFmpeg;

using TCustomHookEvent = std::function<void(QObject* Sender, PHookInfo AHookInfo)>;
using TPreviewBitmapEvent = std::function<void(QObject* Sender, const TPreviewInfo& APreviewInfo)>;
using TProgressEvent = std::function<void(QObject* Sender, PProgressInfo AProgressInfo)>;
using TTerminateEvent = std::function<void(QObject* Sender, const TTerminateInfo& ATerminateInfo)>;

// The engine component: the one object through which the program converts
// files. The owner loads the libraries, adds one task per file (AddTask with
// an input record, then SetOutputFile with an output record), starts the run
// and learns about it through four events.
//
// Threads: every operation is called from the owner's (main) thread. The
// events come from the tasks' workers; see the run control.
//
// Errors: AddTask and SetOutputFile never throw for a bad file or bad
// options: they give -1 / false with the reason in LastErrMsg. Operations
// refused while a run is going throw FFmpegException "Cannot %s while working.".
class TCustomFFmpegVCL : public TFFBaseComponent
{
public:
    explicit TCustomFFmpegVCL(QObject* owner = nullptr);
    ~TCustomFFmpegVCL() override;
    TCustomFFmpegVCL(const TCustomFFmpegVCL&) = delete;
    TCustomFFmpegVCL& operator=(const TCustomFFmpegVCL&) = delete;

    // ---- tasks (TFFmpegVCL.cpp)
    // Creates a task, applies the input record (when given) and opens the
    // file: the task's index, or -1 with the reason in LastErrMsg.
    int AddTask(const QString& fileName, const TInputOptions* options = nullptr);
    // Applies the output record (when given) and opens one output of the task.
    bool SetOutputFile(int taskIndex, const QString& fileName, const TOutputOptions* options = nullptr);
    void RemoveTask(int taskIndex);
    // Frees every task and ends the run; refused while a run has not ended.
    void ClearTasks();
    int TaskCount() const { return FTasks.Count(); }
    // The probe attached to an input of a task (null for a bad index).
    TAVProbe* InputProbe(int taskIndex, int inputIndex);
    TCustomFFmpeg* Task(int taskIndex) const { return FTasks.Items(taskIndex); }

    // ---- run control (the run control's own files)
    // P > 0: P tasks at a time on worker threads, returning at once; P <= 0:
    // every task on the calling thread, returning when the run is over.
    void StartTask(int parallelCount);
    void PauseTasks();
    void ResumeTasks();
    void StopTasks(bool wait);

    // ---- published properties
    QString About() const { return FAbout; }
    void SetAbout(const QString& text) { FAbout = text; }
    QString Version() const { return QStringLiteral("3.3"); }
    bool Preview() const { return FPreview; }
    void SetPreview(bool on);
    bool PreviewBitmap() const { return FPreviewBitmap; }
    void SetPreviewBitmap(bool on);
    // Milliseconds; values below 100 are stored as 100.
    int ProgressInterval() const { return FProgressInterval; }
    void SetProgressInterval(int milliseconds) { FProgressInterval = qMax(milliseconds, 100); }
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority priority) { FThreadPriority = priority; }
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool on) { FTriggerEventInMainThread = on; }

    TCustomHookEvent OnCustomHook;
    TPreviewBitmapEvent OnPreviewBitmap;
    TProgressEvent OnProgress;
    TTerminateEvent OnTerminate;

    // The verbosity every new task starts with.
    int TaskVerbose() const { return FTaskVerbose; }
    void SetTaskVerbose(int level) { FTaskVerbose = level; }
    // A probe free for the owner's own use.
    TAVProbe* AVProbe() const { return FAVProbe.get(); }
    bool Working() const { return FWorking; }

protected:
    // Event delivery, called through the callbacks AddTask and SetOutputFile
    // install in each task (implemented by the run control). DoTerminate
    // with no task ends the run.
    virtual void DoCustomHook(TCustomFFmpeg* task, QImage* bitmap, int frameNumber, qint64 pts, bool& update,
                              bool& stopHook);
    virtual void DoPreviewBitmap(TCustomFFmpeg* task, QImage* bitmap, qint64 pts, int frameNumber);
    virtual void DoProgress(TCustomFFmpeg* task, int fileIndex, qint64 totalDuration, qint64 currentDuration,
                            qint64 currentSize, float bitRate, float quality, int fps, int frameNumber);
    virtual void DoTerminate(TCustomFFmpeg* task);

    // Throws "Cannot <operation> while working." while a run is going.
    void RefuseWhileWorking(const char* operation) const;
    THookCallback MakeHookCallback();

    // ---- run control helpers (TFFmpegVCLRun.cpp)
    // Starts task NextTask when tasks are pending (threaded: resumes its worker).
    void StartNextTask();
    // The end-of-run notification (task index -1), once.
    void EndRun();
    // For the destructor, first: stops a run that is still going (waiting,
    // with main-thread calls kept running) and waits for every notification
    // thread, so that no delivery holds a lock or a record that goes next.
    void ShutDownRun();
    // The record of the end-of-run notification.
    static TTerminateInfo EndOfRunInfo();
    // OnTerminate on the calling thread; an exception of the handler is logged.
    void DeliverTerminateHere(const TTerminateEvent& handler, const TTerminateInfo& info);

    TFFmpegList FTasks;

    // Run counters: changed only under FTerminateLock or on the thread that
    // calls StartTask/StopTasks.
    int FFinishedCount = 0;
    int FNextTask = -1;
    int FPendingCount = 0;
    std::atomic<bool> FAllDone{false}; // read by ClearTasks on whatever thread the owner calls it
    bool FThreaded = false;
    std::atomic<bool> FWorking{false}; // a run was started and ClearTasks has not been called since

    // One lock and one record per event, reused for every delivery.
    std::mutex FHookLock;
    std::mutex FPreviewEventLock;
    std::mutex FProgressLock;
    std::mutex FTerminateLock;
    THookInfo FHookInfo;
    TProgressInfo FProgressInfo;
    TTerminateInfo FTerminateInfo;
    TPreviewInfo FPreviewInfo;
    // Threaded mode: every OnTerminate delivery on a thread of its own, in order.
    TTerminateNotifications FTerminateNotifications;

private:
    QString FAbout;
    bool FPreview = false;
    bool FPreviewBitmap = false;
    int FProgressInterval = 500;
    TThreadPriority FThreadPriority = TThreadPriority::Normal;
    bool FTriggerEventInMainThread = true;
    int FTaskVerbose = 1;
    std::unique_ptr<TAVProbe> FAVProbe;
};

// The component the program creates; publishes the properties and events
// above and adds nothing else.
class TFFmpegVCL : public TCustomFFmpegVCL
{
public:
    using TCustomFFmpegVCL::TCustomFFmpegVCL;
};
