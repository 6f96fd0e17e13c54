#include "jobs/ConversionRun.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "engine/TFFmpegVCL.h"
#include "jobs/ConversionHook.h"
#include "jobs/MapProfileOptions.h"
#include "jobs/OutputNaming.h"
#include "jobs/RunHost.h"
#include "jobs/RunPriority.h"
#include "jobs/RunProgressTexts.h"
#include "jobs/TlvFilesRecord.h"
#include "media/FFmpegException.h"
#include "media/MainThread.h"
#include "platform/DialogService.h"
#include "platform/Shutdown.h"
#include "probe/AVProbe.h"

#include <stdexcept>

namespace {

const QString SettingsSection = QStringLiteral("settings");

QString ProfileSection(int formatCode)
{
    return QStringLiteral("formatInfo") + QString::number(formatCode);
}

const TGlobalObject& Context()
{
    if (GlobalObject == nullptr)
        throw std::logic_error("A conversion run needs the application context");
    return *GlobalObject;
}

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

} // namespace

TConversionRun::TConversionRun(TFFmpegVCL& engine, IRunHost& host)
    : FEngine(engine), FHost(host), FDetached(std::make_shared<std::atomic<bool>>(false)),
      FTerminates([this](const TTerminateNotice& notice) { HandleTerminate(notice); })
{
    auto detached = FDetached;
    FEngine.OnCustomHook = [this, detached](QObject*, PHookInfo AHookInfo) {
        if (!detached->load())
            CCAVCCustomHook(AHookInfo);
    };
    FEngine.OnProgress = [this, detached](QObject*, PProgressInfo AProgressInfo) {
        if (!detached->load() && AProgressInfo != nullptr)
            CCAVCProgress(*AProgressInfo);
    };
    FEngine.OnPreviewBitmap = [this, detached](QObject*, const TPreviewInfo& APreviewInfo) {
        if (!detached->load())
            CCAVCPreviewBitmap(APreviewInfo);
    };
    // The engine's terminate threads may outlive this object: they only
    // reach the queue's poster, which drops notices once the queue is gone.
    FEngine.OnTerminate = [poster = FTerminates.Poster(), detached](QObject*, const TTerminateInfo& info) {
        if (detached->load())
            return;
        TTerminateNotice notice;
        notice.TaskIndex = info.TaskIndex;
        notice.Finished = info.Finished;
        notice.Exception = info.Exception;
        notice.ExceptionMsg = info.ExceptionMsg;
        poster(notice);
    };
    FEngine.SetPreviewBitmap(true);
}

TConversionRun::~TConversionRun()
{
    try {
        StopForClosing();
    } catch (...) {
        // Nothing can be reported from here; the engine stops its tasks when it goes.
    }
    DetachEngineEvents();
}

bool TConversionRun::Start()
{
    WaitForEarlierRun();

    // 1. The typed frame size; Start goes on with whatever is stored.
    FHost.ValidateFrameSize();

    // 2. Priority of the conversion threads.
    const IniFile settings(Context().SettingsFile());
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
    FTaskRows.assign(checkedRows.size(), -1);
    FHost.StopPreviewPlayer();
    FEngine.ClearTasks();
    SetUpTasks(checkedRows);

    // 6. and 7.
    FTerminates.BeginRun(int(FTaskRows.size()));
    try {
        FEngine.StartTask(1);
    } catch (...) {
        FTerminates.AbandonRun();
        throw;
    }
    FHost.ProgressView().ShowDuringRun();
    return true;
}

void TConversionRun::SetUpTasks(const std::vector<int>& checkedRows)
{
    FTaskRecords.clear();
    FTaskDestinations.clear();
    FTaskSetupErrors.clear();

    IniFile settings(Context().SettingsFile());
    const IniFile catalogue(Context().FormatFile());
    const int formatCode = settings.ReadInteger(SettingsSection, QStringLiteral("FormatCode"), 1);
    const QString section = ProfileSection(formatCode);
    const QString suffix =
        ConversionSuffix(catalogue.ReadString(section, QStringLiteral("FileExt"), QStringLiteral("mp4")));
    // Two sources with the same base name must not be given the same file.
    TNamesHandedOut handedOut;

    std::vector<TlvFilesRecord*> records;
    TAVProbe& probe = *FEngine.AVProbe();
    for (size_t i = 0; i < checkedRows.size(); ++i) {
        const int row = checkedRows[i];
        FTaskRows[i] = row;
        const QString caption = FHost.RowCaption(row);
        TlvFilesRecord& record = FHost.RowRecord(row);

        // Without a probe of this very file the mapping would read another
        // file's streams, so a file that no longer opens ends Start here.
        if (!probe.Open(caption))
            throw FFmpegException(probe.LastErrMsg());
        TProbeCloser closer(probe);

        const QString destination = MakeDestinationName(probe.FileName(), suffix, &handedOut);
        record.Zoom = settings.ReadString(section, QStringLiteral("parazoom"), QStringLiteral("lbox"));

        TInputOptions input;
        TOutputOptions output;
        MapTaskOptions(record, formatCode, destination, probe, input, output);

        const int task = FEngine.AddTask(caption, &input);
        if (task < 0)
            throw FFmpegException(FEngine.LastErrMsg());
        if (task != int(i))
            throw std::logic_error("The engine held tasks of an earlier run");
        // An output that cannot be opened fails only its own task when the
        // run reaches it; the others still convert.
        QString setupError;
        if (!FEngine.SetOutputFile(task, destination, &output))
            setupError = FEngine.LastErrMsg();

        records.push_back(&record);
        FTaskDestinations.push_back(destination);
        FTaskSetupErrors.push_back(setupError);
    }
    FTaskRecords = std::move(records);
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
    TTerminateNotice notice;
    notice.TaskIndex = ATerminateInfo.TaskIndex;
    notice.Finished = ATerminateInfo.Finished;
    notice.Exception = ATerminateInfo.Exception;
    notice.ExceptionMsg = ATerminateInfo.ExceptionMsg;
    FTerminates.Post(notice);
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
        OpenOutputFolder(IniFile(Context().SettingsFile()), FHost.ShownOutputFolder());
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
    FEngine.OnCustomHook = nullptr;
    FEngine.OnProgress = nullptr;
    FEngine.OnPreviewBitmap = nullptr;
    FEngine.OnTerminate = nullptr;
}
