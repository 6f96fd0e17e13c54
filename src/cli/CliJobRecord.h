#pragma once

#include "cli/CliRequest.h"
#include "jobs/TlvFilesRecord.h"

#include <QString>

// The job record of one file as a new file-list row has it, changed by the
// command line's options as the crop, trim and watermark editors would.
// Its zoom is not set here: Start gives every row the profile's, or the one
// --zoom chose.
TlvFilesRecord CliJobRecord(const QString& sourcePath, int addIndex, const TCliJobEdits& edits);
