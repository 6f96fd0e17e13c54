#pragma once

#include <QString>

// What `clarvix-convert --help` prints: the interface and its defaults.
QString CliHelpText();
// The one line shown with a usage error.
QString CliUsageHint();
