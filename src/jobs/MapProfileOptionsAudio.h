#pragma once

#include <QString>

class IniFile;
struct TInputOptions;
struct TOutputOptions;

// The audio parameter values of a profile's settings section. The volume is
// stored as 256 for 100 %; "256" (the default) leaves the samples unchanged.
// A volume that is not integer text throws EConvertError.

// The audio-only path (a profile without video encoder): the encoder as stored
// (default "libfaac"), channels and sample rate when positive integer text
// (defaults 2 and 44100), the bit rate, the volume; the input's video is not
// decoded and the output has neither video nor subtitles.
void ApplyAudioOnlyValues(const IniFile& settings, const QString& section, TOutputOptions& output,
                          TInputOptions& input);

// The audio of the video path: the encoder (default none, which disables the
// audio; the old name "libamr_nb" becomes "libopencore_amrnb"), channels when
// integer text, sample rate when positive integer text, bit rate and volume.
void ApplyVideoPathAudioValues(const IniFile& settings, const QString& section, TOutputOptions& output);
