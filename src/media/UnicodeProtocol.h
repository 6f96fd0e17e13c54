#pragma once

#include <QString>
#include <string>
#include <string_view>

struct AVIOContext;

// File names and the program's own "unicode" protocol.
//
// The container library reads "<word>:" at the start of a name as a protocol,
// so a plain file name like "clip:1.mp4" would not open. Such names are handed
// over as "unicode:utf8:" + the name in UTF-8 and opened through this file's
// I/O context, which the library sees as ordinary byte I/O.

// True when the text before the first ":" holds no "/" and is neither a
// protocol the library handles nor "unicode" (compared case-sensitively), or
// when the name does not survive the conversion to the narrow code page.
bool NeedsUnicodeURL(const QString& fileName);
// The name to hand to the container library: "unicode:utf8:" + UTF-8 when
// NeedsUnicodeURL, else the name in the narrow code page.
std::string FileNameToURL(const QString& fileName);
// The file name behind a name taken from a container context.
QString URLToFileName(std::string_view url);
// At least 14 bytes and beginning with "unicode:utf8:".
bool IsUnicodeURL(std::string_view url);

// Makes the protocol available to the program's open functions (FormatIO.h);
// done by the loader once the container library is bound. Idempotent.
void RegisterUnicodeProtocol();
bool UnicodeProtocolRegistered();

// Opens the file behind a unicode URL as an I/O context. flags are the
// library's AVIO_FLAG_*: read-write and write-only create or truncate the
// file, read opens an existing one. Returns 0 or a negative library error
// code (the system's error, e.g. AVERROR(ENOENT) for a missing file).
int OpenUnicodeIO(AVIOContext** io, std::string_view url, int flags);
// Whether an I/O context was made by OpenUnicodeIO.
bool IsUnicodeIO(const AVIOContext* io);
// Flushes, closes the file and frees the context; *io becomes null. Returns 0
// or the first write or close error.
int CloseUnicodeIO(AVIOContext** io);
