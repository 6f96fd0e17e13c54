#include "FfprobeFacts.h"

#include <QJsonDocument>
#include <QProcess>
#include <stdexcept>

QJsonObject FfprobeFacts(const QString& path)
{
    QString program = QString::fromLocal8Bit(qgetenv("CLARVIX_FFPROBE"));
    if (program.isEmpty())
        program = QStringLiteral("ffprobe");
    QProcess process;
    // "file:" keeps names with ":" or a leading "-" from being read as a protocol or an option.
    process.start(program, {"-v", "error", "-show_format", "-show_streams", "-show_programs", "-of", "json",
                            "file:" + path});
    if (!process.waitForStarted(30000) || !process.waitForFinished(120000))
        throw std::runtime_error("ffprobe did not run on " + path.toStdString());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error("ffprobe cannot read " + path.toStdString() + ": " +
                                 process.readAllStandardError().toStdString());
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(process.readAllStandardOutput(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        throw std::runtime_error("ffprobe output unreadable for " + path.toStdString());
    return document.object();
}
