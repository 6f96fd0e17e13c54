#include "app/GlobalObject.h"
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(GlobalObject, SettersIgnoreValuesThatCannotBeMeant)
{
    TGlobalObject g;
    g.SetSettingsFile(QStringLiteral("/opt/q/quenvoipodclarvix.ini"));
    g.SetFormatFile(QStringLiteral("/opt/q/quenvoipodformat.ini"));
    g.SetTitle(QStringLiteral("Quenvo iPod Clarvix"));
    g.SetVersionText(QStringLiteral(" ver 1.60 "));
    g.SetHelpURL(QStringLiteral("https://example.org/help"));
    g.SetUpdateURL(QStringLiteral("https://example.org/update"));

    // Paths of 3 characters or fewer, and empty texts, leave the old value.
    for (const char* shortPath : {"", "a", "/a", "a.b"}) {
        g.SetSettingsFile(QString::fromLatin1(shortPath));
        g.SetFormatFile(QString::fromLatin1(shortPath));
    }
    g.SetTitle(QString());
    g.SetVersionText(QString());
    g.SetHelpURL(QString());
    g.SetUpdateURL(QString());
    EXPECT_EQ(g.SettingsFile(), QStringLiteral("/opt/q/quenvoipodclarvix.ini"));
    EXPECT_EQ(g.FormatFile(), QStringLiteral("/opt/q/quenvoipodformat.ini"));
    EXPECT_EQ(g.Title(), QStringLiteral("Quenvo iPod Clarvix"));
    EXPECT_EQ(g.VersionText(), QStringLiteral(" ver 1.60 "));
    EXPECT_EQ(g.HelpURL(), QStringLiteral("https://example.org/help"));
    EXPECT_EQ(g.UpdateURL(), QStringLiteral("https://example.org/update"));

    // Four characters are enough for a path; one blank is a value.
    g.SetSettingsFile(QStringLiteral("/a.i"));
    g.SetFormatFile(QStringLiteral("/b.i"));
    g.SetVersionText(QStringLiteral(" "));
    EXPECT_EQ(g.SettingsFile(), QStringLiteral("/a.i"));
    EXPECT_EQ(g.FormatFile(), QStringLiteral("/b.i"));
    EXPECT_EQ(g.VersionText(), QStringLiteral(" "));
}

TEST(GlobalObject, RightStr)
{
    struct Case
    {
        const char* text;
        int count;
        const char* result;
    } cases[] = {
        {"clips/holiday", 7, "holiday"},
        {"abc", 3, "abc"},
        {"abc", 10, "abc"},
        {"abc", 0, ""},
        {"abc", -2, ""},
        {"", 4, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TGlobalObject::RightStr(QString::fromLatin1(c.text), c.count),
                  QString::fromLatin1(c.result))
            << c.text << " " << c.count;
}

TEST(GlobalObject, VersionText)
{
    EXPECT_EQ(FormatVersionText(3, 3, 0, 0), QStringLiteral(" 3.300 "));
    EXPECT_EQ(FormatVersionText(2, 10, 4, 12), QStringLiteral(" 2.10412 "));
    // The program's own version 1.6.0.0.
    EXPECT_EQ(TGlobalObject().GetFileVersionText(), QStringLiteral(" 1.600 "));
}

// Points HOME and XDG_CONFIG_HOME at a temporary folder for one test.
class FileLocations : public ::testing::Test
{
protected:
    void SetUp() override
    {
        oldHome_ = qgetenv("HOME");
        oldXdg_ = qgetenv("XDG_CONFIG_HOME");
        hadXdg_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("HOME", home_.FilePath(QStringLiteral("home")).toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override
    {
        qputenv("HOME", oldHome_);
        if (hadXdg_)
            qputenv("XDG_CONFIG_HOME", oldXdg_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString Home() const { return home_.FilePath(QStringLiteral("home")); }

    TTemporaryFolder home_;
    TTemporaryFolder exe_;

private:
    QByteArray oldHome_, oldXdg_;
    bool hadXdg_ = false;
};

TEST_F(FileLocations, BesideAWritableExecutable)
{
    QFile catalogue(exe_.FilePath(QStringLiteral("quenvoipodformat.ini")));
    ASSERT_TRUE(catalogue.open(QIODevice::WriteOnly));
    catalogue.close();

    const TFileLocations l = LocateFiles(exe_.Path());
    EXPECT_EQ(l.ExecutableFolder, exe_.Path() + "/");
    EXPECT_EQ(l.SettingsFile, exe_.FilePath(QStringLiteral("quenvoipodclarvix.ini")));
    EXPECT_EQ(l.FormatFile, exe_.FilePath(QStringLiteral("quenvoipodformat.ini")));
    EXPECT_EQ(l.DefaultOutputFolder, Home() + QStringLiteral("/clarvix"));
    // A trailing "/" on the folder changes nothing.
    EXPECT_EQ(LocateFiles(exe_.Path() + "/").SettingsFile, l.SettingsFile);
}

TEST_F(FileLocations, InstalledExecutableUsesTheConfigFolderAndTheDataFolder)
{
    // An executable in <prefix>/bin of a folder the user cannot write.
    const QString prefix = QStringLiteral("/nonexistent-clarvix-prefix");
    const TFileLocations l = LocateFiles(prefix + QStringLiteral("/bin"));
    EXPECT_EQ(l.SettingsFile, Home() + QStringLiteral("/.config/quenvoipodclarvix/quenvoipodclarvix.ini"));
    EXPECT_EQ(l.FormatFile, prefix + QStringLiteral("/share/quenvoipodclarvix/quenvoipodformat.ini"));

    const QString xdg = home_.FilePath(QStringLiteral("xdg"));
    qputenv("XDG_CONFIG_HOME", xdg.toLocal8Bit());
    const TFileLocations withXdg = LocateFiles(prefix + QStringLiteral("/bin"));
    EXPECT_EQ(withXdg.SettingsFile, xdg + QStringLiteral("/quenvoipodclarvix/quenvoipodclarvix.ini"));

    // The first write needs the folder of the settings file.
    EXPECT_TRUE(EnsureSettingsFolder(withXdg));
    EXPECT_TRUE(QDir(xdg + QStringLiteral("/quenvoipodclarvix")).exists());
}

TEST_F(FileLocations, ReadOnlyExecutableFolder)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    ASSERT_TRUE(QFile::setPermissions(exe_.Path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const TFileLocations l = LocateFiles(exe_.Path());
    QFile::setPermissions(exe_.Path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(l.SettingsFile, Home() + QStringLiteral("/.config/quenvoipodclarvix/quenvoipodclarvix.ini"));
}
