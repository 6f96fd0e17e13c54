#pragma once

#include "media/FFmpegHandles.h"

// A decoder-side codec context filled from a stream's codec parameters, for
// the codec texts of a stream; it is never opened. Null when the library
// cannot allocate one.
CodecContextPtr StreamCodecContext(const AVStream* stream);
