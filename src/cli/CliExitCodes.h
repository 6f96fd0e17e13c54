#pragma once

// The exit status of clarvix-convert.
inline constexpr int CliExitSuccess = 0;       // every file converted (or listed, printed)
inline constexpr int CliExitSomeFailed = 1;    // at least one file failed; each failure was reported
inline constexpr int CliExitUsage = 2;         // usage error, or an unreadable catalogue or settings file
inline constexpr int CliExitInterrupted = 130; // stopped by Ctrl-C (128 + SIGINT)
