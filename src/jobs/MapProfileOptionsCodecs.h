#pragma once

#include <QString>
#include <QStringList>

struct TOutputOptions;

// The video encoder of a profile ("paraVideoEncoder", compared exactly as
// stored) and the presets that come with it.

// The stored values passed on as the encoder name unchanged.
const QStringList& PlainVideoEncoders();

// Sets the encoder for a known value: a plain encoder as it is; "mpeg2video"
// with the DVD target whatever the container; "libx264" with the preset of
// the catalogue keyword `format`. Any other value (container names such as
// "3gp", "flv", "wmv3" among them) sets nothing, so the container's default
// encoder is used.
void ApplyVideoEncoder(const QString& encoder, const QString& format, TOutputOptions& output);

// The H.264 preset for a catalogue keyword (any case): "libx264-psp",
// "libx264-ipod", "libx264-ps3", otherwise "libx264-mp4".
QString H264PresetFor(const QString& format);
