#include "cli/CliTesting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <stdexcept>

QString CliProgram()
{
    return QStringLiteral(CLARVIX_BIN_DIR "/clarvix-convert");
}

QString ShippedCatalogue()
{
    return QStringLiteral(CLARVIX_SOURCE_DIR "/data/quenvoipodformat.ini");
}

TCliRun RunCli(const QStringList& arguments, int timeoutMs,
               const std::function<bool(qint64 pid, const TCliRun& soFar)>& whileRunning)
{
    TCliRun run;
    QProcess process;
    process.start(CliProgram(), arguments);
    if (!process.waitForStarted(30000))
        throw std::runtime_error("clarvix-convert does not start: " + process.errorString().toStdString());
    process.closeWriteChannel();
    QElapsedTimer clock;
    clock.start();
    bool done = !whileRunning;
    QByteArray outBytes;
    QByteArray errBytes;
    while (process.state() != QProcess::NotRunning && clock.elapsed() < timeoutMs) {
        // Waiting for the end in small steps reads both channels as they fill.
        process.waitForFinished(50);
        const QByteArray out = process.readAllStandardOutput();
        const QByteArray err = process.readAllStandardError();
        // Kept as bytes: a chunk may end inside a character.
        outBytes += out;
        errBytes += err;
        run.Out = QString::fromUtf8(outBytes);
        run.Err = QString::fromUtf8(errBytes);
        if (!done && (!out.isEmpty() || !err.isEmpty()) && process.state() != QProcess::NotRunning)
            done = whileRunning(process.processId(), run);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
        throw std::runtime_error("clarvix-convert did not end in time; stderr: " + run.Err.toStdString());
    }
    outBytes += process.readAllStandardOutput();
    errBytes += process.readAllStandardError();
    run.Out = QString::fromUtf8(outBytes);
    run.Err = QString::fromUtf8(errBytes);
    run.Crashed = process.exitStatus() != QProcess::NormalExit;
    run.ExitCode = process.exitCode();
    return run;
}

TCliSandbox::TCliSandbox() = default;

QStringList TCliSandbox::Args(const QStringList& more) const
{
    return QStringList{"--settings",       SettingsFile(), "--catalogue",
                       ShippedCatalogue(), "--output-dir", OutputFolder()} +
           more;
}

QStringList TCliSandbox::Outputs() const
{
    return QDir(OutputFolder()).entryList(QDir::Files, QDir::Name);
}

namespace {

QByteArray RunFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-nostdin", "-y"} + arguments);
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("ffmpeg failed: " + process.readAllStandardError().toStdString());
    return process.readAllStandardOutput();
}

} // namespace

QString MakeClip(const QString& folder, const QString& name, int width, int height, double seconds,
                 bool withAudio)
{
    const QString path = QDir(folder).filePath(name);
    const QString duration = QString::number(seconds);
    QStringList arguments{
        "-f", "lavfi", "-i",
        QStringLiteral("testsrc2=size=%1x%2:rate=25:duration=%3").arg(width).arg(height).arg(duration)};
    if (withAudio)
        arguments << QStringList{"-f", "lavfi", "-i",
                                 "sine=frequency=440:sample_rate=48000:duration=" + duration};
    arguments << QStringList{"-c:v", "mpeg4", "-q:v", "5"};
    if (withAudio)
        arguments << QStringList{"-c:a", "aac", "-b:a", "64k"};
    arguments << path;
    RunFfmpeg(arguments);
    return path;
}

QByteArray GreyFrame(const QString& path, double seconds)
{
    return RunFfmpeg({"-ss", QString::number(seconds), "-i", "file:" + path, "-frames:v", "1", "-f",
                      "rawvideo", "-pix_fmt", "gray", "-"});
}

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
