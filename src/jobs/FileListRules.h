#pragma once

#include "jobs/TlvFilesRecord.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <vector>

class IniFile;

// The rules of the main window's file list that need no widget: which names
// an Add command takes, what a new row and its job record hold, which row is
// selected after a removal, which menu items are usable, and the open
// dialog's filter.

// The columns of the list, in their order.
enum TFileListColumn {
    SourceColumn,        // "Source": the row caption, the full path
    LengthColumn,        // "Length"
    TrimmedLengthColumn, // "Trimmed Length"
    DestinationColumn,   // "Destination File"
    ProgressColumn,      // "Progress"
};

// ---- the open dialog

// The filter of the Add command's open dialog, one literal: description and
// pattern alternate, separated by "|"; patterns are separated by ";".
QString OpenDialogFilterText();

// The filter text as the Qt file dialog takes it: one "description (patterns)"
// entry per pair, patterns separated by blanks, empty patterns (a trailing
// ";") dropped. "*.*" means every file, as it does on the system the filter
// was written for; on Linux it would miss names without a dot, so it becomes
// "*". A description without a pattern part is dropped.
QStringList OpenDialogNameFilters(const QString& filterText);

// ---- adding files

// What the Add command does with one chosen name.
enum class TSourceDecision {
    Add,
    SkipDirectory,
    SkipListed, // a row with exactly this path (same case) is in the list already
};

// `listedCaptions`: the captions (full source paths) of the rows already listed.
TSourceDecision DecideNewSource(const QString& path, const QStringList& listedCaptions);

// What one Add command reads once for all its files.
struct TAddBatch
{
    int FormatCode = 1;
    QString Suffix; // of the name shown in "Destination File": "_ipod." + "FileExt"
    QString Zoom;   // "parazoom" of the profile's settings section
};

// "FormatCode" of section "settings" (default 1), "FileExt" of that profile's
// catalogue section (default "mp4"), "parazoom" of its settings section
// (default "lbox").
TAddBatch ReadAddBatch(const IniFile& settings, const IniFile& catalogue);

// A probe duration in microseconds as the whole seconds a row and its record
// keep (truncated; an unknown duration, -1, gives 0).
qint32 WholeSeconds(qint64 durationUS);

// The job record of a new row: the defaults of TlvFilesRecord with the
// row's position in the dialog's selection, its source, its destination,
// its duration and the batch's zoom.
TlvFilesRecord NewJobRecord(int addIndex, const QString& sourcePath, const QString& outputFile,
                            qint64 durationUS, const QString& zoom);

// The texts of a new row's columns: "Source", "Length", "Trimmed Length",
// "Destination File" (the file-name part of the destination), "Progress".
QStringList NewRowTexts(const TlvFilesRecord& record);

// ---- removing

// The row to select after row `removedRow` was removed and `rowsLeft` rows
// remain: the row now at the removed one's position, or the last row when the
// removed row was the last; -1 when the list is empty.
int RowToSelectAfterRemoval(int removedRow, int rowsLeft);

// ---- menus

enum class TFileListCommand {
    Add,
    Remove,
    Clear,
    Start,
    Crop,
    Trim,
    WaterMark,
    Information,
    CheckAll,
    UncheckAll,
    ReverseCheck,
    Check,
    Uncheck,
};

struct TCommandEnabling
{
    TFileListCommand Command;
    bool Enabled;
};

enum class TFileListMenu { Edit, Popup };

// The items a menu sets when it opens, and to what. Items it does not name
// keep their state. Both menus offer their selection commands exactly when
// the list has rows and one of them is selected; the popup's "Add" is always
// usable.
std::vector<TCommandEnabling> MenuEnablingOnOpen(TFileListMenu menu, int rowCount, bool rowSelected);
