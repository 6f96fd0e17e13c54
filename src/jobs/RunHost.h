#pragma once

#include <QString>

class IRunProgressView;
struct TlvFilesRecord;

// What the window that starts a conversion run offers it: the rows of its
// file list (each with its check mark, caption, job record and "Progress"
// column), the few other controls the run touches, and the progress display.
// The run reads and writes the rows only on the main thread and only through
// this interface, never through a list control directly.
class IRunHost
{
public:
    virtual ~IRunHost() = default;

    virtual int RowCount() const = 0;
    virtual bool RowChecked(int row) const = 0;
    // The full path of the row's source file.
    virtual QString RowCaption(int row) const = 0;
    // The row's job record; it lives as long as the row.
    virtual TlvFilesRecord& RowRecord(int row) = 0;
    // Sets the text of the row's "Progress" column.
    virtual void SetRowProgress(int row, const QString& text) = 0;

    // The first step of Start: validates (and may correct or store) the typed
    // frame size. Start goes on whatever the outcome, with the stored value.
    virtual void ValidateFrameSize() = 0;
    // The preview player must not hold the files a run is about to read.
    virtual void StopPreviewPlayer() = 0;
    // The run is over: Add, Remove, Clear and Start are usable again.
    virtual void EnableListCommands() = 0;
    // The text of the output-folder box, for opening the folder after the run.
    virtual QString ShownOutputFolder() const = 0;

    // The progress display of the run (the window is created on first use).
    virtual IRunProgressView& ProgressView() = 0;
};
