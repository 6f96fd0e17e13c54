#pragma once

#include "media/FFBaseComponent.h"
#include "media/FormatIO.h"
#include "media/LogLevel.h"
#include "probe/StreamInfo.h"

#include <QString>

// Answers questions about one media file without decoding it: container,
// size, duration, tags, streams of each kind and their technical data, and a
// multi-line description. The probe either opens the file itself (Open) or
// inspects a container context opened elsewhere (Attach), which it never
// closes; the owner of such a context re-attaches or closes the probe before
// closing the context.
//
// Operations that can fail return false and leave the reason in LastErrMsg;
// errors and warnings also go to the logger with the probe as sender. Queries
// never throw: without an open file they report "file not loaded." and give
// the cleared result. Used from one thread at a time.
class TCustomAVProbe : public TFFBaseComponent
{
public:
    explicit TCustomAVProbe(QObject* owner = nullptr);
    ~TCustomAVProbe() override;

    TCustomAVProbe(const TCustomAVProbe&) = delete;
    TCustomAVProbe& operator=(const TCustomAVProbe&) = delete;

    // Opens a file; forcedFormat names the input format to use (empty: detect).
    // Throws FFmpegException when a needed library is not loaded.
    bool Open(const QString& fileName, const QString& forcedFormat = QString());
    // Inspects a context opened elsewhere (null leaves the probe empty).
    // Throws FFmpegException when a needed library is not loaded.
    void Attach(AVFormatContext* context);
    // Releases the context (closing it only when the probe opened it) and resets the state.
    void Close();
    // Throws FFmpegException "LibAVCodec not loaded." (or the format, utility or
    // scaler library's text) for the first needed library that is not loaded.
    void CheckLibraries() const;

    void GetFileStreamInfo(TFileStreamInfo& info);
    // index -1 means the first stream of the kind.
    void GetVideoStreamInfo(int index, TVideoStreamInfo& info);
    void GetAudioStreamInfo(int index, TAudioStreamInfo& info);
    bool IsVideoStream(int index);
    bool IsAudioStream(int index);

    // Lines ended by "\r\n": file, format, size, duration, start, bit rate, time
    // stamp, tags, then every program with its streams, then the other streams.
    QString InfoText();

    // The open context's file name (a unicode URL turned back into the name).
    QString FileName() const;
    // Short name of the input format; empty when nothing is open.
    QString FormatName() const;

    AVFormatContext* FormatContext() const { return FFormatContext; }
    bool OwnsContext() const { return FOwnsContext; }
    const QString& ForcedFormat() const { return FForcedFormat; }
    qint64 FileSize() const { return FFileSize; }
    int StreamCount() const { return FStreamCount; }
    int ProgramCount() const { return FProgramCount; }
    int AudioStreamCount() const { return FAudioStreamCount; }
    int VideoStreamCount() const { return FVideoStreamCount; }
    int SubtitleStreamCount() const { return FSubtitleStreamCount; }
    int AudioStreamIndex() const { return FAudioStreamIndex; }
    int VideoStreamIndex() const { return FVideoStreamIndex; }
    int SubtitleStreamIndex() const { return FSubtitleStreamIndex; }

protected:
    // Recomputes size, counts and first indexes from the context (all -1 without one).
    void CollectInfo();

private:
    // Stores the text in LastErrMsg and logs it at the level given.
    void ReportError(TLogLevel level, const QString& text);
    // The stream of a Get*StreamInfo query, or null after reporting why there is none.
    AVStream* QueriedStream(int& index, AVMediaType type);
    void FillTimes(AVStream* stream, qint64& startTime, qint64& startTimeUS, qint64& duration,
                   qint64& durationUS) const;
    qint64 ContextFileSize() const;

    AVFormatContext* FFormatContext = nullptr; // owned through FOwnedContext after Open
    InputFormatPtr FOwnedContext;
    bool FOwnsContext = false;
    QString FForcedFormat;
    qint64 FFileSize = -1;
    int FStreamCount = -1;
    int FProgramCount = -1;
    int FAudioStreamCount = -1;
    int FVideoStreamCount = -1;
    int FSubtitleStreamCount = -1;
    int FAudioStreamIndex = -1;
    int FVideoStreamIndex = -1;
    int FSubtitleStreamIndex = -1;
};

// The probe every component creates.
class TAVProbe : public TCustomAVProbe
{
public:
    using TCustomAVProbe::TCustomAVProbe;
};

// The libraries a probe needs.
inline constexpr TLibraryTypes ProbeLibraries{libAVCodec, libAVFormat, libAVUtil, libSwScale};
