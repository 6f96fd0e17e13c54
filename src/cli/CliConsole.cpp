#include "cli/CliConsole.h"

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void Write(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Moves to the start of the line and clears it.
const QString ClearLine = QStringLiteral("\r\x1b[K");

// A line wider than the terminal would wrap, and going back up over the block
// would then miss rows; such lines are cut to the width.
QString FitToTerminal(const QString& line)
{
    winsize size{};
    if (::ioctl(::fileno(stderr), TIOCGWINSZ, &size) != 0 || size.ws_col < 2)
        return line;
    const int width = size.ws_col - 1;
    return line.size() <= width ? line : line.left(width);
}

} // namespace

TCliConsole::TCliConsole() : FErrorIsTerminal(::isatty(::fileno(stderr)) == 1) {}

void TCliConsole::Out(const QString& line)
{
    EraseBlock();
    Write(stdout, line + QLatin1Char('\n'));
    DrawBlock();
}

void TCliConsole::Err(const QString& line)
{
    EraseBlock();
    Write(stderr, line + QLatin1Char('\n'));
    DrawBlock();
}

void TCliConsole::Progress(int key, const QString& line)
{
    if (!FErrorIsTerminal) {
        Write(stderr, line + QLatin1Char('\n'));
        return;
    }
    EraseBlock();
    FLines[key] = FitToTerminal(line);
    DrawBlock();
}

void TCliConsole::EndProgress(int key)
{
    const auto found = FLines.find(key);
    if (found == FLines.end())
        return;
    EraseBlock();
    const QString last = found->second;
    FLines.erase(found);
    // Ended lines go above the ones still updating.
    Write(stderr, last + QLatin1Char('\n'));
    DrawBlock();
}

void TCliConsole::EraseBlock()
{
    if (!FErrorIsTerminal || FDrawnLines == 0)
        return;
    // Every drawn line ended with a line break: go back up over them.
    QString text;
    for (int i = 0; i < FDrawnLines; ++i)
        text += QStringLiteral("\x1b[A") + ClearLine;
    Write(stderr, text);
    FDrawnLines = 0;
}

void TCliConsole::DrawBlock()
{
    if (!FErrorIsTerminal || FLines.empty())
        return;
    QString text;
    for (const auto& [key, line] : FLines)
        text += ClearLine + line + QLatin1Char('\n');
    Write(stderr, text);
    FDrawnLines = int(FLines.size());
}

QString CliMessage(const QString& text)
{
    return QStringLiteral("clarvix-convert: ") + text;
}
