#include "cli/CliDestinations.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"

#include <QDir>
#include <QFileInfo>

std::unique_ptr<TCliDestinations> TCliDestinations::Make(const std::optional<QString>& outputDir,
                                                         const QString& settingsFile, QString& reason)
{
    std::unique_ptr<TCliDestinations> names(new TCliDestinations);
    if (!outputDir) {
        names->FStore = std::make_unique<IniFile>(settingsFile);
        return names;
    }

    const QString folder = QFileInfo(*outputDir).absoluteFilePath();
    // Refused rather than replaced by the default folder: the caller asked for this one.
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        reason = QStringLiteral("cannot create the output folder %1").arg(folder);
        return nullptr;
    }
    names->FScratch = std::make_unique<QTemporaryDir>();
    if (!names->FScratch->isValid()) {
        reason = QStringLiteral("cannot create a temporary folder: %1").arg(names->FScratch->errorString());
        return nullptr;
    }
    names->FStore = std::make_unique<IniFile>(names->FScratch->filePath(QStringLiteral("output.ini")));
    try {
        WriteOutputFolder(*names->FStore, folder);
    } catch (const EIniFileException& e) {
        reason = QStringLiteral("cannot create a temporary file: %1").arg(QString::fromUtf8(e.what()));
        return nullptr;
    }
    return names;
}

TCliDestinations::~TCliDestinations() = default;

QString TCliDestinations::Next(const QString& sourcePath, const QString& suffix)
{
    return MakeDestinationName(*FStore, DefaultOutputFolder(), sourcePath, suffix, &FHandedOut);
}
