// The engine component's task list: adding tasks and their outputs,
// removing and clearing them, and the published properties.

#include "engine/TFFmpegVCL.h"

#include "media/FFmpegException.h"
#include "probe/AVProbe.h"

#include <exception>

TCustomFFmpegVCL::TCustomFFmpegVCL(QObject* owner)
    : TFFBaseComponent(EngineLibraries, owner), FAVProbe(std::make_unique<TAVProbe>())
{
}

TCustomFFmpegVCL::~TCustomFFmpegVCL()
{
    ShutDownRun();
    // No delivery may still be running when the records and locks go.
    for (std::mutex* lock : {&FHookLock, &FPreviewEventLock, &FProgressLock, &FTerminateLock}) {
        lock->lock();
        lock->unlock();
    }
    FTasks.Clear();
    FAVProbe.reset();
}

void TCustomFFmpegVCL::RefuseWhileWorking(const char* operation) const
{
    if (FWorking)
        throw FFmpegException(QStringLiteral("Cannot %1 while working.").arg(QLatin1String(operation)));
}

THookCallback TCustomFFmpegVCL::MakeHookCallback()
{
    return [this](TCustomFFmpeg* task, QImage* bitmap, int frameNumber, qint64 pts, bool& update, bool& stopHook) {
        DoCustomHook(task, bitmap, frameNumber, pts, update, stopHook);
    };
}

int TCustomFFmpegVCL::AddTask(const QString& fileName, const TInputOptions* options)
{
    RefuseWhileWorking("AddTask");
    auto task = std::make_unique<TFFmpeg>();
    try {
        task->Reset();
        task->SetVerbose(FTaskVerbose);
        task->SetPreviewFlags(static_cast<quint8>((FPreview ? 1 : 0) | (FPreviewBitmap ? 2 : 0)));
        task->PreviewCallback = [this](TCustomFFmpeg* sender, QImage* bitmap, qint64 pts, int frameNumber) {
            DoPreviewBitmap(sender, bitmap, pts, frameNumber);
        };
        if (options) {
            TInputOptions record = *options;
            task->ApplyInputOptions(record, fileName);
        }
        // The argument is opened, not the record's FileName.
        if (!task->OpenInputFile(fileName)) {
            SetLastErrMsg(task->LastErrMsg());
            return -1;
        }
        const int input = task->InputFileCount() - 1;
        task->InputProbe(input)->Attach(task->Files.Input(input));
        task->ProgressCallback = [this](TCustomFFmpeg* sender, int fileIndex, qint64 totalDuration,
                                        qint64 currentDuration, qint64 currentSize, float bitRate, float quality,
                                        int fps, int frameNumber) {
            DoProgress(sender, fileIndex, totalDuration, currentDuration, currentSize, bitRate, quality, fps,
                       frameNumber);
        };
        task->TerminateCallback = [this](TCustomFFmpeg* sender) { DoTerminate(sender); };
    } catch (const std::exception& error) {
        SetLastErrMsg(QString::fromStdString(error.what()));
        return -1;
    }
    return FTasks.Add(std::move(task));
}

bool TCustomFFmpegVCL::SetOutputFile(int taskIndex, const QString& fileName, const TOutputOptions* options)
{
    RefuseWhileWorking("SetOutputFile");
    TFFmpeg* task = FTasks.Items(taskIndex);
    if (!task) {
        SetLastErrMsg(QStringLiteral("Task index %1 out of bounds").arg(taskIndex));
        return false;
    }
    if (task->OutputFileCount() >= MaxOutputFiles) {
        SetLastErrMsg(QStringLiteral("max output files %1 reached").arg(MaxOutputFiles));
        return false;
    }
    const int outputIndex = task->OutputFileCount();
    try {
        TOutputOptions record = options ? *options : TOutputOptions{};
        bool join = false;
        if (options)
            join = task->ApplyOutputOptions(record, fileName, MakeHookCallback());
        else
            task->ReinitOutputOptions(outputIndex);
        if (task->OpenOutputFile(fileName, join) < 0) {
            SetLastErrMsg(task->LastErrMsg());
            task->ReinitOutputOptions(outputIndex);
            return false;
        }
        if (options)
            task->AddRecordStreams(record);
    } catch (const std::exception& error) {
        SetLastErrMsg(QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

void TCustomFFmpegVCL::RemoveTask(int taskIndex)
{
    RefuseWhileWorking("RemoveTask");
    FTasks.Delete(taskIndex);
}

void TCustomFFmpegVCL::ClearTasks()
{
    if (FWorking && !FAllDone)
        throw FFmpegException("Cannot ClearTasks while working.");
    FTasks.Clear();
    SetLastErrMsg(QString());
    FFinishedCount = 0;
    FNextTask = -1;
    FPendingCount = 0;
    FAllDone = false;
    FThreaded = false;
    FWorking = false;
}

TAVProbe* TCustomFFmpegVCL::InputProbe(int taskIndex, int inputIndex)
{
    TFFmpeg* task = FTasks.Items(taskIndex);
    return task ? task->InputProbe(inputIndex) : nullptr;
}

void TCustomFFmpegVCL::SetPreview(bool on)
{
    FPreview = on;
    FTasks.SetPreviewAll(on);
}

void TCustomFFmpegVCL::SetPreviewBitmap(bool on)
{
    FPreviewBitmap = on;
    FTasks.SetPreviewBitmapAll(on);
}
