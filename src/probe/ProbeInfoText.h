#pragma once

#include <QString>
#include <QStringList>
#include <array>

struct AVDictionary;
struct AVFormatContext;

// The pieces of the probe's description of a file (TCustomAVProbe::InfoText).

// Tag identifiers some containers report raw, and the names shown for them.
struct TMetadataKeyName
{
    const char* Key;
    const char* Shown;
};
extern const std::array<TMetadataKeyName, 22> MetadataKeyNames;

// The shown name of a tag key; a key not in MetadataKeyNames is shown as it is.
QString ShownMetadataKey(const QString& key);

// Appends "<indent>Metadata:" and one "<indent>  <key, 16 wide>: <value>" line per
// tag except "language". Nothing for no tags or for a lone "language" tag.
void AppendMetadataBlock(QStringList& lines, const AVDictionary* metadata, const QString& indent);

// ", <value> <word>": two decimals when the value is not whole, "90k" style for
// whole multiples of 1000, else a whole number.
QString RateText(double value, const char* word);

// Microseconds as "<seconds>.<6-digit microseconds>", e.g. "1.400000".
QString FractionalSecondsText(qint64 microseconds);

// The line of one stream: "Stream #<index>", its id when the format shows ids,
// its language, its time base, the library's codec description, PAR/DAR when the
// stream's aspect differs from the codec's, the rates of a video stream, its start
// and its duration.
QString StreamLine(const AVFormatContext* context, int index);
