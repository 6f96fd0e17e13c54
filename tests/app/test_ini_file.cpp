#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("settings.ini"));

    void put(const QByteArray& content)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    QByteArray content() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList leftovers() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".tmp-"));
    }
};

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt)
{
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("settings", "OutPutDir", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadInteger("settings", "volume", 7), 7);
    EXPECT_TRUE(ini.ReadBool("settings", "snapBmp", true));
    EXPECT_FALSE(ini.SectionExists("settings"));
    EXPECT_FALSE(QFile::exists(path));

    ini.WriteString("settings", "FormatCode", "300");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(content(), "[settings]\nFormatCode=300\n");
}

TEST_F(IniFileTest, NamesCompareWithoutCase)
{
    IniFile ini(path);
    ini.WriteString("formatInfo203", "paraZoom", "lbox");
    EXPECT_EQ(ini.ReadString("FORMATINFO203", "parazoom", ""), "lbox");
    ini.WriteString("FormatInfo203", "PARAZOOM", "pan");
    EXPECT_EQ(content(), "[formatInfo203]\nparaZoom=pan\n") << "the existing spelling is kept";
    EXPECT_TRUE(ini.ValueExists("formatinfo203", "ParaZoom"));
}

TEST_F(IniFileTest, IntegerAndBooleanReads)
{
    put("[s]\ndec=42\nneg=-3\nhex=0x1F\ndollar=$10\njunk=12abc\nempty=\nspace= 8 \nbig=99999999999\n"
        "zero=0\ntwo=2\n");
    IniFile ini(path);
    const struct {
        const char* key;
        int expected;
    } cases[] = {{"dec", 42},   {"neg", -3},    {"hex", 31},  {"dollar", 16}, {"junk", -1},
                 {"empty", -1}, {"space", 8},   {"big", -1},  {"missing", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(ini.ReadInteger("s", c.key, -1), c.expected) << c.key;
    EXPECT_FALSE(ini.ReadBool("s", "zero", true));
    EXPECT_TRUE(ini.ReadBool("s", "two", false));
    EXPECT_TRUE(ini.ReadBool("s", "junk", true)) << "an unreadable boolean is the default";
    EXPECT_FALSE(ini.ReadBool("s", "junk", false));

    ini.WriteBool("s", "flag", true);
    ini.WriteBool("s", "off", false);
    ini.WriteInteger("s", "n", -12);
    EXPECT_TRUE(content().endsWith("flag=1\noff=0\nn=-12\n"));
}

TEST_F(IniFileTest, StringsAreReadUpTo2047Characters)
{
    IniFile ini(path);
    const QString longValue(5000, QLatin1Char('a'));
    ini.WriteString("s", "k", longValue);
    EXPECT_EQ(ini.ReadString("s", "k", "").size(), 2047);
    EXPECT_TRUE(content().contains(longValue.toLatin1())) << "the whole value is stored";
}

TEST_F(IniFileTest, ValuesRoundTripIncludingBlanksQuotesAndNonAscii)
{
    IniFile ini(path);
    for (const QString& v : {QStringLiteral("  padded  "), QStringLiteral("\"quoted\""), QStringLiteral("'x'"),
                             QStringLiteral("/home/ü/clarvix [1]=ok;#"), QString()}) {
        ini.WriteString("s", "k", v);
        EXPECT_EQ(ini.ReadString("s", "k", "default"), v);
    }
    put("[s]\nq=\"hello\"\n");
    EXPECT_EQ(ini.ReadString("s", "q", ""), "hello");
}

TEST_F(IniFileTest, NoCacheEveryReadSeesTheFileAsItIsNow)
{
    IniFile a(path), b(path);
    a.WriteString("settings", "volume", "10");
    EXPECT_EQ(b.ReadInteger("settings", "volume", 0), 10);
    put("[settings]\nvolume=20\n");
    EXPECT_EQ(a.ReadInteger("settings", "volume", 0), 20);
    QFile::remove(path);
    EXPECT_EQ(a.ReadInteger("settings", "volume", 0), 0);
}

TEST_F(IniFileTest, MalformedInputReadsWithoutCrashAndWithDefaults)
{
    const QByteArray oneMegabyte(1 << 20, 'z');
    const struct {
        const char* name;
        QByteArray data;
    } files[] = {
        {"no section", "key=value\nother=1\n"},
        {"lines without =", "[s]\njust text\n=novalue\n[broken\n"},
        {"binary junk", QByteArray("\x00\xff\xfe[s\x00]\x01\x02=\x03\n\x80\x81", 16)},
        {"megabyte line", "[s]\n" + oneMegabyte + "\n"},
        {"megabyte key", "[s]\n" + oneMegabyte + "=1\n"},
        {"empty file", ""},
    };
    for (const auto& f : files) {
        put(f.data);
        IniFile ini(path);
        EXPECT_EQ(ini.ReadString("s", "key", "d"), "d") << f.name;
        EXPECT_EQ(ini.ReadInteger("s", "other", 5), 5) << f.name;
        EXPECT_NO_THROW(ini.ReadSections()) << f.name;
        ini.WriteString("s", "key", "v");
        EXPECT_EQ(ini.ReadString("s", "key", "d"), "v") << f.name;
    }
}

TEST_F(IniFileTest, ByteOrderMarkAndLineEndings)
{
    put("\xEF\xBB\xBF[settings]\r\nskinIndex=3\r\nvolume=64\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("settings", "skinIndex", 0), 3);
    EXPECT_EQ(ini.ReadInteger("settings", "volume", 0), 64);
    ini.WriteString("settings", "mute", "1");
    EXPECT_EQ(content(), "\xEF\xBB\xBF[settings]\r\nskinIndex=3\r\nvolume=64\r\nmute=1\r\n");

    put("[settings]\nvolume=5");  // no final line break
    ini.WriteString("settings", "mute", "0");
    EXPECT_EQ(content(), "[settings]\nvolume=5\nmute=0\n");
}

TEST_F(IniFileTest, WritesLeaveEverythingElseUntouchedAndInOrder)
{
    const QByteArray before = "; a comment\n"
                              "[Unknown]\n"
                              "  Odd Key =  spaced value  \n"
                              "zeta=1\n"
                              "\n"
                              "[settings]\n"
                              "volume=5\n"
                              "custom=keep me\n"
                              "\n"
                              "[lstformat]\n"
                              "0=1\n";
    put(before);
    IniFile ini(path);
    ini.WriteString("settings", "VOLUME", "99");
    ini.WriteString("settings", "skinIndex", "2");
    ini.WriteString("formatInfo300", "paraZoom", "lbox");
    EXPECT_EQ(content(), "; a comment\n"
                         "[Unknown]\n"
                         "  Odd Key =  spaced value  \n"
                         "zeta=1\n"
                         "\n"
                         "[settings]\n"
                         "volume=99\n"
                         "custom=keep me\n"
                         "skinIndex=2\n"
                         "\n"
                         "[lstformat]\n"
                         "0=1\n"
                         "[formatInfo300]\n"
                         "paraZoom=lbox\n");
    EXPECT_EQ(ini.ReadString("unknown", "odd key", ""), "spaced value");
    EXPECT_EQ(ini.ReadSections(), (QStringList{"Unknown", "settings", "lstformat", "formatInfo300"}));
    EXPECT_EQ(ini.ReadSection("settings"), (QStringList{"volume", "custom", "skinIndex"}));
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyWin)
{
    put("[s]\nk=first\nk=second\n[S]\nk=third\nj=4\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("s", "k", ""), "first");
    EXPECT_EQ(ini.ReadString("s", "j", "none"), "none") << "keys of a repeated section are not merged";
    ini.WriteString("s", "k", "new");
    EXPECT_EQ(content(), "[s]\nk=new\nk=second\n[S]\nk=third\nj=4\n");
}

TEST_F(IniFileTest, DeleteKeyAndEraseSection)
{
    put("[a]\nx=1\ny=2\n[b]\nz=3\n");
    IniFile ini(path);
    ini.DeleteKey("A", "X");
    EXPECT_EQ(content(), "[a]\ny=2\n[b]\nz=3\n");
    ini.EraseSection("a");
    EXPECT_EQ(content(), "[b]\nz=3\n");
    ini.EraseSection("missing");
    ini.DeleteKey("b", "missing");
    EXPECT_EQ(content(), "[b]\nz=3\n");
}

TEST_F(IniFileTest, NamesAndValuesThatWouldDamageTheFileAreRefused)
{
    put("[s]\nk=1\n");
    IniFile ini(path);
    EXPECT_THROW(ini.WriteString("s", "k", "two\nlines"), EIniFileException);
    EXPECT_THROW(ini.WriteString("s", "a=b", "1"), EIniFileException);
    EXPECT_THROW(ini.WriteString("x]y", "k", "1"), EIniFileException);
    EXPECT_THROW(ini.WriteString("s", "", "1"), EIniFileException);
    EXPECT_EQ(content(), "[s]\nk=1\n");
}

TEST_F(IniFileTest, WriteIntoMissingFolderIsReported)
{
    IniFile ini(dir.filePath(QStringLiteral("no/such/folder/x.ini")));
    try {
        ini.WriteString("s", "k", "v");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Unable to write to ")));
    }
}

TEST_F(IniFileTest, WriteThroughSymbolicLinkKeepsTheLink)
{
    const QString real = dir.filePath(QStringLiteral("real.ini"));
    { QFile f(real); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); f.write("[s]\nk=1\n"); }
    ASSERT_TRUE(QFile::link(real, path));
    IniFile(path).WriteString("s", "k", "2");
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(IniFile(real).ReadString("s", "k", ""), "2");
}

// A write that runs out of space (the file-size limit stands in for a full
// disk, and works for root too) fails, is reported, and leaves the old file.
TEST_F(IniFileTest, FailedWriteLeavesThePreviousFileIntact)
{
    const QByteArray before = "[settings]\nvolume=5\n";
    put(before);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            IniFile(path).WriteString("settings", "big", QString(100000, QLatin1Char('x')));
        } catch (const EIniFileException&) {
            _exit(3);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3) << "the failure must be reported";
    EXPECT_EQ(content(), before);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(',').toStdString();
}

// Killing the writer at any moment leaves either the old or the new file, whole.
TEST_F(IniFileTest, InterruptedWritesNeverLeaveAHalfFile)
{
    const QString a(200000, QLatin1Char('a')), b(200000, QLatin1Char('b'));
    IniFile(path).WriteString("s", "k", a);
    for (int round = 0; round < 5; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            IniFile ini(path);
            for (;;) {
                ini.WriteString("s", "k", b);
                ini.WriteString("s", "k", a);
            }
        }
        usleep(20000 + round * 7000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QByteArray now = content();
        EXPECT_TRUE(now == "[s]\nk=" + a.toLatin1() + "\n" || now == "[s]\nk=" + b.toLatin1() + "\n")
            << "round " << round << ": " << now.size() << " bytes";
        for (const QString& stale : leftovers())
            QFile::remove(dir.filePath(stale));
    }
}

} // namespace
