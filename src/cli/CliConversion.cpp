#include "cli/CliConversion.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "cli/CliConsole.h"
#include "cli/CliContext.h"
#include "cli/CliInterrupt.h"
#include "cli/CliProgressLine.h"
#include "cli/CliRequest.h"
#include "cli/CliTaskSetup.h"
#include "engine/TFFmpegVCL.h"
#include "jobs/ConversionHook.h"
#include "jobs/RunPriority.h"
#include "jobs/RunProgressTexts.h"
#include "jobs/TerminateQueue.h"
#include "media/FFmpegException.h"

#include <QEventLoop>
#include <QFileInfo>

#include <map>
#include <memory>

namespace {

// One run of the engine over the prepared files. The Start steps that the
// file list needs no window for (the probe, the destination, the zoom and
// the records) were done by PrepareCliTask; this is the rest: the thread
// priority, AddTask and SetOutputFile per file, StartTask, the engine's
// events, and stopping on Ctrl-C the way Cancel does.
class TCliRun
{
public:
    TCliRun(std::vector<TCliTask>& tasks, const TCliRequest& request, TCliConsole& console)
        : FTasks(tasks), FRequest(request), FConsole(console),
          FTerminates([this](const TTerminateNotice& notice) { HandleTerminate(notice); })
    {
    }

    ~TCliRun()
    {
        // Whatever way the run ends, no task may still use a record and no
        // handler of this object may be reached afterwards.
        if (FTerminates.RunOpen()) {
            TTerminateQueue::THold hold(FTerminates);
            FEngine.StopTasks(true);
        }
        FEngine.OnCustomHook = nullptr;
        FEngine.OnProgress = nullptr;
        FEngine.OnTerminate = nullptr;
    }

    TCliRunOutcome Run()
    {
        if (!FEngine.LoadLibraries(CliLibraryFolder())) {
            for (const TCliTask& task : FTasks)
                Fail(task, FEngine.LastErrMsg());
            return TCliRunOutcome::SomeFailed;
        }
        ApplyPrioritySetting();
        FEngine.ClearTasks();
        AddTasks();
        if (FRunTasks.empty())
            return TCliRunOutcome::SomeFailed;

        InstallEvents();
        TCliInterrupt interrupt([this] { Interrupt(); });
        FTerminates.BeginRun(int(FRunTasks.size()));
        try {
            FEngine.StartTask(FRequest.Jobs);
        } catch (const std::exception& e) {
            FTerminates.AbandonRun();
            for (const TCliTask* task : FRunTasks)
                Fail(*task, QString::fromUtf8(e.what()));
            return TCliRunOutcome::SomeFailed;
        }
        if (FTerminates.RunOpen())
            FLoop.exec();

        if (interrupt.Interrupted())
            return TCliRunOutcome::Interrupted;
        return FFailures == 0 ? TCliRunOutcome::AllConverted : TCliRunOutcome::SomeFailed;
    }

private:
    // "priority" of section "settings", as Start reads it.
    void ApplyPrioritySetting()
    {
        const IniFile settings(GlobalObject->SettingsFile());
        if (const auto priority = PriorityFromSetting(settings.ReadInteger(
                QStringLiteral("settings"), QStringLiteral("priority"), DefaultPrioritySetting)))
            FEngine.SetThreadPriority(*priority);
    }

    // A file whose input or output the engine cannot open is reported and
    // left out; the others still convert.
    void AddTasks()
    {
        for (TCliTask& task : FTasks) {
            const int index = FEngine.AddTask(task.Source, &task.Input);
            if (index < 0) {
                Fail(task, FEngine.LastErrMsg());
                continue;
            }
            if (!FEngine.SetOutputFile(index, task.Destination, &task.Output)) {
                Fail(task, FEngine.LastErrMsg());
                FEngine.RemoveTask(index);
                continue;
            }
            FRunTasks.push_back(&task);
        }
    }

    void InstallEvents()
    {
        // The workers read the records through this table, made before the
        // run starts and left alone until it has ended.
        FEngine.OnCustomHook = [this](QObject*, PHookInfo info) {
            if (info != nullptr && info->TaskIndex >= 0 && size_t(info->TaskIndex) < FRunTasks.size())
                RunConversionHook(info, FRunTasks[size_t(info->TaskIndex)]->Record);
        };
        if (!FRequest.Quiet)
            FEngine.OnProgress = [this](QObject*, PProgressInfo info) {
                if (info != nullptr)
                    ShowProgress(*info);
            };
        FEngine.OnTerminate = [poster = FTerminates.Poster()](QObject*, const TTerminateInfo& info) {
            TTerminateNotice notice;
            notice.TaskIndex = info.TaskIndex;
            notice.Finished = info.Finished;
            notice.Exception = info.Exception;
            notice.ExceptionMsg = info.ExceptionMsg;
            poster(notice);
        };
    }

    // Main thread (the engine delivers progress there).
    void ShowProgress(const TProgressInfo& info)
    {
        if (info.TaskIndex < 0 || size_t(info.TaskIndex) >= FRunTasks.size())
            return;
        TProgressValues values;
        values.CurrentDuration = info.CurrentDuration;
        values.TotalDuration = info.TotalDuration;
        values.CurrentSize = info.CurrentSize;
        values.TaskIndex = info.TaskIndex;
        values.TaskCount = int(FRunTasks.size());
        const TRunProgressTexts texts =
            MakeRunProgressTexts(values, FRunTasks[size_t(info.TaskIndex)]->Source);
        FLastTexts[info.TaskIndex] = texts;
        FConsole.Progress(info.TaskIndex, CliProgressLine(texts));
    }

    // The file's line stays; a finished file's line shows 100 %, as the bar does.
    void EndProgress(int taskIndex, bool finished)
    {
        const auto last = FLastTexts.find(taskIndex);
        if (last == FLastTexts.end())
            return;
        TRunProgressTexts texts = last->second;
        if (finished && texts.Percent && *texts.Percent != 100) {
            texts.Percent = 100;
            texts.BarText = PercentText(100);
            FConsole.Progress(taskIndex, CliProgressLine(texts));
        }
        FConsole.EndProgress(taskIndex);
        FLastTexts.erase(last);
    }

    // Main thread, one notice at a time, the end of the run last.
    void HandleTerminate(const TTerminateNotice& notice)
    {
        if (notice.TaskIndex < 0) {
            FEngine.ClearTasks();
            FLoop.quit();
            return;
        }
        if (size_t(notice.TaskIndex) >= FRunTasks.size())
            return;
        const TCliTask& task = *FRunTasks[size_t(notice.TaskIndex)];
        const bool converted = notice.Finished && !notice.Exception;
        EndProgress(notice.TaskIndex, converted);
        if (converted) {
            FConsole.Out(task.Destination);
        } else if (notice.Exception) {
            Fail(task, notice.ExceptionMsg);
        } else if (QFileInfo::exists(task.Destination)) {
            FConsole.Err(CliMessage(task.Source + QStringLiteral(": stopped; what was converted is in ") +
                                    task.Destination));
        } else {
            FConsole.Err(CliMessage(task.Source + QStringLiteral(": stopped before it began")));
        }
    }

    // Ctrl-C: what Cancel does. The tasks not yet begun never start, the
    // running ones end with their files closed properly; the end of the run
    // then arrives as usual.
    void Interrupt()
    {
        FConsole.Err(CliMessage(QStringLiteral("stopping the conversion")));
        TTerminateQueue::THold hold(FTerminates);
        FEngine.StopTasks(true);
    }

    void Fail(const TCliTask& task, const QString& message)
    {
        ++FFailures;
        FConsole.Err(CliMessage(task.Source + QStringLiteral(": ") + message));
    }

    std::vector<TCliTask>& FTasks;
    const TCliRequest& FRequest;
    TCliConsole& FConsole;

    // Entry i: the file of engine task i. Made before the run starts.
    std::vector<TCliTask*> FRunTasks;
    std::map<int, TRunProgressTexts> FLastTexts; // the latest report of each running task
    int FFailures = 0;
    // After the table its hook reads, so it goes before the table does.
    TFFmpegVCL FEngine;
    QEventLoop FLoop;
    // Last member: its handler uses the others, and it goes first.
    TTerminateQueue FTerminates;
};

} // namespace

TCliRunOutcome RunCliConversion(std::vector<TCliTask>& tasks, const TCliRequest& request,
                                TCliConsole& console)
{
    TCliRun run(tasks, request, console);
    return run.Run();
}
