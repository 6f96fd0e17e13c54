#pragma once

#include <QSet>
#include <QString>

class IniFile;

// Where converted files go and what they are called. Every output lands in the
// folder of the settings value "OutPutDir" (section "settings") under a name
// made from the source's name, a uniqueness marker "_(new)" or "_(new_N)" and
// a suffix chosen by the caller, so no existing file is ever overwritten.

// Names one conversion run has handed out already. The files do not exist yet
// when the names are computed, so without this two sources with the same base
// name in one run would be given the same destination and the second would
// overwrite the first.
using TNamesHandedOut = QSet<QString>;

// The suffix of the name shown in the file list: "_ipod." + extension.
QString FileListSuffix(const QString& fileExt);
// The suffix of the file a conversion writes: "." + extension.
QString ConversionSuffix(const QString& fileExt);

// "OutPutDir" of section "settings", default: the program's default output folder.
QString ReadOutputFolder(const IniFile& settings);
void WriteOutputFolder(IniFile& settings, const QString& folder);

// The folder with exactly one trailing "/" added when it has none.
QString WithTrailingSlash(const QString& folder);

// The file-name part of a path without its last extension: everything from
// the last "." of the name on is dropped ("archive.tar.gz" gives "archive.tar");
// a name without "." stays whole.
QString SourceBaseName(const QString& sourcePath);

// The output folder, ending in "/", made to exist. When "OutPutDir" names no
// folder and it cannot be created (with its parents), shows the warning
// "Cannot create output directory:<F>.It will create default directory <D>!",
// creates the default folder D, stores it as "OutPutDir" and uses it. Should D
// fail too, D is still returned; writing into it then fails in the engine.
QString PrepareOutputFolder(IniFile& settings, const QString& defaultFolder);

// The destination of `sourcePath`: output folder + base name + "_(new)" +
// suffix, or with "_(new_1)", "_(new_2)", ... the first candidate that names
// nothing on disk and is not in `handedOut`. The chosen name is added to
// `handedOut` when one is given.
QString MakeDestinationName(IniFile& settings, const QString& defaultFolder, const QString& sourcePath,
                            const QString& suffix, TNamesHandedOut* handedOut = nullptr);
// The same with the program's settings file and default output folder.
// Throws std::logic_error when the application context does not exist.
QString MakeDestinationName(const QString& sourcePath, const QString& suffix,
                            TNamesHandedOut* handedOut = nullptr);

// The same in a folder the caller chose (made to exist when it can be):
// "OutPutDir" is neither read nor written and there is no fallback; should
// the folder not exist, writing into it fails in the engine.
QString MakeDestinationNameInFolder(const QString& folder, const QString& sourcePath, const QString& suffix,
                                    TNamesHandedOut* handedOut = nullptr);

// The main window's folder commands, kept free of widgets.

// After the folder picker: a picked folder that is not empty and differs from
// the one shown is stored as "OutPutDir"; true when the caller should show it.
bool StorePickedOutputFolder(IniFile& settings, const QString& picked, const QString& shown);
// "Open": when the shown text is longer than 2 characters, shows the stored
// output folder (read again) in the file manager. The result is not checked:
// there is nothing the user could do about a file manager that does not start.
void OpenOutputFolder(const IniFile& settings, const QString& shown);
