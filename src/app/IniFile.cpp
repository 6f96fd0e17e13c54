#include "app/IniFile.h"

#include "platform/NumberText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <optional>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One physical line of the file, kept byte for byte so that writes leave
// every line they do not change exactly as it was.
struct RawLine {
    QByteArray bytes;  // without the line break
    bool hasBreak = false;
};

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;        // section or key name
    QByteArray rawValue; // entry value, blanks removed
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArray trimBlanks(const QByteArray& b)
{
    qsizetype start = 0, end = b.size();
    while (start < end && isBlank(b[start]))
        ++start;
    while (end > start && isBlank(b[end - 1]))
        --end;
    return b.mid(start, end - start);
}

ParsedLine parseLine(const QByteArray& raw)
{
    ParsedLine p;
    const QByteArray t = trimBlanks(raw);
    if (t.isEmpty()) {
        p.kind = LineKind::Blank;
    } else if (t[0] == ';' || t[0] == '#') {
        p.kind = LineKind::Comment;
    } else if (t[0] == '[') {
        const qsizetype close = t.indexOf(']');
        p.kind = LineKind::Section;
        p.name = QString::fromUtf8(trimBlanks(t.mid(1, close < 0 ? -1 : close - 1)));
    } else if (const qsizetype eq = t.indexOf('='); eq > 0) {
        const QByteArray key = trimBlanks(t.left(eq));
        if (!key.isEmpty()) {
            p.kind = LineKind::Entry;
            p.name = QString::fromUtf8(key);
            p.rawValue = trimBlanks(t.mid(eq + 1));
        }
    }
    return p;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The whole file as lines; a missing or unreadable file is empty.
struct FileImage {
    QByteArray bom;
    std::vector<RawLine> lines;
    QByteArray lineBreak = "\n";

    static FileImage load(const QString& fileName)
    {
        FileImage image;
        QFile f(fileName);
        if (!f.open(QIODevice::ReadOnly))
            return image;
        QByteArray data = f.readAll();
        if (data.startsWith("\xEF\xBB\xBF")) {
            image.bom = data.left(3);
            data.remove(0, 3);
        }
        qsizetype pos = 0;
        while (pos < data.size()) {
            const qsizetype nl = data.indexOf('\n', pos);
            RawLine line;
            if (nl < 0) {
                line.bytes = data.mid(pos);
                pos = data.size();
            } else {
                line.bytes = data.mid(pos, nl - pos);
                line.hasBreak = true;
                pos = nl + 1;
            }
            if (line.hasBreak && line.bytes.endsWith('\r')) {
                line.bytes.chop(1);
                if (image.lines.empty())
                    image.lineBreak = "\r\n";
            }
            image.lines.push_back(std::move(line));
        }
        return image;
    }

    QByteArray serialise() const
    {
        QByteArray out = bom;
        for (const RawLine& l : lines) {
            out += l.bytes;
            if (l.hasBreak)
                out += lineBreak;
        }
        return out;
    }

    // Index of the header line of the first section with this name, or -1.
    qsizetype findSection(const QString& section) const
    {
        for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
            const ParsedLine p = parseLine(lines[i].bytes);
            if (p.kind == LineKind::Section && sameName(p.name, section))
                return i;
        }
        return -1;
    }

    // One past the last line of the section whose header is at `header`.
    qsizetype sectionEnd(qsizetype header) const
    {
        qsizetype i = header + 1;
        while (i < qsizetype(lines.size()) && parseLine(lines[i].bytes).kind != LineKind::Section)
            ++i;
        return i;
    }

    qsizetype findKey(qsizetype header, const QString& key) const
    {
        const qsizetype end = sectionEnd(header);
        for (qsizetype i = header + 1; i < end; ++i) {
            const ParsedLine p = parseLine(lines[i].bytes);
            if (p.kind == LineKind::Entry && sameName(p.name, key))
                return i;
        }
        return -1;
    }

    void insertLine(qsizetype at, QByteArray bytes)
    {
        // The line before a new one must end with a break.
        if (at > 0 && !lines[at - 1].hasBreak)
            lines[at - 1].hasBreak = true;
        lines.insert(lines.begin() + at, RawLine{std::move(bytes), true});
    }
};

std::optional<QByteArray> findRawValue(const QString& fileName, const QString& section, const QString& key)
{
    const FileImage image = FileImage::load(fileName);
    const qsizetype header = image.findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype line = image.findKey(header, key);
    if (line < 0)
        return std::nullopt;
    return parseLine(image.lines[line].bytes).rawValue;
}

QString decodeValue(const QByteArray& raw)
{
    QByteArray v = raw;
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        v = v.mid(1, v.size() - 2);
    return QString::fromUtf8(v).left(IniFile::MaxValueLength);
}

// Values that reading would change (outer blanks, outer quotes) are quoted, so
// that what is written is what is read back.
QByteArray encodeValue(const QString& value)
{
    const QByteArray v = value.toUtf8();
    const bool outerBlanks = !v.isEmpty() && (isBlank(v.front()) || isBlank(v.back()));
    const bool outerQuotes = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
    return outerBlanks || outerQuotes ? '"' + v + '"' : v;
}

[[noreturn]] void failWrite(const QString& fileName, const QString& reason)
{
    throw EIniFileException(QStringLiteral("Unable to write to %1: %2").arg(fileName, reason).toStdString());
}

void checkName(const QString& fileName, const QString& name, const char* what, const char* forbidden)
{
    if (name.trimmed().isEmpty())
        failWrite(fileName, QStringLiteral("empty %1 name").arg(QLatin1String(what)));
    for (const char* c = forbidden; *c; ++c)
        if (name.contains(QLatin1Char(*c)))
            failWrite(fileName, QStringLiteral("invalid %1 name \"%2\"").arg(QLatin1String(what), name));
}

// Replaces the file atomically: temporary file in the same folder, flushed to
// disk, then renamed over the old one. Any failure leaves the old file intact.
void replaceFile(const QString& fileName, const QByteArray& content)
{
    // Write through a symbolic link to its target rather than replacing the link.
    QString target = fileName;
    const QFileInfo info(fileName);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        target = info.canonicalFilePath();

    const QByteArray targetPath = QFile::encodeName(target);
    QByteArray tempPath = targetPath + ".tmp-XXXXXX";
    const int fd = mkstemp(tempPath.data());
    if (fd < 0)
        failWrite(fileName, QString::fromLocal8Bit(std::strerror(errno)));

    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tempPath.constData());
        failWrite(fileName, QString::fromLocal8Bit(std::strerror(err)));
    };

    struct stat st {};
    if (::stat(targetPath.constData(), &st) == 0)
        ::fchmod(fd, st.st_mode & 07777);
    else
        ::fchmod(fd, 0644);

    const char* p = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += n;
        left -= n;
    }
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tempPath.constData());
        failWrite(fileName, QString::fromLocal8Bit(std::strerror(err)));
    }
    if (::rename(tempPath.constData(), targetPath.constData()) != 0) {
        const int err = errno;
        ::unlink(tempPath.constData());
        failWrite(fileName, QString::fromLocal8Bit(std::strerror(err)));
    }
}

} // namespace

IniFile::IniFile(QString fileName) : fileName_(std::move(fileName)) {}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const
{
    const auto raw = findRawValue(fileName_, section, key);
    return raw ? decodeValue(*raw) : fallback;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int fallback) const
{
    const auto raw = findRawValue(fileName_, section, key);
    return raw ? StrToIntDef(decodeValue(*raw), fallback) : fallback;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    checkName(fileName_, section, "section", "]\r\n");
    checkName(fileName_, key, "key", "=\r\n");
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        failWrite(fileName_, QStringLiteral("a value cannot hold a line break"));

    FileImage image = FileImage::load(fileName_);
    const QByteArray encoded = encodeValue(value);
    const qsizetype header = image.findSection(section);
    if (header < 0) {
        image.insertLine(qsizetype(image.lines.size()), '[' + section.trimmed().toUtf8() + ']');
        image.insertLine(qsizetype(image.lines.size()), key.trimmed().toUtf8() + '=' + encoded);
    } else if (const qsizetype line = image.findKey(header, key); line >= 0) {
        RawLine& l = image.lines[line];
        l.bytes = l.bytes.left(l.bytes.indexOf('=') + 1) + encoded;
    } else {
        // After the section's last non-blank line, so blank separators stay below it.
        qsizetype at = image.sectionEnd(header);
        while (at > header + 1 && parseLine(image.lines[at - 1].bytes).kind == LineKind::Blank)
            --at;
        image.insertLine(at, key.trimmed().toUtf8() + '=' + encoded);
    }
    replaceFile(fileName_, image.serialise());
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::SectionExists(const QString& section) const
{
    return FileImage::load(fileName_).findSection(section) >= 0;
}

bool IniFile::ValueExists(const QString& section, const QString& key) const
{
    return findRawValue(fileName_, section, key).has_value();
}

QStringList IniFile::ReadSection(const QString& section) const
{
    const FileImage image = FileImage::load(fileName_);
    QStringList keys;
    const qsizetype header = image.findSection(section);
    if (header < 0)
        return keys;
    const qsizetype end = image.sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const ParsedLine p = parseLine(image.lines[i].bytes);
        if (p.kind == LineKind::Entry)
            keys << p.name;
    }
    return keys;
}

QStringList IniFile::ReadSections() const
{
    const FileImage image = FileImage::load(fileName_);
    QStringList sections;
    for (const RawLine& l : image.lines) {
        const ParsedLine p = parseLine(l.bytes);
        if (p.kind == LineKind::Section)
            sections << p.name;
    }
    return sections;
}

void IniFile::DeleteKey(const QString& section, const QString& key)
{
    FileImage image = FileImage::load(fileName_);
    const qsizetype header = image.findSection(section);
    if (header < 0)
        return;
    const qsizetype line = image.findKey(header, key);
    if (line < 0)
        return;
    image.lines.erase(image.lines.begin() + line);
    replaceFile(fileName_, image.serialise());
}

void IniFile::EraseSection(const QString& section)
{
    FileImage image = FileImage::load(fileName_);
    const qsizetype header = image.findSection(section);
    if (header < 0)
        return;
    image.lines.erase(image.lines.begin() + header, image.lines.begin() + image.sectionEnd(header));
    replaceFile(fileName_, image.serialise());
}
