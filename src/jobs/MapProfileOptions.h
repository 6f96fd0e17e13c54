#pragma once

#include <QString>

class IniFile;
class TAVProbe;
struct TInputOptions;
struct TOutputOptions;
struct TlvFilesRecord;

// Turns a profile, a probe of the source and a row's job record into the two
// option records of one engine task. The profile's catalogue section gives
// its "Format" keyword, its settings section the user's parameter values; the
// row gives trim, crop and zoom. Split by concern over:
//   MapProfileOptionsTargets   target and container keywords
//   MapProfileOptionsCodecs    video encoders and their presets
//   MapProfileOptionsGeometry  frame size, letterbox, pan and scan, center
//   MapProfileOptionsAudio     audio-only path and the audio of the video path
//   MapProfileOptionsValues    number texts and rates

// What the mapping needs to know of the source.
struct TSourceVideo
{
    int VideoStreamCount = -1; // below 1: no video
    int Width = -1;            // of the first video stream
    int Height = -1;
    int BitRate = -1; // bits per second; 0 or -1 when unknown
};

// The first video stream's facts from a probe; a probe without a file or
// without video reports no video.
TSourceVideo ReadSourceVideo(TAVProbe& probe);

// Fills the records for one row. Both arrive initialised with their FileName
// set (the input's StartTime too, when the row is trimmed at the start).
// `AFormatCode` is the current profile ("FormatCode" of section "settings");
// the settings file and the catalogue are those of the application context.
// May ask the 320x240 question of an unusable frame size. Throws EConvertError
// for a volume that is not integer text, std::logic_error without an
// application context.
void MapProfileOptions(const TlvFilesRecord& ARow, int AFormatCode, TOutputOptions& AOutputOptions,
                       TAVProbe& AProbe, TInputOptions& AInputOptions);

// The same with both INI files and the source given.
void MapProfileOptions(const IniFile& catalogue, const IniFile& settings, const TlvFilesRecord& ARow,
                       int AFormatCode, TOutputOptions& AOutputOptions, const TSourceVideo& ASource,
                       TInputOptions& AInputOptions);

// The whole record set of one task as a conversion run builds it: both records
// initialised, the input's file and trim start, the output's destination,
// MapProfileOptions, then the trim length and the frame hook (every task gets
// the hook; it leaves the frames of a row without effects untouched).
void MapTaskOptions(const TlvFilesRecord& ARow, int AFormatCode, const QString& ADestination,
                    TAVProbe& AProbe, TInputOptions& AInputOptions, TOutputOptions& AOutputOptions);
