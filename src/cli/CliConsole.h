#pragma once

#include <QString>

#include <map>

// The converter's two output streams. Results go to standard output; messages
// and progress to standard error. On a terminal the progress of each running
// file is one line that updates in place (a block of such lines when several
// files convert at once); elsewhere every progress report is a plain line, so
// a log file reads from top to bottom. Main thread only.
class TCliConsole
{
public:
    // Decides from the stream itself whether standard error is a terminal.
    TCliConsole();
    TCliConsole(const TCliConsole&) = delete;
    TCliConsole& operator=(const TCliConsole&) = delete;

    // One line on standard output.
    void Out(const QString& line);
    // One line on standard error, above the progress lines.
    void Err(const QString& line);
    // The progress line of one file (key: its task index), updated in place on a terminal.
    void Progress(int key, const QString& line);
    // That file's progress line stays as it is and is no longer updated.
    void EndProgress(int key);

private:
    void EraseBlock();
    void DrawBlock();

    bool FErrorIsTerminal;
    std::map<int, QString> FLines; // the updating lines, in task order
    int FDrawnLines = 0;           // lines of the block now on the terminal
};

// "clarvix-convert: " + text: how every message of the converter begins.
QString CliMessage(const QString& text);
