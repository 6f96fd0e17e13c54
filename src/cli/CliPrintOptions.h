#pragma once

#include <vector>

class TCliConsole;
struct TCliTaskRecords;

// --print-options: for each prepared file its input and output records as
// "[Input]" and "[Output]" blocks of Field=value lines, a blank line between files.
void PrintCliTaskOptions(const TCliTaskRecords& task, bool first, TCliConsole& console);
