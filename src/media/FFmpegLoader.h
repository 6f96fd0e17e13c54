#pragma once

#include "media/LibraryTypes.h"

#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <mutex>

// The single process-wide loader of the media libraries.
//
// The libraries are linked when the program is built (the executables find
// them in "LibAV" beside them first, then in the system). "Loading" a kind
// therefore checks that the library present in the process has the major
// version the program was built against; the set-based interface, the
// per-library status, the error texts and the actions that follow binding
// (the log callback after the utility library, the "unicode" protocol after
// the container library) are kept as the components rely on them.
//
// Used from the main thread (components load in their set-up code); IsLoaded
// and SetLoaded may be asked from any thread.
class TFFmpegLoader
{
public:
    // Checks one kind against the process: an empty text when it is present
    // with the expected version, otherwise the reason it is not.
    using TLibraryCheck = std::function<QString(TLibraryType)>;

    TFFmpegLoader();

    // Folder searched first. Kept for the components' interface; the dynamic
    // linker finds the libraries through the executable's run path.
    QString LibraryPath() const;
    void SetLibraryPath(const QString& path);

    // Text of the most recent failure; a later success does not clear it.
    QString LastError() const;

    // The library's file name, e.g. "libavcodec.so.59" or "libSDL2-2.0.so.0".
    static QString LibraryFileName(TLibraryType kind);

    // Loads and binds one kind; on failure LastError is
    // "Load library <file name> error: <reason>" and the kind is unloaded.
    bool LoadOne(TLibraryType kind);
    void UnloadOne(TLibraryType kind);
    bool IsLoaded(TLibraryType kind) const;

    // Loads every kind of the set in enumeration order; the first failure
    // unloads the whole set (also members loaded by earlier calls).
    // The set-wide calls throw FFmpegException for an empty set.
    bool LoadSet(TLibraryTypes kinds);
    void UnloadSet(TLibraryTypes kinds);
    bool SetLoaded(TLibraryTypes kinds) const;

    // Whether binding the utility library installs the logger's callback (default true).
    bool InstallLogCallback() const { return FInstallLogCallback; }
    void SetInstallLogCallback(bool install) { FInstallLogCallback = install; }

    // Replaces the check against the process (tests make kinds fail on purpose);
    // an empty function restores the real one.
    void SetLibraryCheck(TLibraryCheck check);
    // The real check: version functions of the linked libraries, and for the
    // kinds the media code does not link (device library, SDL) a look-up of
    // their version function in the running process.
    static QString CheckLibraryInProcess(TLibraryType kind);

private:
    struct TLibraryStatus
    {
        std::atomic<bool> Loaded{false}; // the check passed
        std::atomic<bool> Bound{false};  // its facilities are usable
    };

    void AfterBind(TLibraryType kind);
    void SetLastError(const QString& text);
    static void RequireNonEmpty(TLibraryTypes kinds, const char* operation);

    std::array<TLibraryStatus, LibraryTypeCount> FStatus;
    mutable std::mutex FTextLock; // guards FLastError and FLibraryPath
    QString FLastError;
    QString FLibraryPath;
    bool FInstallLogCallback = true;
    TLibraryCheck FCheck; // main thread only
};

// The one loader of the process.
TFFmpegLoader& FFLoader();
