#include "platform/OpticalDrive.h"
#include "platform/ShellOpener.h"
#include "platform/Shutdown.h"
#include "platform/ThreadPriority.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

TEST(PlatformServices, NothingReachesTheSystemUntilTheProgramInstallsItsServices)
{
    EXPECT_FALSE(Shutdown().RequestPowerOff());
    EXPECT_FALSE(Shutdown().LastError().isEmpty());
    EXPECT_FALSE(Shell().OpenFolder(QDir::tempPath()));
    EXPECT_FALSE(Shell().OpenAddress(QStringLiteral("https://example.org/")));

    TRecordingShutdown shutdown;
    TRecordingShell shell;
    SetShutdown(&shutdown);
    SetShell(&shell);
    EXPECT_TRUE(Shutdown().RequestPowerOff());
    EXPECT_TRUE(Shell().OpenFolder(QStringLiteral("/data/out")));
    SetShutdown(nullptr);
    SetShell(nullptr);
    EXPECT_EQ(shutdown.Requests, 1);
    ASSERT_EQ(shell.Folders.size(), 1u);
    EXPECT_EQ(shell.Folders[0], QStringLiteral("/data/out"));
    EXPECT_FALSE(Shutdown().RequestPowerOff());
}

TEST(PlatformServices, FolderUrlsKeepEveryCharacterOfThePath)
{
    const QString folders[] = {
        QStringLiteral("/home/u/clarvix"),
        QStringLiteral("/home/u/clips #1/"),
        QStringLiteral("/home/u/what?now"),
        QStringLiteral("/home/u/Vid\u00e9os/\u6f14\u793a 100%"),
    };
    for (const QString& folder : folders) {
        const QUrl url = FolderUrl(folder);
        EXPECT_TRUE(url.isLocalFile()) << folder.toStdString();
        EXPECT_EQ(url.toLocalFile(), QDir::cleanPath(folder)) << folder.toStdString();
        EXPECT_TRUE(url.fragment().isEmpty() && url.query().isEmpty()) << folder.toStdString();
    }
}

TEST(PlatformServices, AddressUrls)
{
    EXPECT_EQ(AddressUrl(QStringLiteral("https://example.org/help.html")),
              QUrl(QStringLiteral("https://example.org/help.html")));
    EXPECT_EQ(AddressUrl(QStringLiteral("  /usr/share/doc/help #2.html ")).toLocalFile(),
              QStringLiteral("/usr/share/doc/help #2.html"));
    EXPECT_EQ(AddressUrl(QStringLiteral("example.org/help")).scheme(), QStringLiteral("http"));
}

TEST(OpticalDrive, FileSystemTypes)
{
    EXPECT_TRUE(IsOpticalFileSystem("iso9660"));
    EXPECT_TRUE(IsOpticalFileSystem("udf"));
    EXPECT_TRUE(IsOpticalFileSystem("UDF"));
    EXPECT_FALSE(IsOpticalFileSystem("ext4"));
    EXPECT_FALSE(IsOpticalFileSystem("tmpfs"));
    EXPECT_FALSE(IsOpticalFileSystem("vfat"));
    EXPECT_FALSE(IsOpticalFileSystem(""));
}

TEST(OpticalDrive, PathsOfOrdinaryFoldersAreNotOptical)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(IsOnOpticalDrive(dir.path()));
    // A folder that does not exist yet is judged by the folder it would be made in.
    EXPECT_FALSE(IsOnOpticalDrive(dir.filePath(QStringLiteral("not/yet/there"))));
    EXPECT_FALSE(IsOnOpticalDrive(QString()));
}

TEST(ThreadPriority, NiceValues)
{
    EXPECT_EQ(NiceValue(TThreadPriority::Idle), 19);
    EXPECT_EQ(NiceValue(TThreadPriority::Normal), 0);
    EXPECT_EQ(NiceValue(TThreadPriority::Lower), 5);
    EXPECT_EQ(NiceValue(TThreadPriority::Lowest), 10);
    // The enumeration is read straight from the stored "priority" value.
    EXPECT_EQ(static_cast<int>(TThreadPriority::Idle), 0);
    EXPECT_EQ(static_cast<int>(TThreadPriority::Lowest), 3);
}

TEST(ThreadPriority, ActsOnTheWorkerThreadOnly)
{
    int mainBefore = 0;
    ASSERT_TRUE(GetThreadNice(CurrentThreadId(), mainBefore));

    std::vector<int> seen;
    bool allSet = true;
    std::thread worker([&] {
        const long self = CurrentThreadId();
        // Only ever lowered here: raising needs a privilege the test may lack.
        for (TThreadPriority p : {TThreadPriority::Lower, TThreadPriority::Lowest, TThreadPriority::Idle}) {
            QString error;
            allSet = SetThreadPriority(self, p, &error) && allSet;
            int nice = -100;
            GetThreadNice(self, nice);
            seen.push_back(nice);
        }
    });
    worker.join();

    EXPECT_TRUE(allSet);
    EXPECT_EQ(seen, (std::vector<int>{5, 10, 19}));
    int mainAfter = 0;
    ASSERT_TRUE(GetThreadNice(CurrentThreadId(), mainAfter));
    EXPECT_EQ(mainAfter, mainBefore);
}

TEST(ThreadPriority, AMissingThreadIsReported)
{
    QString error;
    EXPECT_FALSE(SetThreadPriority(0x7ffffff0, TThreadPriority::Lowest, &error));
    EXPECT_FALSE(error.isEmpty());
}
