#pragma once

#include "cli/CliRequest.h"

#include <QString>

#include <optional>

class TCliContext;

// The output profile of one call.
struct TCliProfile
{
    int Code = 1;
};

// The profile of --profile, else "FormatCode" of the settings (default 1).
// A profile whose settings section does not exist yet is given the
// catalogue's defaults in the settings file, as the main window does when it
// shows that profile: this is the only thing the converter writes there.
// Empty with the reason when the stored code names no profile or the
// settings file cannot be written.
std::optional<TCliProfile> PrepareCliProfile(const TCliRequest& request, const TCliContext& context,
                                             QString& reason);
