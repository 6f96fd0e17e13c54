#pragma once

#include "jobs/OutputNaming.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class IniFile;

// Hands out the destination names of one call with the program's naming rule
// ("_(new)", "_(new_N)", names handed out earlier in the call counted as
// taken). The folder is --output-dir when given, else "OutPutDir" of the
// settings with the main window's fallback to the default folder.
class TCliDestinations
{
public:
    // Empty with the reason when --output-dir cannot be made.
    static std::unique_ptr<TCliDestinations> Make(const std::optional<QString>& outputDir,
                                                  const QString& settingsFile, QString& reason);
    ~TCliDestinations();

    QString Next(const QString& sourcePath, const QString& suffix);

private:
    TCliDestinations() = default;

    // The naming reads its folder from a settings store. A folder given on
    // the command line must not end up in the user's settings, so the naming
    // gets a scratch store that holds only that folder.
    std::unique_ptr<QTemporaryDir> FScratch;
    std::unique_ptr<IniFile> FStore;
    TNamesHandedOut FHandedOut;
};
