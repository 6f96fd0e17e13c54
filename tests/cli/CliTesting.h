#pragma once

#include "support/TemporaryFolder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// Runs the built clarvix-convert and collects what it says.
struct TCliRun
{
    int ExitCode = -1;
    bool Crashed = false;
    QString Out;
    QString Err;
};

QString CliProgram();
// The shipped catalogue of the source tree.
QString ShippedCatalogue();

// Runs the program with these arguments. `whileRunning` (optional) is called
// with the process id and the output so far each time more output arrived,
// until it returns true.
TCliRun RunCli(const QStringList& arguments, int timeoutMs = 300000,
               const std::function<bool(qint64 pid, const TCliRun& soFar)>& whileRunning = {});

// A call's own settings file (absent until the program writes it) and output
// folder, in a temporary folder; Args() puts them and the shipped catalogue
// before the call's own arguments.
class TCliSandbox
{
public:
    TCliSandbox();

    QString SettingsFile() const { return FFolder.FilePath(QStringLiteral("settings.ini")); }
    QString OutputFolder() const { return FFolder.FilePath(QStringLiteral("out")); }
    QString FilePath(const QString& name) const { return FFolder.FilePath(name); }
    QStringList Args(const QStringList& more) const;
    // The files now in the output folder, sorted by name.
    QStringList Outputs() const;

private:
    TTemporaryFolder FFolder;
};

// A short test clip made with ffmpeg's generators in `folder` (for sizes the
// shared fixtures do not have). Throws std::runtime_error when ffmpeg fails.
QString MakeClip(const QString& folder, const QString& name, int width, int height, double seconds,
                 bool withAudio);

// The grey levels of one frame of a video at `seconds`, as ffmpeg decodes it.
QByteArray GreyFrame(const QString& path, double seconds);

// Test messages show texts as text (the lists of them too).
void PrintTo(const QString& text, std::ostream* out);
