#include "app/GlobalObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

TGlobalObject* GlobalObject = nullptr;

namespace {

const QString SettingsFileName = QStringLiteral("quenvoipodclarvix.ini");
const QString FormatFileName = QStringLiteral("quenvoipodformat.ini");
const QString DataFolderName = QStringLiteral("quenvoipodclarvix");

QString withTrailingSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString configHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

bool folderWritable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

void TGlobalObject::SetSettingsFile(const QString& value)
{
    if (value.size() > 3)
        settingsFile_ = value;
}

void TGlobalObject::SetFormatFile(const QString& value)
{
    if (value.size() > 3)
        formatFile_ = value;
}

void TGlobalObject::SetTitle(const QString& value)
{
    if (!value.isEmpty())
        title_ = value;
}

void TGlobalObject::SetVersionText(const QString& value)
{
    if (!value.isEmpty())
        versionText_ = value;
}

void TGlobalObject::SetHelpURL(const QString& value)
{
    if (!value.isEmpty())
        helpURL_ = value;
}

void TGlobalObject::SetUpdateURL(const QString& value)
{
    if (!value.isEmpty())
        updateURL_ = value;
}

QString TGlobalObject::GetFileVersionText() const
{
    return FormatVersionText(CLARVIX_VERSION_MAJOR, CLARVIX_VERSION_MINOR, CLARVIX_VERSION_PATCH,
                             CLARVIX_VERSION_TWEAK);
}

QString TGlobalObject::RightStr(const QString& text, int count)
{
    if (count <= 0)
        return QString();
    return text.right(count);
}

QString FormatVersionText(int major, int minor, int release, int build)
{
    return QStringLiteral(" %1.%2%3%4 ").arg(major).arg(minor).arg(release).arg(build);
}

TFileLocations LocateFiles(const QString& executableFolder)
{
    TFileLocations l;
    l.ExecutableFolder = withTrailingSlash(QDir::cleanPath(executableFolder));

    if (folderWritable(l.ExecutableFolder))
        l.SettingsFile = l.ExecutableFolder + SettingsFileName;
    else
        l.SettingsFile =
            configHome() + QLatin1Char('/') + DataFolderName + QLatin1Char('/') + SettingsFileName;

    const QString besideExecutable = l.ExecutableFolder + FormatFileName;
    if (QFileInfo::exists(besideExecutable))
        l.FormatFile = besideExecutable;
    else
        l.FormatFile = QDir::cleanPath(l.ExecutableFolder + QStringLiteral("../share/") + DataFolderName) +
                       QLatin1Char('/') + FormatFileName;

    l.DefaultOutputFolder = DefaultOutputFolder();
    return l;
}

TFileLocations LocateFiles()
{
    return LocateFiles(ExecutableFolder());
}

QString ExecutableFolder()
{
    return withTrailingSlash(QCoreApplication::applicationDirPath());
}

QString DefaultOutputFolder()
{
    return QDir::homePath() + QStringLiteral("/clarvix");
}

bool EnsureSettingsFolder(const TFileLocations& locations)
{
    return QDir().mkpath(QFileInfo(locations.SettingsFile).path());
}
