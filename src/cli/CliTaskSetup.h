#pragma once

#include "cli/CliRequest.h"
#include "engine/OptionRecords.h"
#include "jobs/OutputNaming.h"
#include "jobs/TlvFilesRecord.h"

#include <QString>

#include <optional>
#include <vector>

class TAVProbe;
struct TRunProfile;

// One file of the call as a row of the file list holds it: the name as it
// was given, the full path (the row caption) and its job record.
struct TCliFile
{
    QString Given;
    QString Source;
    TlvFilesRecord Record;
};

// The files of the call in the order given, each with the record the
// command line's edits make.
std::vector<TCliFile> CliFiles(const TCliRequest& request);

// Why a file that opened cannot take this call's edits: a crop that leaves
// nothing of its picture, or a start at or past its end. Empty when it can.
QString CliFileProblem(const TlvFilesRecord& record, TAVProbe& probe);

// The message for a file that is left out, naming it once: the probe's
// reasons mostly begin with the path already.
QString CliFileFailure(const TCliFile& file, const QString& reason);

// What --print-options shows of one file: the records Start would hand the engine.
struct TCliTaskRecords
{
    QString Destination;
    TInputOptions Input;
    TOutputOptions Output;
};

// Opens the file with a probe of its own and makes its records as Start
// does (MakeRowTaskRecords), without any engine task or output file. Empty,
// with the reason, when the file cannot be opened or CliFileProblem refuses
// it. Throws what the mapping and the naming throw (EConvertError for a
// volume that is not a number, EIniFileException when the naming's folder
// fallback cannot be stored).
std::optional<TCliTaskRecords> PrepareCliTaskRecords(TCliFile& file, const TRunProfile& profile,
                                                     TNamesHandedOut& handedOut, QString& reason);
