#pragma once

#include <QStringList>

class TCliConsole;

// --info: the probe's information text of each file on standard output, a
// blank line between files; a file that cannot be opened is reported on
// standard error by name. The exit status.
int RunCliInfo(const QStringList& files, TCliConsole& console);
