#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <QString>

// Finding encoders and decoders by the names the options give.

// The installed library's name for an encoder name of the older library
// generation the profiles were written for ("libfaac" -> "aac", "vorbis" ->
// "libvorbis", "libflac" -> "flac"); any other name is returned unchanged.
// Only encoders are renamed: the native decoders of those names still exist.
QString MappedEncoderName(const QString& name);

// The outcome of a look-up by name.
struct TCodecLookup
{
    bool Ok = false;
    AVCodecID Id = AV_CODEC_ID_NONE;
    const AVCodec* Codec = nullptr; // none when no name was given
    QString Error;                  // the reason when not Ok
};

// An empty name succeeds with no codec. Otherwise the encoder (or decoder) of
// that name: unknown -> "Unknown %s '%s'", of another media type -> "Invalid
// %s type '%s'", experimental while strictness is above the library's
// experimental level -> the experimental message (naming a non-experimental
// codec of the same id when there is one).
TCodecLookup LookUpCodec(const QString& name, AVMediaType type, bool encoder, int strictness);

// DV fixes its pixel format by frame size and rate (NTSC DV25 is 4:1:1 only):
// for a DV encoder context whose format has no DV profile at its size, the
// first format the DV encoder offers that has one; otherwise its own format.
AVPixelFormat DvPixelFormat(const AVCodecContext* codec);
