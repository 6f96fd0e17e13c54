#include "cli/CliContext.h"

#include "app/GlobalObject.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A missing settings file is a first run: it reads as defaults and the first
// write creates it. A catalogue must be there: without it every profile
// would convert with made-up defaults.
QString CheckReadable(const QString& path, const QString& what, bool mayBeMissing)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (mayBeMissing)
            return QString();
        return QStringLiteral("cannot read the %1 %2: no such file").arg(what, path);
    }
    if (info.isDir())
        return QStringLiteral("cannot read the %1 %2: it is a folder").arg(what, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the %1 %2: %3").arg(what, path, file.errorString());
    return QString();
}

} // namespace

std::unique_ptr<TCliContext> TCliContext::Open(const TCliRequest& request, QString& reason)
{
    const TFileLocations locations = LocateFiles();
    // Absolute paths: the context ignores paths too short to name a file.
    const QString settings =
        QFileInfo(request.SettingsFile.value_or(locations.SettingsFile)).absoluteFilePath();
    const QString catalogue =
        QFileInfo(request.CatalogueFile.value_or(locations.FormatFile)).absoluteFilePath();

    reason = CheckReadable(catalogue, QStringLiteral("format catalogue"), false);
    if (reason.isEmpty())
        reason = CheckReadable(settings, QStringLiteral("settings file"), true);
    if (!reason.isEmpty())
        return nullptr;
    if (!request.SettingsFile)
        EnsureSettingsFolder(locations); // as the main window does for the program's own file

    std::unique_ptr<TCliContext> context(new TCliContext);
    context->FGlobal = std::make_unique<TGlobalObject>();
    context->FGlobal->SetSettingsFile(settings);
    context->FGlobal->SetFormatFile(catalogue);
    GlobalObject = context->FGlobal.get();
    return context;
}

TCliContext::~TCliContext()
{
    if (GlobalObject == FGlobal.get())
        GlobalObject = nullptr;
}

const QString& TCliContext::SettingsFile() const
{
    return FGlobal->SettingsFile();
}

const QString& TCliContext::CatalogueFile() const
{
    return FGlobal->FormatFile();
}

QString CliLibraryFolder()
{
    return ExecutableFolder() + QStringLiteral("LibAV");
}
