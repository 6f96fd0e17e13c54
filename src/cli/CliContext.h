#pragma once

#include "cli/CliRequest.h"

#include <QString>

#include <memory>

class TGlobalObject;

// The application context of one call: which settings file and catalogue it
// uses (the program's own unless the options name others), checked before
// anything reads them, and installed as the shared `GlobalObject` so the
// shared code (option mapping, naming) reads the same files.
class TCliContext
{
public:
    // Reason is empty when both files can be used.
    static std::unique_ptr<TCliContext> Open(const TCliRequest& request, QString& reason);
    ~TCliContext();
    TCliContext(const TCliContext&) = delete;
    TCliContext& operator=(const TCliContext&) = delete;

    const QString& SettingsFile() const;
    const QString& CatalogueFile() const;

private:
    TCliContext() = default;
    std::unique_ptr<TGlobalObject> FGlobal;
};

// The folder the engine loads the media libraries from: "LibAV" beside the executable.
QString CliLibraryFolder();
