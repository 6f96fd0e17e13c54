#include "cli/CliOutputFolder.h"

#include <QDir>
#include <QFileInfo>

bool PrepareCliOutputFolder(const std::optional<QString>& outputDir, std::optional<QString>& folder,
                            QString& reason)
{
    folder.reset();
    if (!outputDir)
        return true;
    const QString path = QFileInfo(*outputDir).absoluteFilePath();
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
        reason = QStringLiteral("cannot create the output folder %1").arg(path);
        return false;
    }
    folder = path;
    return true;
}
