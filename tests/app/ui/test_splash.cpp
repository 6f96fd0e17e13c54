#include "app/ui/FrmCover.h"
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtTest>

namespace {

void writePicture(const QString& folder, const char* name, QSize size)
{
    QDir().mkpath(folder + QStringLiteral("/skin"));
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(folder + QStringLiteral("/skin/") + QLatin1String(name), "JPG"));
}

void writeJunk(const QString& folder, const char* name)
{
    QDir().mkpath(folder + QStringLiteral("/skin"));
    QFile f(folder + QStringLiteral("/skin/") + QLatin1String(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\xff\xd8 not really a picture");
}

} // namespace

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void pictureChoice_data()
    {
        QTest::addColumn<QSize>("ipod"); // empty: missing, -1 x -1: damaged
        QTest::addColumn<QSize>("video");
        QTest::addColumn<QSize>("shown");
        const QSize none, damaged(-1, -1), design(399, 239);
        QTest::newRow("no pictures: the design picture") << none << none << design;
        QTest::newRow("iPod picture only") << QSize(200, 120) << none << QSize(200, 120);
        QTest::newRow("video picture only") << none << QSize(300, 150) << QSize(300, 150);
        QTest::newRow("both: the second wins") << QSize(200, 120) << QSize(300, 150) << QSize(300, 150);
        QTest::newRow("damaged second picture") << QSize(200, 120) << damaged << QSize(200, 120);
        QTest::newRow("damaged only picture") << damaged << none << design;
    }

    void pictureChoice()
    {
        QFETCH(QSize, ipod);
        QFETCH(QSize, video);
        QFETCH(QSize, shown);
        TTemporaryFolder folder;
        const std::pair<const char*, QSize> files[] = {{"ipodvideocover.jpg", ipod},
                                                       {"videocover.jpg", video}};
        for (const auto& [name, size] : files) {
            if (size == QSize(-1, -1))
                writeJunk(folder.Path(), name);
            else if (size.isValid())
                writePicture(folder.Path(), name, size);
        }

        TfrmCover cover(folder.Path());
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        QCOMPARE(cover.size(), shown);
        QCOMPARE(cover.imgCover->geometry(), QRect(QPoint(0, 0), shown));
    }

    void closesAtTheFirstTickWithTheMainWindowShowing()
    {
        TTemporaryFolder folder;
        TfrmCover cover(folder.Path());
        QCOMPARE(cover.tmr1->interval(), 1000);
        QVERIFY(cover.tmr1->isActive());
        QVERIFY(cover.windowFlags() & Qt::FramelessWindowHint);
        QWidget mainWindow;
        cover.SetMainWindow(&mainWindow);
        cover.show();

        cover.tmr1Timer();
        QVERIFY(cover.isVisible());
        mainWindow.show();
        cover.tmr1Timer();
        QVERIFY(!cover.isVisible());
        QVERIFY(!cover.tmr1->isActive());
    }
};

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
