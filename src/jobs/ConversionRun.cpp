#include "jobs/ConversionRun.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "engine/TFFmpegVCL.h"
#include "jobs/ConversionHook.h"
#include "jobs/OutputNaming.h"
#include "jobs/RunHost.h"
#include "jobs/RunPriority.h"
#include "jobs/RunProgressTexts.h"
#include "jobs/RunTaskRecords.h"
#include "jobs/TlvFilesRecord.h"
#include "media/FFmpegException.h"
#include "media/MainThread.h"
#include "platform/DialogService.h"
#include "platform/Shutdown.h"
#include "probe/AVProbe.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

const QString SettingsSection = QStringLiteral("settings");

// Closes the engine's probe on every way out of one row's set-up.
class TProbeCloser
{
public:
    explicit TProbeCloser(TAVProbe& probe) : FProbe(probe) {}
    ~TProbeCloser() { FProbe.Close(); }
    TProbeCloser(const TProbeCloser&) = delete;
    TProbeCloser& operator=(const TProbeCloser&) = delete;

private:
    TAVProbe& FProbe;
};

// An engine handler as one run installs it. The engine's handlers are plain
// callables and cannot be compared, so each carries the run that installed
// it: a run takes off only its own, never those of a run made after it.
template <class... Args> struct TRunHandler
{
    const void* Owner;
    std::function<void(Args...)> Forward;
    void operator()(Args... args) const { Forward(args...); }
};

template <class... Args>
void InstallHandler(std::function<void(Args...)>& slot, const void* owner,
                    std::function<void(Args...)> forward)
{
    slot = TRunHandler<Args...>{owner, std::move(forward)};
}

template <class... Args> void TakeOffOwnHandler(std::function<void(Args...)>& slot, const void* owner)
{
    const auto* installed = slot.template target<TRunHandler<Args...>>();
    if (installed != nullptr && installed->Owner == owner)
        slot = nullptr;
}

// What the terminate queue carries of the engine's record.
TTerminateNotice NoticeOf(const TTerminateInfo& info)
{
    TTerminateNotice notice;
    notice.TaskIndex = info.TaskIndex;
    notice.Finished = info.Finished;
    notice.Exception = info.Exception;
    notice.ExceptionMsg = info.ExceptionMsg;
    return notice;
}

// Something at this path (a file, a folder, a dangling link) that the run
// must not remove.
bool OnDisk(const QString& path)
{
    const QFileInfo entry(path);
    return entry.exists() || entry.isSymLink();
}

} // namespace

TConversionRun::TConversionRun(TFFmpegVCL& engine, IRunHost& host)
    : FEngine(engine), FHost(host), FDetached(std::make_shared<std::atomic<bool>>(false)),
      FTerminates([this](const TTerminateNotice& notice) { HandleTerminate(notice); })
{
    auto detached = FDetached;
    InstallHandler(FEngine.OnCustomHook, this,
                   TCustomHookEvent([this, detached](QObject*, PHookInfo AHookInfo) {
                       if (!detached->load())
                           CCAVCCustomHook(AHookInfo);
                   }));
    InstallHandler(FEngine.OnProgress, this,
                   TProgressEvent([this, detached](QObject*, PProgressInfo AProgressInfo) {
                       if (!detached->load() && AProgressInfo != nullptr)
                           CCAVCProgress(*AProgressInfo);
                   }));
    InstallHandler(FEngine.OnPreviewBitmap, this,
                   TPreviewBitmapEvent([this, detached](QObject*, const TPreviewInfo& APreviewInfo) {
                       if (!detached->load())
                           CCAVCPreviewBitmap(APreviewInfo);
                   }));
    // The engine's terminate threads may outlive this object: they only
    // reach the queue's poster, which drops notices once the queue is gone.
    InstallHandler(
        FEngine.OnTerminate, this,
        TTerminateEvent([poster = FTerminates.Poster(), detached](QObject*, const TTerminateInfo& info) {
            if (detached->load())
                return;
            poster(NoticeOf(info));
        }));
    FEngine.SetPreviewBitmap(true);
}

TConversionRun::~TConversionRun()
{
    FDetached->store(true);
    // Only a run of this object may be stopped: the engine's tasks belong to
    // another run otherwise.
    if (FTerminates.RunOpen()) {
        try {
            StopTasksWaiting();
        } catch (...) {
            // Nothing can be reported from here; the engine stops its tasks when it goes.
        }
    }
    DetachEngineEvents();
}

bool TConversionRun::Start(const TRunOptions& options)
{
    WaitForEarlierRun();

    // 1. The typed frame size; Start goes on with whatever is stored.
    FHost.ValidateFrameSize();

    // 2. Priority of the conversion threads.
    const IniFile settings(RunContext().SettingsFile());
    const auto priority = PriorityFromSetting(
        settings.ReadInteger(SettingsSection, QStringLiteral("priority"), DefaultPrioritySetting));
    if (priority)
        FEngine.SetThreadPriority(*priority);

    // 3. Which rows.
    std::vector<int> checkedRows;
    for (int row = 0; row < FHost.RowCount(); ++row)
        if (FHost.RowChecked(row))
            checkedRows.push_back(row);
    if (checkedRows.empty()) {
        Dialogs().MessageBox(QStringLiteral("Please select a file by clicking the check box!"),
                             QStringLiteral("Warning"), TMsgIcon::Warning, TMsgButtons::Ok);
        return false;
    }

    // 4. and 5.
    FHost.StopPreviewPlayer();
    FEngine.ClearTasks();
    const std::vector<QString> created = SetUpTasks(checkedRows, options);
    // Only when rows may be left out: every one was, and each was reported.
    if (FTaskRows.empty())
        return false;

    // 6. and 7.
    FTerminates.BeginRun(int(FTaskRows.size()));
    try {
        FEngine.StartTask(options.ParallelTasks);
    } catch (...) {
        FTerminates.AbandonRun();
        DiscardTasks(created);
        throw;
    }
    FHost.ProgressView().ShowDuringRun();
    return true;
}

std::vector<QString> TConversionRun::SetUpTasks(const std::vector<int>& checkedRows, const TRunOptions& options)
{
    FTaskRows.clear();
    FTaskRecords.clear();
    FTaskDestinations.clear();
    FTaskSetupErrors.clear();
    FTaskRows.reserve(checkedRows.size());

    std::vector<QString> created;
    try {
        const TRunProfile profile = ReadRunProfile(options);
        // Two sources with the same base name must not be given the same file.
        TNamesHandedOut handedOut;
        for (const int row : checkedRows)
            SetUpRow(row, profile, options, handedOut, created);
    } catch (...) {
        // Left for the next Start, these tasks would hold their outputs open
        // as empty files in the output folder.
        DiscardTasks(created);
        throw;
    }
    return created;
}

void TConversionRun::SetUpRow(int row, const TRunProfile& profile, const TRunOptions& options,
                              TNamesHandedOut& handedOut, std::vector<QString>& created)
{
    const auto leaveOut = [&](const QString& reason) {
        if (options.OnRowLeftOut)
            options.OnRowLeftOut(row, reason);
    };
    const QString caption = FHost.RowCaption(row);
    TlvFilesRecord& record = FHost.RowRecord(row);

    // Without a probe of this very file the mapping would read another
    // file's streams, so a file that no longer opens ends Start here.
    TAVProbe& probe = *FEngine.AVProbe();
    if (!probe.Open(caption)) {
        if (!options.LeaveOutFailingRows)
            throw FFmpegException(probe.LastErrMsg());
        leaveOut(probe.LastErrMsg());
        return;
    }
    TProbeCloser closer(probe);
    if (options.LeaveOutFailingRows && options.RowProblem) {
        const QString problem = options.RowProblem(row, probe);
        if (!problem.isEmpty()) {
            leaveOut(problem);
            return;
        }
    }

    TInputOptions input;
    TOutputOptions output;
    const QString destination = MakeRowTaskRecords(profile, record, probe, handedOut, input, output);

    const int task = FEngine.AddTask(caption, &input);
    if (task < 0) {
        if (!options.LeaveOutFailingRows)
            throw FFmpegException(FEngine.LastErrMsg());
        leaveOut(FEngine.LastErrMsg());
        return;
    }
    if (task != int(FTaskRows.size()))
        throw std::logic_error("The engine held tasks of an earlier run");
    const bool existedBefore = OnDisk(destination);
    // An output that cannot be opened fails only its own task when the
    // run reaches it; the others still convert.
    QString setupError;
    if (FEngine.SetOutputFile(task, destination, &output)) {
        if (!existedBefore)
            created.push_back(destination);
    } else {
        setupError = FEngine.LastErrMsg();
        if (options.LeaveOutFailingRows) {
            FEngine.RemoveTask(task);
            leaveOut(setupError);
            return;
        }
    }

    FTaskRows.push_back(row);
    FTaskRecords.push_back(&record);
    FTaskDestinations.push_back(destination);
    FTaskSetupErrors.push_back(setupError);
}

void TConversionRun::DiscardTasks(const std::vector<QString>& created)
{
    // Nothing was started, so the engine allows this.
    FEngine.ClearTasks();
    // Freeing a task closes its output; one that is still empty holds
    // nothing, and a file that was there before this Start is never touched.
    for (const QString& path : created) {
        const QFileInfo output(path);
        if (output.isFile() && !output.isSymLink() && output.size() == 0)
            QFile::remove(path);
    }
    FTaskRows.clear();
    FTaskRecords.clear();
    FTaskDestinations.clear();
    FTaskSetupErrors.clear();
}

void TConversionRun::CCAVCProgress(const TProgressInfo& AProgressInfo)
{
    if (AProgressInfo.TaskIndex < 0 || size_t(AProgressInfo.TaskIndex) >= FTaskRows.size())
        return;
    const int row = FTaskRows[size_t(AProgressInfo.TaskIndex)];
    TProgressValues values;
    values.CurrentDuration = AProgressInfo.CurrentDuration;
    values.TotalDuration = AProgressInfo.TotalDuration;
    values.CurrentSize = AProgressInfo.CurrentSize;
    values.TaskIndex = AProgressInfo.TaskIndex;
    values.TaskCount = FEngine.TaskCount();
    const TRunProgressTexts texts = MakeRunProgressTexts(values, FHost.RowCaption(row));
    FHost.SetRowProgress(row, texts.RowText);
    FHost.ProgressView().ShowProgress(texts);
}

void TConversionRun::CCAVCPreviewBitmap(const TPreviewInfo& APreviewInfo)
{
    const QImage* bitmap = APreviewInfo.Bitmap;
    // The engine reuses its picture for the next frame: keep a copy.
    if (bitmap != nullptr && bitmap->width() > 0 && bitmap->height() > 0)
        FPreviewFrame = bitmap->copy();
}

void TConversionRun::CCAVCTerminate(const TTerminateInfo& ATerminateInfo)
{
    FTerminates.Post(NoticeOf(ATerminateInfo));
}

void TConversionRun::CCAVCCustomHook(PHookInfo AHookInfo)
{
    if (AHookInfo == nullptr || AHookInfo->TaskIndex < 0 ||
        size_t(AHookInfo->TaskIndex) >= FTaskRecords.size())
        return; // not a task of this run: its frames stay as they are
    RunConversionHook(AHookInfo, *FTaskRecords[size_t(AHookInfo->TaskIndex)]);
}

void TConversionRun::HandleTerminate(const TTerminateNotice& notice)
{
    if (notice.TaskIndex < 0) {
        EndRun();
        return;
    }
    const size_t task = size_t(notice.TaskIndex);
    if (task >= FTaskRows.size())
        return;
    if (notice.Finished) {
        FHost.SetRowProgress(FTaskRows[task], FinishedRowText());
        FHost.ProgressView().ShowTaskFinished();
        if (task + 1 == FTaskRows.size())
            RunAfterConversionActions();
    }
    if (OnTaskEnded) {
        TTerminateNotice told = notice;
        if (told.Exception && task < FTaskSetupErrors.size() && !FTaskSetupErrors[task].isEmpty())
            told.ExceptionMsg = FTaskSetupErrors[task];
        OnTaskEnded(notice.TaskIndex, told);
    }
}

void TConversionRun::RunAfterConversionActions()
{
    IRunProgressView& view = FHost.ProgressView();
    if (view.OpenFolderAfterRun())
        OpenOutputFolder(IniFile(RunContext().SettingsFile()), FHost.ShownOutputFolder());
    // The request's answer is not looked at: the run is over either way.
    if (view.ShutDownAfterRun())
        ::Shutdown().RequestPowerOff();
}

void TConversionRun::EndRun()
{
    FHost.EnableListCommands();
    FEngine.ClearTasks();
    // No worker is left to use the table.
    FTaskRecords.clear();
    FHost.ProgressView().CloseView();
}

void TConversionRun::PauseRun()
{
    FEngine.PauseTasks();
}

void TConversionRun::ResumeRun()
{
    FEngine.ResumeTasks();
}

void TConversionRun::StopRun()
{
    StopTasksWaiting();
}

void TConversionRun::StopTasksWaiting()
{
    TTerminateQueue::THold hold(FTerminates);
    FEngine.StopTasks(true);
}

void TConversionRun::WaitForEarlierRun()
{
    // A run that was cancelled may still have its end on the way (the
    // display closed before the engine's last notice was handled): the
    // engine would otherwise be cleared under that run's feet.
    if (!FTerminates.RunOpen())
        return;
    FTerminates.DeliverPending();
    WaitWhilePumping([this] { return !FTerminates.RunOpen(); });
}

void TConversionRun::StopForClosing()
{
    FDetached->store(true);
    StopTasksWaiting();
}

void TConversionRun::DetachEngineEvents()
{
    FDetached->store(true);
    TakeOffOwnHandler(FEngine.OnCustomHook, this);
    TakeOffOwnHandler(FEngine.OnProgress, this);
    TakeOffOwnHandler(FEngine.OnPreviewBitmap, this);
    TakeOffOwnHandler(FEngine.OnTerminate, this);
}
