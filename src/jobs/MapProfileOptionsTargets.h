#pragma once

#include <QString>

struct TOutputOptions;

// The catalogue's "Format" keyword of a profile: a target preset (DVD, VCD,
// SVCD in either norm) or a container name.

// A target keyword ("ntsc-dvd", "pal-vcd", ..., any case) sets the target type,
// its norm and the aspect ratio; a DVD target is 16:9 only for its full frame
// size ("720x480" NTSC, "720x576" PAL). Other keywords set nothing.
void ApplyTargetKeyword(const QString& format, const QString& videoSize, TOutputOptions& output);

// The container keywords the output format is forced for (any case); the
// keyword is stored as the catalogue writes it. Any other keyword leaves the
// container to the output file's extension.
void ApplyContainerKeyword(const QString& format, TOutputOptions& output);
