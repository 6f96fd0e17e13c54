#include "cli/CliTaskSetup.h"

#include "cli/CliConsole.h"
#include "cli/CliContext.h"
#include "cli/CliJobRecord.h"
#include "jobs/MapProfileOptions.h"
#include "jobs/RunTaskRecords.h"
#include "probe/AVProbe.h"

#include <QFileInfo>

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

std::vector<TCliFile> CliFiles(const TCliRequest& request)
{
    std::vector<TCliFile> files;
    for (int i = 0; i < request.Files.size(); ++i) {
        TCliFile file;
        file.Given = request.Files[i];
        // A row holds the full path of its source.
        file.Source = QFileInfo(file.Given).absoluteFilePath();
        file.Record = CliJobRecord(file.Source, i, request.Edits);
        files.push_back(std::move(file));
    }
    return files;
}

QString CliFileProblem(const TlvFilesRecord& record, TAVProbe& probe)
{
    const QString problem = CropProblem(record, ReadSourceVideo(probe));
    return problem.isEmpty() ? StartProblem(record, probe) : problem;
}

QString CliFileFailure(const TCliFile& file, const QString& reason)
{
    const bool named = reason.startsWith(file.Source) || reason.startsWith(file.Given);
    return CliMessage(named ? reason : file.Given + QStringLiteral(": ") + reason);
}

std::optional<TCliTaskRecords> PrepareCliTaskRecords(TCliFile& file, const TRunProfile& profile,
                                                     TNamesHandedOut& handedOut, QString& reason)
{
    TAVProbe probe;
    if (!probe.LoadLibraries(CliLibraryFolder())) {
        reason = probe.LastErrMsg();
        return std::nullopt;
    }
    if (!probe.Open(file.Source)) {
        reason = probe.LastErrMsg();
        return std::nullopt;
    }
    reason = CliFileProblem(file.Record, probe);
    if (!reason.isEmpty())
        return std::nullopt;

    TCliTaskRecords records;
    records.Destination =
        MakeRowTaskRecords(profile, file.Record, probe, handedOut, records.Input, records.Output);
    probe.Close();
    return records;
}
