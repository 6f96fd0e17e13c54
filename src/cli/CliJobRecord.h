#pragma once

#include "cli/CliRequest.h"
#include "jobs/TlvFilesRecord.h"

#include <QString>

// The job record of one file as a new file-list row has it, changed by the
// command line's options as the crop, trim and watermark editors would.
//
// `profileZoom` is "parazoom" of the profile, which Start puts into every
// row; an explicit --zoom wins over it, since on the command line it is the
// only way to choose a zoom for one call.
TlvFilesRecord CliJobRecord(const QString& sourcePath, int addIndex, const TCliJobEdits& edits,
                            const QString& profileZoom);
