#include "jobs/OutputNaming.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "platform/DialogService.h"
#include "platform/ShellOpener.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace {

const QString SettingsSection = QStringLiteral("settings");
const QString OutputFolderKey = QStringLiteral("OutPutDir");

// Creates the folder with its missing parents. An empty text names no folder
// (it would otherwise resolve to the current folder).
bool MakeFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

// Anything already there (a file, a folder, even a dangling link) would make
// the engine's write fail or replace it, so it counts as taken.
bool NameTaken(const QString& path, const TNamesHandedOut* handedOut)
{
    const QFileInfo entry(path);
    if (entry.exists() || entry.isSymLink())
        return true;
    return handedOut && handedOut->contains(path);
}

// Steps 4 to 6 of the naming in a folder that ends in "/".
QString FirstFreeName(const QString& folder, const QString& sourcePath, const QString& suffix,
                      TNamesHandedOut* handedOut)
{
    const QString base = folder + SourceBaseName(sourcePath);
    QString name = base + QStringLiteral("_(new)") + suffix;
    for (qint64 n = 1; NameTaken(name, handedOut); ++n)
        name = base + QStringLiteral("_(new_") + QString::number(n) + QStringLiteral(")") + suffix;
    if (handedOut)
        handedOut->insert(name);
    return name;
}

} // namespace

QString FileListSuffix(const QString& fileExt)
{
    return QStringLiteral("_ipod.") + fileExt;
}

QString ConversionSuffix(const QString& fileExt)
{
    return QStringLiteral(".") + fileExt;
}

QString ReadOutputFolder(const IniFile& settings)
{
    return settings.ReadString(SettingsSection, OutputFolderKey, DefaultOutputFolder());
}

void WriteOutputFolder(IniFile& settings, const QString& folder)
{
    settings.WriteString(SettingsSection, OutputFolderKey, folder);
}

QString WithTrailingSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString SourceBaseName(const QString& sourcePath)
{
    const QString name = sourcePath.mid(sourcePath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString PrepareOutputFolder(IniFile& settings, const QString& defaultFolder)
{
    QString folder = settings.ReadString(SettingsSection, OutputFolderKey, defaultFolder);
    if (!QFileInfo(folder).isDir() && !MakeFolder(folder)) {
        Dialogs().MessageBox(QStringLiteral("Cannot create output directory:") + folder +
                                 QStringLiteral(".It will create default directory ") + defaultFolder +
                                 QStringLiteral("!"),
                             QStringLiteral("Warning"), TMsgIcon::Warning, TMsgButtons::Ok);
        MakeFolder(defaultFolder);
        WriteOutputFolder(settings, defaultFolder);
        folder = defaultFolder;
    }
    return WithTrailingSlash(folder);
}

QString MakeDestinationName(IniFile& settings, const QString& defaultFolder, const QString& sourcePath,
                            const QString& suffix, TNamesHandedOut* handedOut)
{
    return FirstFreeName(PrepareOutputFolder(settings, defaultFolder), sourcePath, suffix, handedOut);
}

QString MakeDestinationNameInFolder(const QString& folder, const QString& sourcePath, const QString& suffix,
                                    TNamesHandedOut* handedOut)
{
    if (!QFileInfo(folder).isDir())
        MakeFolder(folder);
    return FirstFreeName(WithTrailingSlash(folder), sourcePath, suffix, handedOut);
}

QString MakeDestinationName(const QString& sourcePath, const QString& suffix, TNamesHandedOut* handedOut)
{
    if (!GlobalObject)
        throw std::logic_error("MakeDestinationName: the application context does not exist");
    IniFile settings(GlobalObject->SettingsFile());
    return MakeDestinationName(settings, DefaultOutputFolder(), sourcePath, suffix, handedOut);
}

bool StorePickedOutputFolder(IniFile& settings, const QString& picked, const QString& shown)
{
    if (picked.isEmpty() || picked == shown)
        return false;
    WriteOutputFolder(settings, picked);
    return true;
}

void OpenOutputFolder(const IniFile& settings, const QString& shown)
{
    if (shown.size() > 2)
        Shell().OpenFolder(ReadOutputFolder(settings));
}
