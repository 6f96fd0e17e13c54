#include "platform/ShellOpener.h"

#include <QDesktopServices>
#include <QDir>
#include <atomic>

namespace {

class InertShell : public IShellOpener
{
public:
    bool OpenFolder(const QString&) override { return false; }
    bool OpenAddress(const QString&) override { return false; }
};

InertShell inert;
std::atomic<IShellOpener*> current{nullptr};

} // namespace

IShellOpener& Shell()
{
    IShellOpener* s = current.load();
    return s ? *s : inert;
}

void SetShell(IShellOpener* service)
{
    current.store(service);
}

QUrl FolderUrl(const QString& folder)
{
    return QUrl::fromLocalFile(QDir::cleanPath(folder));
}

QUrl AddressUrl(const QString& address)
{
    const QString text = address.trimmed();
    if (QDir::isAbsolutePath(text))
        return QUrl::fromLocalFile(text);
    return QUrl::fromUserInput(text);
}

bool TDesktopShell::OpenFolder(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return false;
    return QDesktopServices::openUrl(FolderUrl(folder));
}

bool TDesktopShell::OpenAddress(const QString& address)
{
    const QUrl url = AddressUrl(address);
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

bool TRecordingShell::OpenFolder(const QString& folder)
{
    Folders.push_back(folder);
    return Result;
}

bool TRecordingShell::OpenAddress(const QString& address)
{
    Addresses.push_back(address);
    return Result;
}
