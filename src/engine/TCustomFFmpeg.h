#pragma once

#include "engine/FileTables.h"
#include "engine/OptionRecords.h"
#include "engine/OptionState.h"
#include "engine/PreviewWindow.h"
#include "engine/TaskRunState.h"
#include "engine/VideoHooks.h"
#include "media/FrameToBitmap.h"
#include "platform/ThreadPriority.h"

#include <QImage>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class TCustomFFmpeg;
class TAVProbe;

// Callbacks a task calls; the engine component installs them (empty = none).
using THookCallback = std::function<void(TCustomFFmpeg* sender, QImage* bitmap, int frameNumber, qint64 pts,
                                         bool& update, bool& stopHook)>;
using TPreviewCallback = std::function<void(TCustomFFmpeg* sender, QImage* bitmap, qint64 pts, int frameNumber)>;
using TProgressCallback =
    std::function<void(TCustomFFmpeg* sender, int fileIndex, qint64 totalDuration, qint64 currentDuration,
                       qint64 currentSize, float bitRate, float quality, int fps, int frameNumber)>;
using TTerminateCallback = std::function<void(TCustomFFmpeg* sender)>;

// Byte and frame counters of the packet loop; ClearOptions zeroes them.
struct TLoopCounters
{
    qint64 VideoSize = 0; // bytes of encoded video written
    qint64 AudioSize = 0; // bytes of encoded audio written
    qint64 ExtraSize = 0; // bytes of global headers
    int DupCount = 0;     // frames duplicated
    int DropCount = 0;    // frames dropped
    bool DupDropChanged = false; // a duplicate or drop happened since the last logged report
};

// One transcoder task: configured by named options (SetOption and the typed
// setters) interleaved with opening its inputs and outputs, then run by
// Transcode. Options given before an input, output or additional stream is
// opened shape that input, output or stream.
//
// Threads: configuration (options, opening files) happens on the owner's
// thread before the task starts; from Start until it has terminated the task
// belongs to its worker. StopRequested may be written by any thread.
//
// Errors: option setters throw FFmpegException (EConvertError for a malformed
// number); operations that return false or -1 leave the reason in LastErrMsg.
class TCustomFFmpeg
{
public:
    TCustomFFmpeg();
    virtual ~TCustomFFmpeg();
    TCustomFFmpeg(const TCustomFFmpeg&) = delete;
    TCustomFFmpeg& operator=(const TCustomFFmpeg&) = delete;

    // ---- life cycle (TaskState.cpp)
    // With the engine libraries loaded: CloseFiles, ClearOptions, clears the
    // run flags, TotalDuration -1, and fresh option-store contexts made with
    // the current scaler flags. Without them: nothing.
    void Reset();
    // Every option back to its default (and the loop counters to zero); the
    // option store is kept.
    void ClearOptions();
    void SetVerbose(int level);
    // Under the process-wide PreviewLock; clearing bit 0 frees the previewer.
    void SetPreviewFlags(quint8 flags);
    // Sets or clears one bit of the flags the same way.
    void SetPreviewFlag(quint8 bit, bool on);
    quint8 PreviewFlags() const;

    // ---- the option dispatcher (OptionDispatch.cpp)
    // Applies one named option (names compared exactly); unknown names go to
    // SetGenericOption, whose result is not reported.
    void SetOption(const QString& name, const QString& value);
    // The option store's SetDefaultOption; names of the older library
    // generation are translated first (LegacyOptions.cpp). False when the
    // option is unknown or its value invalid.
    bool SetGenericOption(const QString& name, const QString& value);

    // ---- typed setters (the option records call these directly)
    void SetFormat(const QString& format);               // FormatOptions.cpp
    void SetStartTime(qint64 microseconds);              // no-timestamp value ignored
    void SetRecordingTime(qint64 microseconds);          // no-timestamp ignored; also TotalDuration
    void SetProgramID(int programId);                    // negative ignored
    void SetVideoCodec(const QString& name);             // CodecOptions.cpp; empty ignored, "copy" = stream copy
    void SetAudioCodec(const QString& name);
    void SetSubtitleCodec(const QString& name);
    void SetVideoTag(const QString& tag);                // empty ignored; exactly 4 characters
    void SetAudioTag(const QString& tag);
    void SetSubtitleTag(const QString& tag);
    void SetFrameSize(const QString& size);              // VideoOptions.cpp; empty ignored
    void SetFrameRate(const QString& rate);              // empty ignored
    void SetAspectRatio(const QString& ratio);           // empty ignored
    void SetVideoFilters(const QString& filters);        // empty ignored
    void SetCropTop(int band);                           // <= 0 ignored
    void SetCropBottom(int band);
    void SetCropLeft(int band);
    void SetCropRight(int band);
    void SetAudioChannels(int channels);                 // AudioOptions.cpp; <= 0 ignored
    void SetAudioSampleRate(int rate);                   // <= 0 ignored
    void SetAudioVolume(int volume);                     // negative ignored
    void SetAudioSync(int method);                       // always stored
    void SetVideoSync(int method);                       // always stored
    void SetMuxDelay(float seconds);                     // FormatOptions.cpp; <= 0 ignored
    void SetMuxPreload(float seconds);                   // <= 0 ignored
    void AddMetadata(const QString& key, const QString& value);
    void SetRecordTimestamp(qint64 secondsSince1970);
    // kind: 'a', 'v', 's' or 'f' (Presets.cpp / PresetFiles.cpp)
    void ApplyPreset(char kind, const QString& name);
    // type "vcd", "svcd", "dvd", "dv", "dv50"; norm "pal", "ntsc", "film" or
    // anything else for automatic; defaultNorm used when detection fails (TargetPresets.cpp)
    void ApplyTarget(const QString& type, const QString& norm, const QString& defaultNorm);

    // ---- option records (OptionRecords.cpp)
    // Applies an input record before its input is opened (stores its copy
    // first when this task keeps copies).
    void ApplyInputOptions(TInputOptions& options, const QString& fileName);
    // Applies an output record before its output is opened; returns the join
    // flag. With the record's CustomHook, hook becomes the task's HookCallback.
    bool ApplyOutputOptions(TOutputOptions& options, const QString& fileName, const THookCallback& hook);
    // The additional streams of an output record, after its output opened.
    void AddRecordStreams(const TOutputOptions& options);
    // The lines of an ExtOptions text as plain options.
    void ApplyExtOptions(const QString& text, bool allowCodecKeys);

    // ---- input and output set-up (the set-up's own files)
    // True when the input opened; otherwise LastErrMsg holds the reason.
    bool OpenInputFile(const QString& fileName);
    // The number of outputs now open, or -1 (LastErrMsg holds the reason).
    int OpenOutputFile(const QString& fileName, bool join);
    // New streams on an opened output, from the current option state; throw on failure.
    void CreateVideoStream(AVFormatContext* output);
    void CreateAudioStream(AVFormatContext* output);
    void CreateSubtitleStream(AVFormatContext* output);
    // Closes every file of the task (deleting outputs that stayed empty) and
    // frees what the option state and the set-up allocated for them.
    void CloseFiles();
    // Set-up and packet loop; throws on failure. Transcode runs SetUpTranscode
    // first and then its loop (TranscodeLoop.cpp), which ends with the
    // trailers written, the final report made and the codecs closed.
    void Transcode();
    // Run-control entry points the loop calls (implemented by the run control):
    // WaitWhilePaused at the top of every loop pass: returns at once unless
    // paused; while paused it waits, holding no lock, until resumed or
    // StopRequested. ProcessPreview after each video frame the encoder took,
    // when PreviewFlags() != 0: the picture given to the encoder and the time
    // of the encoder's last coded frame in microseconds.
    void WaitWhilePaused();
    void ProcessPreview(const AVFrame* picture, qint64 pts);
    // The set-up half of Transcode (TranscodeSetup.cpp): stream records, mapping,
    // stream-copy and encoding set-up, encoders and decoders opened under
    // CodecLock, input clocks, metadata maps, chapters, headers and the mapping
    // dump. Throws FFmpegException; what it opened is listed in
    // Files.OpenedEncoders / OpenedDecoders for the worker body to close.
    void SetUpTranscode();
    // The codec of that name (CodecLookup.cpp): an empty name succeeds with
    // AV_CODEC_ID_NONE. False with the reason in LastErrMsg.
    bool FindCodec(const QString& name, AVMediaType type, bool encoder, int strictness, AVCodecID& codecId,
                   const AVCodec** codec = nullptr);
    // The filter graph from the decoder of ist to the encoder of ost
    // (FilterSetup.cpp): 0, or -1 with the reason in LastErrMsg when there is one.
    int ConfigureFilters(TInputStream& ist, TOutputStream& ost);
    // Opening and closing the codecs of the stream records, each under
    // CodecLock (CodecOpening.cpp). Open* return 0 or a library error code
    // and put the stream on the Opened list; Close* free the codec context and
    // take it off. ReopenEncoder (join mode) replaces the encoder by a fresh
    // one made from the settings saved before its first open.
    int OpenEncoder(TOutputStream& ost, const AVCodec* encoder);
    int ReopenEncoder(TOutputStream& ost, const AVCodec* encoder);
    void CloseEncoder(TOutputStream& ost);
    int OpenDecoder(TInputStream& ist, const AVCodec* decoder);
    void CloseDecoder(TInputStream& ist);
    // Worker body steps 3 and 4: every encoder, then every decoder still open.
    void CloseOpenedEncoders();
    void CloseOpenedDecoders();
    // The encoder of an output stream: the one found by name at its creation,
    // else the library's encoder of its (saved) codec id; none when missing.
    const AVCodec* EncoderFor(const TOutputStream& ost) const;

    // Inputs and outputs opened so far (the output table repeats a joined output).
    int InputFileCount() const;
    int OutputFileCount() const;

    const QString& LastErrMsg() const { return FLastErrMsg; }
    void SetLastErrMsg(const QString& text) { FLastErrMsg = text; }

    // The option state (OptionState.h), for the set-up, the loop and tests.
    TOptionState& Opts() { return FOpts; }
    const TOptionState& Opts() const { return FOpts; }

    // ---- file and stream tables (filled by the set-up)
    TFileTables Files;

    // ---- video hook libraries added by "vhook"; released by CloseFiles
    TVideoHookChain VideoHooks;

    // ---- run state (the run control and the loop use these)
    // Owned by the task's thread while it runs; StopRequested by any thread.
    bool Joined = false;
    std::atomic<bool> Running{false};    // read by StopTasks on the owner's thread
    std::atomic<bool> StopRequested{false};
    bool Finished = false;
    std::atomic<bool> Terminated{false}; // read by StopTasks on the owner's thread
    bool ExceptionRaised = false;
    QString ExceptionMsg;
    qint64 TotalDuration = -1;           // microseconds; -1 = unknown
    qint64 ProgressInterval = 500000;    // microseconds; the component sets it when the task starts
    qint64 PreviewInterval = 100000;     // microseconds
    int FrameNumber = 0;                 // video frames pre-processed so far, all inputs
    TFrameToBitmap HookConverter;        // the hook's bitmap, kept between frames
    TFrameToBitmap PreviewConverter;     // the preview's bitmap, kept between frames
    // Created on first use; guarded by PreviewLock(), but only ever freed after
    // that lock is released (its window goes in the main thread).
    std::shared_ptr<IPreviewWindow> Previewer;
    qint64 LastPreviewTime = 0;          // microseconds
    TLoopCounters Counters;

    THookCallback HookCallback;
    TPreviewCallback PreviewCallback;
    TProgressCallback ProgressCallback;
    TTerminateCallback TerminateCallback;

    // ---- run control (TaskRunControl.cpp, TaskPause.cpp, PreviewProcessing.cpp)
    // Besides WaitWhilePaused and ProcessPreview (above), the loop reads
    // StopRequested at the top of every pass and before each output frame,
    // and calls HookCallback and ProgressCallback directly when installed.
    //
    // Start: null when the task does not run now (already running or
    // terminated; or its start conditions fail, and then it has terminated at
    // once); not threaded it runs to its end on the calling thread and gives
    // null; threaded it gives the suspended worker, which ResumeWorker starts.
    TConvertThread* Start(bool threaded, TThreadPriority priority);
    void ResumeWorker();
    // Sets StopRequested and resumes a paused task; with wait, returns once the
    // worker has ended (running main-thread calls meanwhile on the main thread).
    void RequestStop(bool wait);
    // A running task: RequestStop. One that never ran and has not terminated:
    // terminated on a thread of its own (its owner still gets the
    // notification); with wait, returns once that is done.
    void Terminate(bool wait);
    // PauseTasks and ResumeTasks of one task; Pause affects a running task only.
    void Pause();
    void Resume();
    bool IsPaused();
    // For the destructor, before anything is freed: stops the task and waits
    // until none of its threads uses it any more.
    void StopAndWaitForThreads();
    TTaskRunState Run;

protected:
    // The stored copies of the records; TCustomFFmpeg keeps none.
    virtual void StoreInputOptions(int /*inputIndex*/, const TInputOptions& /*options*/) {}
    virtual void StoreOutputOptions(int /*outputIndex*/, const TOutputOptions& /*options*/) {}

private:
    // Dispatcher helpers (OptionDispatch.cpp and the setters' files).
    void AddStreamMap(const QString& value);
    void AddMetadataMap(const QString& value);
    void SetStreamId(const QString& name, const QString& value);
    void SetInputTsScale(const QString& value);
    void SetBitRate(const QString& name, const QString& value);
    void SetPixelFormat(const QString& value);
    void SetSampleFormat(const QString& value);
    void SetQuantMatrix(std::optional<TQuantMatrix>& matrix, const QString& value);
    void AddBitStreamFilter(TBitStreamFilterChain& chain, const QString& value);
    void AddStream(char kind);
    void AddVideoHook(const QString& value);
    void SetTargetOption(const QString& value);
    void SetVstatsDefault();
    void ApplyPresetText(const QString& presetName, const QString& text);
    void ApplyLegacyX264Defaults();

    void UpdatePreviewFlags(const std::function<quint8(quint8)>& change);

    TOptionState FOpts;
    QString FLastErrMsg;
    quint8 FPreviewFlags = 0; // guarded by PreviewLock()
};

// The task type the engine component creates: adds a probe per input
// (created on first use) and the stored copies of the option records.
class TFFmpeg : public TCustomFFmpeg
{
public:
    TFFmpeg();
    ~TFFmpeg() override;

    // The probe of input index (0..19), created on first use.
    TAVProbe* InputProbe(int index);
    // The stored record of an input or output index, or null.
    const TInputOptions* StoredInputOptions(int index) const;
    const TOutputOptions* StoredOutputOptions(int index) const;
    // Puts the stored record of an output back to its initial values (when there is one).
    void ReinitOutputOptions(int index);

protected:
    void StoreInputOptions(int inputIndex, const TInputOptions& options) override;
    void StoreOutputOptions(int outputIndex, const TOutputOptions& options) override;

private:
    std::array<std::unique_ptr<TAVProbe>, MaxInputFiles> FProbes;
    std::array<std::optional<TInputOptions>, MaxInputFiles> FInputOptions;
    std::array<std::optional<TOutputOptions>, MaxOutputFiles> FOutputOptions;
};

// The process-wide lock of every task's preview flags and preview processing
// (recursive: preview processing stores the flags it changed while holding it).
std::recursive_mutex& PreviewLock();
