#pragma once

#include "cli/CliRequest.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reads the command line of clarvix-convert. Options take their value as the
// next argument or after "=" ("--profile 1", "--profile=1"); "--" ends the
// options, so a file name may begin with "-". Values outside their range,
// malformed lists, unknown profile codes, unknown options and options that
// mean nothing in the chosen mode are refused with a message naming them.

struct TCliParseResult
{
    std::optional<TCliRequest> Request; // absent: Error says why
    QString Error;
};

// `arguments` without the program name.
TCliParseResult ParseCliArguments(const QStringList& arguments);

// The limits the values are checked against (also named in the help text).
inline constexpr double MaxCliSeconds = 9999999.0; // about 115 days
inline constexpr int MaxCliPixels = 16384;
inline constexpr int MaxCliFontSize = 500;
inline constexpr int MaxCliJobs = 64;
