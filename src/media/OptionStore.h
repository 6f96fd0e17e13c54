#pragma once

#include "media/FFmpegHandles.h"

#include <QString>
#include <array>
#include <string>
#include <vector>

// Generic encoder, decoder, container and scaler options set by name before
// the contexts they are meant for exist; ApplyOptions copies them later.
struct TOptionStore
{
    // Media types 0..4: video, audio, data, subtitle, attachment.
    static constexpr int MediaTypeCount = 5;
    // Flags an option must carry to belong to a media type's codec context.
    static constexpr std::array<int, MediaTypeCount> OptionMasks{
        AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0, AV_OPT_FLAG_SUBTITLE_PARAM, 0};

    // Fresh contexts; the scaler context uses scaleFlags.
    explicit TOptionStore(int scaleFlags = SWS_BICUBIC);
    // Drops every option set so far and recreates the contexts.
    void Reset(int scaleFlags);

    int OptionCount() const { return static_cast<int>(OptionNames.size()); }

    std::vector<std::string> OptionNames; // in the order they were set
    std::array<CodecContextPtr, MediaTypeCount> CodecOptions;
    FormatContextPtr FormatOptions;
    SwsContextPtr ScaleOptions; // a 16x16 YUV 4:2:0 to 16x16 YUV 4:2:0 scaler
};

// Stores one option on the contexts that know it (codec contexts of the media
// types whose flags it carries, else the container context, else the scaler;
// a leading "a", "v" or "s" names the audio, video or subtitle codec option).
// A bad value logs "Invalid value "<value>" for option "<name>"" at error level
// and returns false; an unknown name returns false silently.
bool SetDefaultOption(TOptionStore& store, const QString& name, const QString& value);

// Copies every stored option whose flags contain all bits of mask from
// source (one of the store's contexts) to target.
void ApplyOptions(const TOptionStore& store, void* target, void* source, int mask);
