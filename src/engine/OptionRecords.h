#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <limits>
#include <utility>
#include <vector>

// The records an owner describes a task's inputs and outputs with. Value
// records: the component copies them, the owner keeps its own.

// The libraries' "no timestamp" value: not set.
inline constexpr qint64 NoTimestamp = std::numeric_limits<qint64>::min();

struct TInputOptions
{
    QString FileName;               // empty: AddTask writes its own file-name argument here
    QString FileFormat;             // forces the container format ("f"); empty = probe
    qint64 StartTime = NoTimestamp; // microseconds; the input is sought there ("ss")
    int ProgramID = -1;             // "programid", used only when >= 0
    QString ExtOptions;             // extra options, one name=value pair per line
};

// Metadata of an output.
struct TStreamInfo
{
    // Creation time as days since 1899-12-30, local time: 0 = now, > 0 = this
    // time, < 0 = none.
    double Timestamp = -1.0;
    int Year = -1;  // "year" when > 0
    int Track = -1; // "track" when > 0
    QString Title;
    QString Author;
    QString Copyright;
    QString Comment;
    QString Album;
    QString Genre;
};

// "If > 0" fields are applied only above zero; otherwise the transcoder's default stays.
struct TOutputOptions
{
    QString FileName;         // empty: SetOutputFile writes its file-name argument here
    QString FileFormat;       // "f"
    int PacketSize = -1;      // "packetsize" if > 0
    int MuxRate = -1;         // "muxrate" if > 0
    float MuxDelay = -1.0f;   // "muxdelay" if > 0, seconds
    float MuxPreload = -1.0f; // "muxpreload" if > 0, seconds

    QString AudioCodec;             // "acodec" ("copy" = copy the stream)
    QString AudioPreset;            // "apre"
    bool DisableAudio = false;      // "an" when true
    int AudioVolume = -1;           // "vol" if >= 0 (256 = unchanged)
    int AudioChannels = -1;         // "ac" if > 0
    int AudioSampleRate = -1;       // "ar" if > 0
    int AudioBitrate = -1;          // "ab" if > 0, bits per second
    int AudioBitrateTolerance = -1; // "abt" if > 0
    QString AudioLanguage;          // "alang", always assigned
    int AudioSync = 0;              // "async", always assigned
    QString AudioTag;               // "atag" (four characters)

    QString VideoCodec;             // "vcodec" ("copy" = copy the stream)
    QString VideoPreset;            // "vpre"
    bool DisableVideo = false;      // "vn" when true
    QString FrameRate;              // "r"
    QString FrameSize;              // "s"
    QString AspectRatio;            // "aspect"
    int CropTop = -1;               // "croptop" if > 0
    int CropBottom = -1;            // "cropbottom" if > 0
    int CropLeft = -1;              // "cropleft" if > 0
    int CropRight = -1;             // "cropright" if > 0
    int GopSize = -1;               // "g" if > 0
    int VideoBitrate = -1;          // "vb" if > 0, bits per second
    int VideoMaxRate = -1;          // "maxrate" if > 0
    int VideoMinRate = -1;          // "minrate" if > 0
    int VideoBitrateTolerance = -1; // "bt" if > 0
    int VideoBufSize = -1;          // "bufsize" if > 0
    int VideoSync = -1;             // "vsync", always assigned (-1 = automatic)
    QString VideoTag;               // "vtag" (four characters)
    QString VideoFilters;           // "vfilters"
    QString VideoLanguage;          // "vlang", always assigned

    QString SubtitleCodec;        // "scodec"
    QString SubtitlePreset;       // "spre"
    bool DisableSubtitle = false; // "sn" when true
    QString SubtitleLanguage;     // "slang", always assigned

    bool InputSync = false;             // "isync", always assigned
    bool CopyTimestamps = false;        // "copyts" when true
    qint64 StartTime = NoTimestamp;     // output-side start ("ss"), microseconds
    qint64 RecordingTime = NoTimestamp; // duration limit ("t"), microseconds

    TStreamInfo Info;

    int TargetType = 0;        // 0 none, 1 "vcd", 2 "svcd", 3 "dvd"
    int TargetNorm = 0;        // 0 automatic, 1 PAL, 2 NTSC; other values automatic
    int TargetDefaultNorm = 1; // when detection fails: 1 PAL, other values NTSC

    bool CustomHook = false; // the task's decoded video frames go through OnCustomHook
    bool JoinInputs = false; // every input of the task joined end to end into this output
    QString ExtOptions;      // extra options, one name=value pair per line
};

// One line of an option text: the key (before the first "=", lower case, not
// trimmed) and the value (after it; empty without "=").
using TOptionLine = std::pair<QString, QString>;

// Reads an ExtOptions text: trimmed, CR LF / CR / LF and the literal "<CRLF>"
// all end a line.
std::vector<TOptionLine> ReadOptionLines(const QString& text);

// The defaults list of an output record: def_acodec ... def_vf from the
// record's fields, then the codec, preset, size and filter lines of its
// ExtOptions ("vfilters" renamed "vf"), each also filling its def_ entry when
// that is still empty.
class TOutputDefaults
{
public:
    explicit TOutputDefaults(const TOutputOptions& options);

    // The value of a name (e.g. "def_vcodec"); empty when there is none.
    QString Value(const QString& name) const;
    // Takes the first line named exactly key out of the list and returns its
    // value; without one, the value of "def_" + key.
    QString Take(const QString& key);

    const std::vector<TOptionLine>& Lines() const { return FLines; }

private:
    void SetValue(const QString& name, const QString& value);
    std::vector<TOptionLine> FLines;
};

// The creation time of an output in whole seconds since 1970-01-01 UTC, from
// a date-time in days since 1899-12-30 local time; utcOffsetDays is the
// local offset from UTC in days (east positive).
qint64 CreationTimeFromDateTime(double dateTime, double utcOffsetDays);
// The same for the local time zone; 0 means the current time.
qint64 CreationTimeFromTimestamp(double timestamp);
