#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The display texts offered by the parameter boxes and the values stored for
// them in the settings file. std::nullopt means "stores nothing".

// Splits a catalogue choice list at every ","; an empty entry is kept, and a
// trailing comma gives a last, empty entry.
QStringList ParseChoiceList(const QString& value);

// Video encoder display text (any case) to "paraVideoEncoder".
std::optional<QString> VideoEncoderValue(const QString& displayText);
// True for the display text that also copies the H.264 extras.
bool IsH264EncoderDisplay(const QString& displayText);
// Audio encoder display text (any case) to "paraAudioEncoder".
std::optional<QString> AudioEncoderValue(const QString& displayText);
// Channel display text (exact) to "paraChannel".
std::optional<QString> ChannelValue(const QString& displayText);
// Volume display text ("100%") to "paraVolume" ("256"). A text whose part
// before its last character is not an integer throws EConvertError.
std::optional<QString> VolumeValue(const QString& displayText);

// Zoom box item index to "paraZoom": 0 "full", 1 "lbox", 2 "pan"; else nullopt.
std::optional<QString> ZoomValueForIndex(int index);
// "paraZoom" to the zoom item index; -1 for "center" and anything else.
int ZoomIndexForValue(const QString& value);
// The three zoom items shown when a profile is loaded.
QStringList ZoomItems();
