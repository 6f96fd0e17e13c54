#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

// Raised when a write cannot reach the file; the previous file stays intact.
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Access to one INI file, with no cache: every read opens and parses the file
// and every write replaces it at once.
//
// - Section and key names compare without regard to case; the first matching
//   section and the first matching key in it win.
// - A missing file or key reads as the caller's default; a missing file is
//   created by the first write.
// - Integer reads take decimal, "$" or "0x" hexadecimal, else the default;
//   boolean reads are integer reads (0 false, anything else true); boolean
//   writes store "1" or "0".
// - String reads return at most 2047 characters, blanks around the value
//   removed, and one pair of matching surrounding quotes removed.
// - Lines starting with ";" or "#" are comments. Junk, a byte-order mark,
//   CRLF or LF endings and lines without "=" are tolerated.
// - A write changes only the line of its key (or adds one to the end of its
//   section, or a new section to the end of the file); every other byte of the
//   file survives. The new content goes to a temporary file in the same folder,
//   is flushed to disk and renamed over the old one, so a crash or a full disk
//   never leaves a damaged file. A failed write throws EIniFileException.
class IniFile {
public:
    static constexpr int MaxValueLength = 2047;

    explicit IniFile(QString fileName);

    const QString& FileName() const { return fileName_; }

    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    bool ReadBool(const QString& section, const QString& key, bool fallback) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // Key names of a section, in file order.
    QStringList ReadSection(const QString& section) const;
    // Section names, in file order.
    QStringList ReadSections() const;

    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

private:
    QString fileName_;
};
