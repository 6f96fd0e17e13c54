#pragma once

#include <QString>
#include <QUrl>
#include <vector>

// Opening a folder in the file manager and an address in the browser, behind
// one injectable service so that tests never start another program.

class IShellOpener
{
public:
    virtual ~IShellOpener() = default;
    // Shows a folder in the desktop's file manager; false when nothing could be started.
    virtual bool OpenFolder(const QString& folder) = 0;
    // Opens an address (web page or local file) with the desktop's default program.
    virtual bool OpenAddress(const QString& address) = 0;
};

// The service in use. Until the program installs one, an inert service opens
// nothing and answers false, so library code and tests stay quiet.
IShellOpener& Shell();
// Installs a service (not owned); nullptr restores the inert one.
void SetShell(IShellOpener* service);

// The URL handed to the desktop for a folder path. Characters such as "#" or
// "?" stay part of the path.
QUrl FolderUrl(const QString& folder);
// The URL for an address: an absolute local path becomes a file URL, anything
// else is taken as a URL the user typed.
QUrl AddressUrl(const QString& address);

// The desktop's own handlers, through QDesktopServices.
class TDesktopShell : public IShellOpener
{
public:
    bool OpenFolder(const QString& folder) override;
    bool OpenAddress(const QString& address) override;
};

// Records every request and answers with `Result` (tests).
class TRecordingShell : public IShellOpener
{
public:
    bool OpenFolder(const QString& folder) override;
    bool OpenAddress(const QString& address) override;

    std::vector<QString> Folders;
    std::vector<QString> Addresses;
    bool Result = true;
};
