#pragma once

#include <QDateTime>
#include <QString>

struct AVCodecContext;
struct AVDictionary;

// Texts of the media components.

// prefix + ": " + the text of a library error code, e.g. "in.avi: No such file or directory";
// codes without a text of their own give "Error number <code> occurred".
QString ErrorText(const QString& prefix, int errorCode);

// Microseconds as "hh:mm:ss.zzz" (hours not wrapped at 24); "N/A" for the
// library's no-timestamp value.
QString TimeToStr(qint64 microseconds);

// 0 "Video", 1 "Audio", 2 "Data", 3 "Subtitle", 4 "Attachment", else "Unknown".
QString StreamTypeName(int mediaType);

// The codec of a context as "name(long name)" (or "name" without a long name),
// looked up among encoders or decoders; for a codec the library lacks, its
// descriptor name or its tag ("XVID / 0x44495658", "0x0000").
QString CodecText(const AVCodecContext* context, bool encoder);

// The value of the entry with exactly that key, or fallback.
QString MetadataValue(const AVDictionary* metadata, const QString& key, const QString& fallback);

// "%d Byte", "%.2f KB", "%.2f MB" or "%.2f GB"; a unit is used only above its size
// (1024 gives "1024 Byte", 1025 gives "1.00 KB").
QString SizeToStr(qint64 bytes);

// Seconds since 1970-01-01 UTC as a local date-time.
QDateTime UnixToLocalDateTime(qint64 seconds);
