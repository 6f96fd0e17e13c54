#pragma once

#include "jobs/OutputNaming.h"

#include <QString>

#include <optional>

class TAVProbe;
struct TInputOptions;
struct TOutputOptions;
class TGlobalObject;
struct TRunOptions;
struct TlvFilesRecord;

// What Start makes of a checked row before the engine sees it: its
// destination, its zoom and both option records. Shared by the run and by
// the command line's printing of the records, so both show one truth.

// The profile and the naming of one Start, read once from the settings and
// the catalogue of the application context.
struct TRunProfile
{
    int FormatCode = 1;
    QString Section;                     // "formatInfo" + FormatCode
    QString Suffix;                      // "." + "FileExt" of the catalogue section (default "mp4")
    std::optional<QString> OutputFolder; // as in TRunOptions
    std::optional<QString> Zoom;
};

// The application context whose settings and catalogue a run reads.
// Throws std::logic_error without one.
const TGlobalObject& RunContext();

// Throws std::logic_error without an application context.
TRunProfile ReadRunProfile(const TRunOptions& options);

// For one row whose source `probe` has open: the destination (a name not on
// disk and not in `handedOut`, which receives it), the row's zoom (the
// options' or the profile's "parazoom"), and the records of MapTaskOptions.
// Returns the destination. Throws what the mapping throws.
QString MakeRowTaskRecords(const TRunProfile& profile, TlvFilesRecord& record, TAVProbe& probe,
                           TNamesHandedOut& handedOut, TInputOptions& input, TOutputOptions& output);
