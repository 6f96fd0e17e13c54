#pragma once

// Helpers of the option tests: the engine libraries loaded once, the log
// lines of one sender recorded through the logger's OnLog event, and a
// task ready for options.

#include "engine/TCustomFFmpeg.h"
#include "media/LogLevel.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

// Loads the engine's libraries; a failure fails the calling test.
void LoadEngineLibrariesForTest();

// Records every line the logger delivers while it exists (all senders, at
// info level and above, including verbose lines).
class TLogCapture
{
public:
    TLogCapture();
    ~TLogCapture();
    TLogCapture(const TLogCapture&) = delete;
    TLogCapture& operator=(const TLogCapture&) = delete;

    // Lines logged at exactly that level.
    QStringList Lines(TLogLevel level) const;
    bool Contains(TLogLevel level, const QString& line) const { return Lines(level).contains(line); }
    // Whether any line at that level contains the text.
    bool Mentions(TLogLevel level, const QString& text) const;

private:
    std::vector<std::pair<TLogLevel, QString>> FLines;
    TLogLevel FPreviousLevel;
};

// A reset task (the libraries loaded first).
std::unique_ptr<TFFmpeg> NewTask();

// The message of the FFmpegException (or other std::exception) the call
// throws; empty when it throws nothing.
template <class TCall> QString ThrownMessage(TCall&& call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

// The integer value of a generic option as the option store holds it on the
// codec context of a media type (AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_AUDIO).
qint64 StoredCodecOption(const TCustomFFmpeg& task, int mediaType, const char* name);

// The value of a translated private option ("" when unset).
QString PrivateOption(const std::vector<TPrivateCodecOption>& options, const QString& name);
