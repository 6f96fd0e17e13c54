#pragma once

#include <QString>

#include <optional>

// The folder of --output-dir as a full path, made to exist. A folder given
// on the command line is used as it is and never stored in the settings;
// without --output-dir the naming uses "OutPutDir" with its fallback.
// False, with the reason, when the folder cannot be made: the caller asked
// for this one, so it is not replaced by the default folder.
bool PrepareCliOutputFolder(const std::optional<QString>& outputDir, std::optional<QString>& folder,
                            QString& reason);
