#pragma once

#include "cli/CliRequest.h"
#include "engine/OptionRecords.h"
#include "jobs/TlvFilesRecord.h"

#include <QString>

#include <optional>

class TCliDestinations;
struct TCliProfile;

// One file of the call made ready for the engine, as Start prepares a
// checked row: its job record, its destination and both option records.
struct TCliTask
{
    QString Source;
    TlvFilesRecord Record;
    QString Destination;
    TInputOptions Input;
    TOutputOptions Output;
};

// Opens the source with a probe, names its destination with "." + the
// profile's extension, gives the record the zoom and maps the profile, the
// probe and the record into the two option records (MapTaskOptions). Empty,
// with the reason, when the file cannot be opened, the crop leaves nothing of
// its picture or the trim starts at or past its end. Throws EConvertError for
// settings the mapping cannot use (a volume that is not a number) and
// EIniFileException when the naming's folder fallback cannot be stored.
std::optional<TCliTask> PrepareCliTask(const QString& source, int addIndex, const TCliRequest& request,
                                       const TCliProfile& profile, TCliDestinations& destinations,
                                       QString& reason);
