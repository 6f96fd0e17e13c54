#pragma once

#include <QString>

#include <vector>

// The built-in presets: one generic option per line, name=value, written in
// the option names of the older library generation (translated when applied).
struct TBuiltInPreset
{
    const char* Name;
    const char* Text;
};

// The 40 rows, in table order.
const std::vector<TBuiltInPreset>& BuiltInPresets();

// The row of that name (compared without regard to case), or null.
const TBuiltInPreset* FindBuiltInPreset(const QString& name);

// The older generation's codec defaults that the H.264 rows leave unsaid
// (no B-frames, no 8x8 transform, no weighted prediction, ...): the encoder
// of that generation took every setting from the generic options, the
// installed one takes what is not set from its own speed preset.
extern const char* const LegacyX264Defaults;
