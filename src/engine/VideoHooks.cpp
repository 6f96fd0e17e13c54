#include "engine/VideoHooks.h"

#include "engine/TCustomFFmpeg.h"
#include "media/FFLogger.h"
#include "media/FFmpegException.h"

#include <QHash>
#include <QRegularExpression>

#include <dlfcn.h>

#include <mutex>
#include <vector>

namespace {

constexpr int MaxHookTokens = 254;

// Hook libraries stay loaded for the life of the process, shared by every
// task that names them: file name -> handle. --- protected by the lock
std::mutex& LoadedHooksLock()
{
    static std::mutex lock;
    return lock;
}

QHash<QString, void*>& LoadedHooks()
{
    static QHash<QString, void*> loaded;
    return loaded;
}

// The library's handle, loading it on first use; null after logging the
// system's reason.
void* HookLibrary(const QString& fileName)
{
    std::lock_guard<std::mutex> guard(LoadedHooksLock());
    if (void* handle = LoadedHooks().value(fileName))
        return handle;
    // The file is opened by its own name: the loader of this system finds a
    // library's own dependencies through its run path, so neither the
    // current folder nor PATH (both process-wide) needs to change.
    void* handle = dlopen(fileName.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        DefaultLogger()->Log(nullptr, llError,
                             QString::fromLocal8Bit(reason ? reason : "cannot load library"));
        return nullptr;
    }
    LoadedHooks().insert(fileName, handle);
    return handle;
}

} // namespace

QStringList SplitVideoHookArguments(const QString& value)
{
    const bool byBar = value.contains(QLatin1Char('|'));
    QStringList tokens = byBar ? value.split(QLatin1Char('|'), Qt::SkipEmptyParts)
                               : value.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (tokens.size() > MaxHookTokens)
        tokens = tokens.mid(0, MaxHookTokens);
    return tokens;
}

bool TVideoHookChain::Add(const QStringList& tokens)
{
    if (tokens.isEmpty())
        return false;
    const QString& fileName = tokens.front();
    void* library = HookLibrary(fileName);
    if (!library)
        return false;

    TVideoHookEntry entry;
    entry.Configure = reinterpret_cast<TVideoHookConfigure>(dlsym(library, "Configure"));
    entry.Process = reinterpret_cast<TVideoHookProcess>(dlsym(library, "Process"));
    entry.Release = reinterpret_cast<TVideoHookRelease>(dlsym(library, "Release"));
    if (!entry.Process) {
        DefaultLogger()->LogFmt(nullptr, llError, "Failed to find Process entrypoint in %s",
                                fileName.toUtf8().constData());
        return false;
    }
    if (!entry.Configure && tokens.size() > 1) {
        DefaultLogger()->LogFmt(nullptr, llError, "Failed to find Configure entrypoint in %s",
                                fileName.toUtf8().constData());
        return false;
    }
    if (entry.Configure) {
        std::vector<QByteArray> texts;
        std::vector<char*> argv;
        for (const QString& token : tokens)
            texts.push_back(token.toLocal8Bit());
        for (QByteArray& text : texts)
            argv.push_back(text.data());
        argv.push_back(nullptr);
        if (entry.Configure(&entry.Context, static_cast<int>(tokens.size()), argv.data()) != 0) {
            DefaultLogger()->LogFmt(nullptr, llError, "Failed to Configure %s",
                                    fileName.toUtf8().constData());
            return false;
        }
    }
    FEntries.push_back(entry);
    return true;
}

void TVideoHookChain::ProcessFrame(TVideoHookPicture& picture, int pixFmt, int width, int height, int64_t pts)
{
    for (const TVideoHookEntry& entry : FEntries)
        entry.Process(entry.Context, &picture, pixFmt, width, height, pts);
}

void TVideoHookChain::ReleaseAll()
{
    for (const TVideoHookEntry& entry : FEntries)
        if (entry.Release)
            entry.Release(entry.Context);
    FEntries.clear();
}

void TCustomFFmpeg::AddVideoHook(const QString& value)
{
    if (!VideoHooks.Add(SplitVideoHookArguments(value)))
        throw FFmpegException(QStringLiteral("Failed to add video hook function: ") + value);
    FOpts.UsingVhook = true;
}
