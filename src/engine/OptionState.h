#pragma once

#include "engine/FileTables.h" // TBitStreamFilterChain
#include "media/OptionStore.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
}

// The settings a task collects from its options before they are used by the
// next input, output or stream (see TCustomFFmpeg). "Consumed" fields are put
// back to their default by the set-up code as soon as the input, output or
// stream they were meant for has been created; "task" fields last until
// ClearOptions.

// Limits of the task's tables.
inline constexpr int MaxStreamMaps = 400;
inline constexpr int MaxMetadataMaps = 20;

// Index into MaxFrames.
enum TFrameLimitKind : int { flVideo = 0, flAudio = 1, flData = 2, flSubtitle = 3 };

// "map F.S[:SF.SS]": output stream n takes input stream S of input F and
// follows the clock of stream SS of input SF.
struct TStreamMap
{
    int FileIndex = 0;
    int StreamIndex = 0;
    int SyncFileIndex = 0;
    int SyncStreamIndex = 0;
};

// "map_meta_data O:I": the metadata of input I goes into output O.
struct TMetadataMap
{
    int OutputFile = 0;
    int InputFile = 0;
};

using TQuantMatrix = std::array<quint16, 64>;

// An encoder or muxer option the generic option store has no place for.
struct TPrivateCodecOption
{
    QString Name;
    QString Value;
};

// Every plain field of the option state, with its default. ClearOptions
// assigns a fresh TOptionValues.
struct TOptionValues
{
    // --- whole task
    std::vector<TStreamMap> StreamMaps;     // "map", at most MaxStreamMaps
    std::vector<TMetadataMap> MetadataMaps; // "map_meta_data", at most MaxMetadataMaps
    // "streamid": the id of output stream n of the next output; cleared after each output is opened
    std::array<int, MaxStreamsPerFile> StreamIdMap{};

    QString FormatName; // "f"; consumed by the next input or output open

    int FrameWidth = 0;                      // "s"; overwritten by each opened input's video
    int FrameHeight = 0;                     // "s"; overwritten by each opened input's video
    float FrameAspectRatio = 0;              // "aspect", 0 = not set; overwritten by each input
    int FramePixFmt = AV_PIX_FMT_NONE;       // "pix_fmt"; back to none after each video stream
    int AudioSampleFmt = AV_SAMPLE_FMT_NONE; // "sample_fmt"; overwritten by each input

    int TopBand = 0; // "croptop" ... : the crop bands, task
    int BottomBand = 0;
    int LeftBand = 0;
    int RightBand = 0;

    // "vframes", "aframes", "dframes"; indexed by TFrameLimitKind
    std::array<int, 4> MaxFrames{2147483647, 2147483647, 2147483647, 2147483647};

    AVRational FrameRate{0, 0}; // "r", 0/0 = not set; overwritten by each input's video
    float VideoQScale = 0;      // "qscale", 0 = not set

    std::optional<TQuantMatrix> IntraMatrix; // "intra_matrix"
    std::optional<TQuantMatrix> InterMatrix; // "inter_matrix"
    QString RcOverride; // "rc_override", empty = none; parsed when the video stream is made

    bool VideoDisable = false;  // "vn"; consumed
    int VideoDiscard = 0;       // "vdt"
    QString VideoCodecName;     // "vcodec", empty = none; consumed
    quint32 VideoCodecTag = 0;  // "vtag"
    QString VideoLanguage;      // "vlang"; consumed
    bool SameQuant = false;     // "sameq"
    bool DoDeinterlace = false; // "deinterlace"
    int TopFieldFirst = -1;     // "top", -1 = as the input says
    int MeThreshold = 0;        // "me_threshold"
    int IntraDcPrecision = 8;   // "dc"
    bool LoopInput = false;     // "loop_input"
    int LoopOutput = -1;        // "loop_output", -1 = no output loop
    bool QpHist = false;        // "qphist"
    QString VideoFilters;       // "vfilters", "vf"
    bool IntraOnly = false;     // "intra"

    int AudioSampleRate = 44100;    // "ar"; overwritten by each input's audio
    quint64 AudioChannelLayout = 0; // channel mask of the last opened input's audio (0 = none)
    float AudioQScale = -99999.0f;  // "aq"; any value above the default is used
    bool AudioDisable = false;      // "an"; consumed
    int AudioChannels = 2;          // "ac"; overwritten by each input's audio
    QString AudioCodecName;         // "acodec", empty = none; consumed
    quint32 AudioCodecTag = 0;      // "atag"
    QString AudioLanguage;          // "alang"; consumed

    bool SubtitleDisable = false; // "sn"; consumed
    QString SubtitleCodecName;    // "scodec", empty = none; consumed
    QString SubtitleLanguage;     // "slang"; consumed
    quint32 SubtitleCodecTag = 0; // "stag"

    float MuxPreload = 0.5f;  // "muxpreload", seconds
    float MuxMaxDelay = 0.7f; // "muxdelay", seconds

    qint64 RecordingTime = std::numeric_limits<qint64>::max(); // "t", microseconds; max = no limit
    qint64 StartTime = 0;     // "ss", microseconds; used (then 0) by the next input open, and by the loop
    qint64 RecTimestamp = 0;  // "timestamp", seconds since 1970
    qint64 InputTsOffset = 0; // "itsoffset", microseconds; used by each input open

    std::vector<std::pair<QString, QString>> Metadata; // "metadata", AddMetadata; consumed by the next output

    bool DoPktDump = false;  // "dump"
    bool DoHexDump = false;  // "hex"
    bool DoPsnr = false;     // "psnr"
    int DoPass = 0;          // "pass", 0, 1 or 2
    QString PassLogFileName; // "passlogfile"

    bool AudioStreamCopy = false;    // "acodec copy"; consumed by the next audio stream
    bool VideoStreamCopy = false;    // "vcodec copy"; consumed by the next video stream
    bool SubtitleStreamCopy = false; // "scodec copy"; consumed by the next subtitle stream

    int VideoSyncMethod = -1;         // "vsync", -1 = automatic
    int AudioSyncMethod = 0;          // "async"
    float AudioDriftThreshold = 0.1f; // "adrift_threshold", seconds
    bool CopyTs = false;              // "copyts"
    bool OptShortest = false;         // "shortest"
    int VideoGlobalHeader = 0;        // "vglobal", bit mask
    QString VstatsFileName;           // "vstats", "vstats_file", empty = none
    int ProgramId = 0;                // "programid", 0 = none; consumed by the next input open
    int CopyInitialNonKeyframes = 0;  // "copyinkf"
    bool RateEmu = false;             // "re"
    int VideoChannel = 0;             // "vc"; consumed by the next input open
    QString VideoStandard;            // "tvstd", empty = none; consumed by the next input open
    int AudioVolume = 256;            // "vol", 256 = unchanged
    bool ExitOnError = false;         // "xerror"
    bool UsingVhook = false;          // "vhook" added a library
    int Verbose = 1;                  // "v"
    // Codec threads: 0 lets the codec library use one thread per core. Nothing sets it.
    int ThreadCount = 0;
    qint64 LimitFileSize = 0;         // "fs", bytes, 0 = no limit
    bool ForceFps = false;            // "force_fps"
    bool PgmyuvCompatibility = false; // "f pgmyuv"
    float DtsDeltaThreshold = 10.0f;  // "dts_delta_threshold", seconds
    int SwsFlags = 4;                 // generic option "sws_flags"; 4 = bicubic

    // Filters made but not initialised: the set-up gives them the stream's parameters.
    TBitStreamFilterChain VideoBsfs;    // "vbsf"; moves to the next video stream
    TBitStreamFilterChain AudioBsfs;    // "absf"; moves to the next audio stream
    TBitStreamFilterChain SubtitleBsfs; // "sbsf"; moves to the next subtitle stream

    bool InputSync = false; // "isync"

    // Generic options of the older library generation that are private
    // options of encoders or muxers now (translated presets, target presets):
    // whole task, like the generic options. Handed as the options of every
    // video or audio encoder opened later, and of every muxer when its header
    // is written; those that do not know one leave it unused.
    std::vector<TPrivateCodecOption> VideoPrivateOptions;
    std::vector<TPrivateCodecOption> AudioPrivateOptions;
    std::vector<TPrivateCodecOption> MuxerPrivateOptions;
};

// The option state of a task: the plain values and the generic option store.
// The store lives as long as the task; Reset recreates its contexts.
struct TOptionState : TOptionValues
{
    TOptionStore Options; // generic codec, container and scaler options

    // Every value back to its default; the store is left alone.
    void ClearValues() { static_cast<TOptionValues&>(*this) = TOptionValues{}; }
};
