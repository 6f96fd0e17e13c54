#pragma once

#include "media/LibraryTypes.h"

#include <QObject>
#include <QString>

// Common base of the media components (engine, probe, player, logger): the
// library set a component needs, loading it through the single loader, and
// the component's last error text.
class TFFBaseComponent : public QObject
{
public:
    explicit TFFBaseComponent(TLibraryTypes libraries, QObject* owner = nullptr);

    // Sets the loader's LibraryPath and loads the component's set; on failure
    // the loader's LastError becomes this component's LastErrMsg.
    bool LoadLibraries(const QString& path);
    // Every library of the component's set is loaded.
    bool LibrariesLoaded() const;

    TLibraryTypes Libraries() const { return FLibraries; }
    const QString& LastErrMsg() const { return FLastErrMsg; }

protected:
    void SetLastErrMsg(const QString& text) { FLastErrMsg = text; }

private:
    TLibraryTypes FLibraries;
    QString FLastErrMsg;
};
