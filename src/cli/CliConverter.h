#pragma once

#include <QStringList>

// The whole of clarvix-convert once the application object exists: reads the
// arguments (without the program name), does what they ask and returns the
// exit status (CliExitCodes.h).
int RunClarvixConvert(const QStringList& arguments);
