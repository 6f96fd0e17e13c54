#include "media/FFLogger.h"

#include "media/FFmpegException.h"
#include "media/FFmpegLoader.h"
#include "media/LogLineBuffers.h"
#include "media/MainThread.h"
#include "platform/NumberText.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <memory>

namespace {

// The library level the callback filters by; mirrors the logger's LogLevel
// once the utility library is loaded.
std::atomic<int> LibraryLevel{32};

std::mutex LoggerLock;              // guards CurrentLogger and the creation in DefaultLogger
TFFLogger* CurrentLogger = nullptr; // the one logger, whoever owns it

// The logger DefaultLogger created; freed at exit, after the libraries are
// switched back to their own log output.
struct TOwnLogger
{
    std::unique_ptr<TFFLogger> Logger;
    ~TOwnLogger()
    {
        if (Logger)
            av_log_set_callback(av_log_default_callback);
    }
} OwnLogger;

// Never destroyed: a library may still log while static objects are torn
// down at exit, and unfinished lines are dropped with the process anyway.
TLogLineBuffers& LineBuffers()
{
    static TLogLineBuffers* const buffers = new TLogLineBuffers;
    return *buffers;
}

std::string ContextPrefix(void* context)
{
    if (!context)
        return {};
    const AVClass* cls = *static_cast<const AVClass* const*>(context);
    if (!cls)
        return {};
    const char* name = cls->item_name ? cls->item_name(context) : cls->class_name;
    char prefix[256];
    std::snprintf(prefix, sizeof prefix, "[%s @ %0*llX]", name ? name : "", int(sizeof(void*) * 2),
                  static_cast<unsigned long long>(reinterpret_cast<quintptr>(context)));
    return prefix;
}

} // namespace

TFFLogger::TFFLogger(QObject* owner) : TFFBaseComponent(TLibraryTypes{libAVUtil}, owner)
{
    std::lock_guard lock(LoggerLock);
    if (CurrentLogger)
        throw FFmpegException("Allow creating only one instance of TFFLogger.");
    FLogLevel = LogLevelFromLibrary(LibraryLevel.load());
    CurrentLogger = this;
}

TFFLogger::~TFFLogger()
{
    std::lock_guard lock(LoggerLock);
    if (CurrentLogger == this)
        CurrentLogger = nullptr;
}

TFFLogger* DefaultLogger()
{
    std::unique_lock lock(LoggerLock);
    if (CurrentLogger)
        return CurrentLogger;
    // The constructor takes the lock itself.
    lock.unlock();
    std::unique_ptr<TFFLogger> created;
    try {
        created = std::make_unique<TFFLogger>();
    } catch (const FFmpegException&) {
        // Another thread made one in between; use that one.
    }
    lock.lock();
    if (created)
        OwnLogger.Logger = std::move(created);
    return CurrentLogger;
}

int CurrentLibraryLogLevel()
{
    return LibraryLevel.load();
}

void TFFLogger::SetLogLevel(TLogLevel level)
{
    if (FLogLevel.exchange(level) == level)
        return;
    if (FFLoader().IsLoaded(libAVUtil)) {
        const int libraryLevel = LibraryLogLevel(level);
        av_log_set_level(libraryLevel);
        LibraryLevel = libraryLevel;
    }
}

void TFFLogger::SetLogLevelName(const QString& name)
{
    for (int i = llQuiet; i <= llDebug; ++i) {
        const auto level = static_cast<TLogLevel>(i);
        if (name.compare(LogLevelWord(level), Qt::CaseInsensitive) == 0) {
            SetLogLevel(level);
            return;
        }
    }
    SetLogLevel(LogLevelFromLibrary(StrToInt(name)));
}

void TFFLogger::SetOnLog(TLogEvent handler)
{
    std::lock_guard lock(FHandlerLock);
    FOnLog = std::move(handler);
}

TLogEvent TFFLogger::OnLog() const
{
    std::lock_guard lock(FHandlerLock);
    return FOnLog;
}

bool TFFLogger::Passes(TLogLevel level) const
{
    const TLogLevel current = LogLevel();
    return level <= current || (level == llVerbose && current != llQuiet);
}

void TFFLogger::Log(const void* sender, TLogLevel level, const QString& msg)
{
    if (!Passes(level))
        return;
    Deliver({sender, CurrentThreadID(), level, msg});
}

void TFFLogger::LogFmt(const void* sender, TLogLevel level, const char* format, ...)
{
    if (!Passes(level))
        return;
    va_list args;
    va_start(args, format);
    const QString msg = QString::vasprintf(format, args);
    va_end(args);
    Deliver({sender, CurrentThreadID(), level, msg});
}

void TFFLogger::DeliverLibraryLine(quint32 threadID, TLogLevel level, const QString& line)
{
    Deliver({this, threadID, level, line});
}

void TFFLogger::Deliver(const TLogInfo& info)
{
    TLogEvent handler = OnLog();
    if (!handler)
        return;
    if (TriggerEventInMainThread())
        CallInMainThread([&] { handler(info.Sender, info.ThreadID, info.Level, info.Msg); });
    else
        handler(info.Sender, info.ThreadID, info.Level, info.Msg);
}

void TFFLogger::InstallLogCallback()
{
    av_log_set_callback(LibraryLogCallback);
    const int libraryLevel = LibraryLogLevel(LogLevel());
    av_log_set_level(libraryLevel);
    LibraryLevel = libraryLevel;
}

void LibraryLogCallback(void* context, int level, const char* format, va_list args)
{
    if (level > LibraryLevel.load())
        return;
    const std::string prefix = ContextPrefix(context);
    char text[2048] = {};
    std::vsnprintf(text, sizeof text, format, args);
    const quint32 threadID = CurrentThreadID();
    const std::vector<std::string> lines = LineBuffers().Append(threadID, prefix, text);
    if (lines.empty())
        return;
    TFFLogger* logger = DefaultLogger();
    const TLogLevel logLevel = LogLevelFromLibrary(level);
    for (const std::string& line : lines)
        logger->DeliverLibraryLine(threadID, logLevel, QString::fromUtf8(line));
}
