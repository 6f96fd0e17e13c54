#pragma once

#include <QString>

// The application context: where the program's files are and what it is
// called. One instance, `GlobalObject`, lives while the main window does;
// every window reads its file locations from it.
class TGlobalObject
{
public:
    const QString& SettingsFile() const { return settingsFile_; }
    const QString& FormatFile() const { return formatFile_; }
    const QString& Title() const { return title_; }
    const QString& VersionText() const { return versionText_; }
    const QString& HelpURL() const { return helpURL_; }
    const QString& UpdateURL() const { return updateURL_; }

    // A path of 3 characters or fewer cannot name a file and is ignored.
    void SetSettingsFile(const QString& value);
    void SetFormatFile(const QString& value);
    // Empty values are ignored; the previous content stays.
    void SetTitle(const QString& value);
    void SetVersionText(const QString& value);
    void SetHelpURL(const QString& value);
    void SetUpdateURL(const QString& value);

    // " major.minorreleasebuild " of the running program, e.g. " 1.600 ".
    QString GetFileVersionText() const;
    // The last `count` characters of `text`; the whole text when it is shorter.
    static QString RightStr(const QString& text, int count);

private:
    QString settingsFile_;
    QString formatFile_;
    QString title_;
    QString versionText_;
    QString helpURL_;
    QString updateURL_;
};

// Created by the main window's creation, freed with the main window.
extern TGlobalObject* GlobalObject;

// The version text of four version numbers: 3.3.0.0 gives " 3.300 ".
QString FormatVersionText(int major, int minor, int release, int build);

// Where the program finds and keeps its files.
struct TFileLocations
{
    QString ExecutableFolder; // ends in "/"
    QString SettingsFile;
    QString FormatFile;
    QString DefaultOutputFolder;
};

// The locations for an executable in `executableFolder`:
// - settings: beside the executable when that folder is writable, else
//   $XDG_CONFIG_HOME/quenvoipodclarvix/quenvoipodclarvix.ini ($HOME/.config
//   when XDG_CONFIG_HOME is unset);
// - catalogue: beside the executable when it is there, else in the installed
//   data folder <prefix>/share/quenvoipodclarvix/ (the executable being in <prefix>/bin);
// - default output folder: $HOME/clarvix.
TFileLocations LocateFiles(const QString& executableFolder);
// The same for the running executable.
TFileLocations LocateFiles();

// The folder of the running executable, ending in "/".
QString ExecutableFolder();
// $HOME/clarvix: the output and snapshot folder when none is set.
QString DefaultOutputFolder();

// Makes sure the folder that will hold the settings file exists, so the first
// write can create the file; false when it cannot be made.
bool EnsureSettingsFolder(const TFileLocations& locations);
