#include "cli/CliTaskSetup.h"

#include "cli/CliContext.h"
#include "cli/CliDestinations.h"
#include "cli/CliJobRecord.h"
#include "cli/CliProfile.h"
#include "jobs/MapProfileOptions.h"
#include "jobs/OutputNaming.h"
#include "probe/AVProbe.h"

namespace {

// A crop the engine would be asked to apply to nothing: said plainly here
// instead of failing later inside the filter set-up.
QString CropProblem(const TlvFilesRecord& record, const TSourceVideo& video)
{
    if (video.VideoStreamCount < 1 || video.Width <= 0 || video.Height <= 0)
        return QString();
    if (record.CropTop + record.CropBottom < video.Height && record.CropLeft + record.CropRight < video.Width)
        return QString();
    return QStringLiteral("the crop %1,%2,%3,%4 leaves nothing of the %5x%6 picture")
        .arg(record.CropTop)
        .arg(record.CropBottom)
        .arg(record.CropLeft)
        .arg(record.CropRight)
        .arg(video.Width)
        .arg(video.Height);
}

QString SecondsText(qint64 microseconds)
{
    return QString::number(double(microseconds) / 1e6, 'f', 3) + QStringLiteral(" s");
}

// A start at or past the end would give a file with no picture and no sound
// that looks converted.
QString StartProblem(const TlvFilesRecord& record, TAVProbe& probe)
{
    TFileStreamInfo info;
    probe.GetFileStreamInfo(info);
    if (info.Duration <= 0 || record.StartTime < info.Duration)
        return QString();
    return QStringLiteral("the start %1 lies at or past the end of the file (%2)")
        .arg(SecondsText(record.StartTime), SecondsText(info.Duration));
}

} // namespace

std::optional<TCliTask> PrepareCliTask(const QString& source, int addIndex, const TCliRequest& request,
                                       const TCliProfile& profile, TCliDestinations& destinations,
                                       QString& reason)
{
    TAVProbe probe;
    if (!probe.LoadLibraries(CliLibraryFolder())) {
        reason = probe.LastErrMsg();
        return std::nullopt;
    }
    if (!probe.Open(source)) {
        reason = probe.LastErrMsg();
        return std::nullopt;
    }

    TCliTask task;
    task.Source = source;
    task.Record = CliJobRecord(source, addIndex, request.Edits, profile.Zoom);
    QString problem = CropProblem(task.Record, ReadSourceVideo(probe));
    if (problem.isEmpty())
        problem = StartProblem(task.Record, probe);
    if (!problem.isEmpty()) {
        reason = problem;
        return std::nullopt;
    }
    task.Destination = destinations.Next(probe.FileName(), ConversionSuffix(profile.FileExt));
    MapTaskOptions(task.Record, profile.Code, task.Destination, probe, task.Input, task.Output);
    probe.Close();
    return task;
}
