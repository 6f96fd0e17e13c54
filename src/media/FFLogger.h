#pragma once

#include "media/FFBaseComponent.h"
#include "media/LogLevel.h"

#include <QString>
#include <atomic>
#include <cstdarg>
#include <functional>
#include <mutex>

// Sender is whatever object logged (a component, a task, the logger itself for
// the libraries' own lines); AThreadID is the system thread id of the thread
// that logged.
using TLogEvent =
    std::function<void(const void* Sender, quint32 AThreadID, TLogLevel ALogLevel, const QString& ALogMsg)>;

// The arguments of one delivery, copied for it.
struct TLogInfo
{
    const void* Sender = nullptr;
    quint32 ThreadID = 0;
    TLogLevel Level = llInfo;
    QString Msg;
};

// The single log component: the media components' own messages and the
// libraries' output, line by line, through one event. At most one exists;
// DefaultLogger() creates one on first use. It must outlive every thread
// that logs (the default one lives until the process ends).
class TFFLogger : public TFFBaseComponent
{
public:
    // Throws FFmpegException "Allow creating only one instance of TFFLogger."
    // when a logger already exists.
    explicit TFFLogger(QObject* owner = nullptr);
    ~TFFLogger() override;

    TLogLevel LogLevel() const { return FLogLevel.load(); }
    // A different value is stored and, once the utility library is loaded,
    // becomes the library's level (and the level the log callback filters by).
    void SetLogLevel(TLogLevel level);
    // A level word of LogLevelWord (any case) or a library level number;
    // a text that is neither throws EConvertError.
    void SetLogLevelName(const QString& name);

    // Default true: OnLog runs in the main thread (the logging thread waits).
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread.load(); }
    void SetTriggerEventInMainThread(bool inMainThread) { FTriggerEventInMainThread = inMainThread; }

    void SetOnLog(TLogEvent handler);
    TLogEvent OnLog() const;

    // A component's own message: delivered when level <= LogLevel, or when it is
    // llVerbose and LogLevel is not llQuiet.
    void Log(const void* sender, TLogLevel level, const QString& msg);
    // The same with printf-style formatting, done only when the message passes.
    void LogFmt(const void* sender, TLogLevel level, const char* format, ...)
        __attribute__((format(printf, 4, 5)));

    // Installs the library log callback and applies LogLevel to the library.
    void InstallLogCallback();

    // Hands one completed library line to OnLog (the callback's last step).
    void DeliverLibraryLine(quint32 threadID, TLogLevel level, const QString& line);

private:
    bool Passes(TLogLevel level) const;
    void Deliver(const TLogInfo& info);

    std::atomic<TLogLevel> FLogLevel;
    std::atomic<bool> FTriggerEventInMainThread{true};
    mutable std::mutex FHandlerLock; // guards FOnLog
    TLogEvent FOnLog;
};

// The logger of the process, created (without owner) on first use.
TFFLogger* DefaultLogger();

// The callback installed into the utility library: filters by the library
// level, prefixes "[<item name> @ <address>]" at the start of a line, and hands
// every completed line to DefaultLogger(). Public for the loader and tests.
void LibraryLogCallback(void* context, int level, const char* format, va_list args);

// The library level the callback filters by (initially 32, info).
int CurrentLibraryLogLevel();
