#include "cli/CliConversion.h"

#include "cli/CliConsole.h"
#include "cli/CliContext.h"
#include "cli/CliInterrupt.h"
#include "cli/CliRequest.h"
#include "cli/CliRunHost.h"
#include "cli/CliRunView.h"
#include "cli/CliTaskSetup.h"
#include "engine/TFFmpegVCL.h"
#include "jobs/ConversionRun.h"
#include "jobs/RunOptions.h"
#include "media/FFmpegException.h"

#include <QFileInfo>

namespace {

// One run of the engine over the files of the call, and what the command
// line says about each file.
class TCliRun
{
public:
    TCliRun(std::vector<TCliFile>& files, const TCliRequest& request, TCliConsole& console)
        : FFiles(files), FConsole(console), FView(console, request.Quiet), FHost(files, FView)
    {
    }

    TCliRunOutcome Run(TRunOptions options)
    {
        if (!FEngine.LoadLibraries(CliLibraryFolder())) {
            for (const TCliFile& file : FFiles)
                Fail(file, FEngine.LastErrMsg());
            return TCliRunOutcome::SomeFailed;
        }
        TConversionRun run(FEngine, FHost);
        // A command line shows no pictures: the engine need not make them.
        FEngine.SetPreviewBitmap(false);
        run.OnTaskEnded = [this, &run](int taskIndex, const TTerminateNotice& notice) {
            TaskEnded(run, taskIndex, notice);
        };
        options.LeaveOutFailingRows = true;
        options.RowProblem = [this](int row, TAVProbe& probe) {
            return CliFileProblem(FFiles.at(size_t(row)).Record, probe);
        };
        options.OnRowLeftOut = [this](int row, const QString& reason) {
            ++FFailures;
            FConsole.Err(CliFileFailure(FFiles.at(size_t(row)), reason));
        };

        // Ctrl-C: what Cancel does. The tasks not yet begun never start, the
        // running ones end with their files closed properly; the end of the
        // run then arrives as usual.
        TCliInterrupt interrupt([this, &run] {
            FConsole.Err(CliMessage(QStringLiteral("stopping the conversion")));
            run.StopRun();
        });
        bool started = false;
        try {
            started = run.Start(options);
        } catch (const FFmpegException& e) {
            for (const TCliFile& file : FFiles)
                Fail(file, QString::fromUtf8(e.what()));
            return TCliRunOutcome::SomeFailed;
        }
        if (interrupt.Interrupted())
            return TCliRunOutcome::Interrupted;
        return started && FFailures == 0 ? TCliRunOutcome::AllConverted : TCliRunOutcome::SomeFailed;
    }

private:
    // Main thread, one task at a time, before the end of the run.
    void TaskEnded(const TConversionRun& run, int taskIndex, const TTerminateNotice& notice)
    {
        const TCliFile& file = FFiles.at(size_t(run.TaskRows().at(size_t(taskIndex))));
        const QString& destination = run.TaskDestinations().at(size_t(taskIndex));
        const bool converted = notice.Finished && !notice.Exception;
        FView.EndProgress(taskIndex, converted);
        if (converted) {
            FConsole.Out(destination);
        } else if (notice.Exception) {
            Fail(file, notice.ExceptionMsg);
        } else if (QFileInfo(destination).size() > 0) {
            // A task that never began still has the empty file its output
            // was opened as; the end of the run removes it.
            FConsole.Err(CliMessage(file.Source + QStringLiteral(": stopped; what was converted is in ") +
                                    destination));
        } else {
            FConsole.Err(CliMessage(file.Source + QStringLiteral(": stopped before it began")));
        }
    }

    void Fail(const TCliFile& file, const QString& message)
    {
        ++FFailures;
        FConsole.Err(CliMessage(file.Source + QStringLiteral(": ") + message));
    }

    std::vector<TCliFile>& FFiles;
    TCliConsole& FConsole;
    TCliRunView FView;
    TCliRunHost FHost;
    int FFailures = 0;
    // After the host and the records: the run made inside Run goes first,
    // then the engine.
    TFFmpegVCL FEngine;
};

} // namespace

TCliRunOutcome RunCliConversion(std::vector<TCliFile>& files, const TCliRequest& request,
                                const TRunOptions& options, TCliConsole& console)
{
    TCliRun run(files, request, console);
    return run.Run(options);
}
