#pragma once

#include "cli/CliTaskSetup.h"
#include "jobs/RunHost.h"

#include <vector>

// The file list of a command line for the conversion run: every file of the
// call is a checked row, its caption the full path. There is no window, so
// the frame size box, the preview player and the list commands are nothing
// to the run, and the rows' "Progress" column is the progress line.
class TCliRunHost : public IRunHost
{
public:
    // The files must outlive the host and keep their places (the run's
    // frame hook reaches their records while it goes).
    TCliRunHost(std::vector<TCliFile>& files, IRunProgressView& view) : FFiles(files), FView(view) {}

    int RowCount() const override { return int(FFiles.size()); }
    bool RowChecked(int) const override { return true; }
    QString RowCaption(int row) const override { return FFiles.at(size_t(row)).Source; }
    TlvFilesRecord& RowRecord(int row) override { return FFiles.at(size_t(row)).Record; }
    void SetRowProgress(int, const QString&) override {}
    void ValidateFrameSize() override {}
    void StopPreviewPlayer() override {}
    void EnableListCommands() override {}
    QString ShownOutputFolder() const override { return QString(); }
    IRunProgressView& ProgressView() override { return FView; }

private:
    std::vector<TCliFile>& FFiles;
    IRunProgressView& FView;
};
