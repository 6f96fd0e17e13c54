#include "app/ui/AppException.h"
#include "app/ui/ClarvixApplication.h"
#include "media/FFmpegException.h"
#include "platform/DialogService.h"
#include "platform/NumberText.h"

#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {

// A button whose click runs `onClick`, as any handler of the program would.
struct TThrowingButton : QPushButton
{
    std::function<void()> onClick;
    TThrowingButton()
    {
        connect(this, &QPushButton::clicked, this, [this] { onClick(); });
    }
};

} // namespace

class TestAppException : public QObject
{
    Q_OBJECT

private slots:
    void fullStopRule_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Cannot open file"
                                << "Cannot open file.";
        QTest::newRow("digit") << "Error code 22"
                               << "Error code 22.";
        QTest::newRow("full stop") << "Cannot start while working."
                                   << "Cannot start while working.";
        QTest::newRow("exclamation mark") << "Unknown encoder!"
                                          << "Unknown encoder!";
        QTest::newRow("space") << "Stopped "
                               << "Stopped ";
        QTest::newRow("closing bracket sorts before") << "failed (5)"
                                                      << "failed (5)";
        QTest::newRow("quote sorts after") << "'abc' is not a valid integer value"
                                           << "'abc' is not a valid integer value.";
        QTest::newRow("slash sorts after") << "/tmp/x/"
                                           << "/tmp/x/.";
        QTest::newRow("non-ASCII letter")
            << QString::fromUtf8("Fichier refus\u00e9") << QString::fromUtf8("Fichier refus\u00e9.");
        QTest::newRow("empty") << ""
                               << "";
    }

    void fullStopRule()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(AppExceptionText(message), shown);
    }

    void handlersThatThrowEndOnlyTheirCommand()
    {
        TRecordingDialogs dialogs;
        TScopedDialogs scope(dialogs);
        TThrowingButton button;
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));

        button.onClick = [] { throw FFmpegException("Cannot start while working"); };
        QTest::mouseClick(&button, Qt::LeftButton);
        button.onClick = [] { StrToInt(QStringLiteral("abc")); };
        QTest::mouseClick(&button, Qt::LeftButton);
        button.onClick = [] { throw std::runtime_error("Disk full!"); };
        QTest::mouseClick(&button, Qt::LeftButton);

        QCOMPARE(dialogs.Boxes.size(), size_t(3));
        QCOMPARE(dialogs.Boxes[0].Text, QStringLiteral("Cannot start while working."));
        QCOMPARE(dialogs.Boxes[0].Icon, TMsgIcon::Warning);
        QCOMPARE(dialogs.Boxes[0].Buttons, TMsgButtons::Ok);
        QCOMPARE(dialogs.Boxes[0].Caption, ApplicationTitle());
        QCOMPARE(dialogs.Boxes[1].Text, QStringLiteral("'abc' is not a valid integer value."));
        QCOMPARE(dialogs.Boxes[1].Icon, TMsgIcon::Error);
        QCOMPARE(dialogs.Boxes[2].Text, QStringLiteral("Disk full!"));
        QCOMPARE(dialogs.Boxes[2].Icon, TMsgIcon::Error);

        // The program goes on: the next command runs normally.
        bool ran = false;
        button.onClick = [&] { ran = true; };
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY(ran);
        QCOMPARE(dialogs.Boxes.size(), size_t(3));
    }

    void queuedCallsAndTimersAreCoveredToo()
    {
        TRecordingDialogs dialogs;
        TScopedDialogs scope(dialogs);
        QTimer::singleShot(0, [] { throw FFmpegException("Libraries not loaded"); });
        QMetaObject::invokeMethod(
            qApp, [] { throw std::runtime_error("queued"); }, Qt::QueuedConnection);
        QTRY_COMPARE(dialogs.Boxes.size(), size_t(2));
        QCOMPARE(dialogs.Boxes[0].Icon, TMsgIcon::Warning);
        QCOMPARE(dialogs.Boxes[1].Text, QStringLiteral("queued."));
    }

    void exceptionsWithoutAMessageObjectAreDropped()
    {
        TRecordingDialogs dialogs;
        TScopedDialogs scope(dialogs);
        QTimer::singleShot(0, [] { throw 42; });
        bool after = false;
        QTimer::singleShot(5, [&] { after = true; });
        QTRY_VERIFY(after);
        QVERIFY(dialogs.Boxes.empty());
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TClarvixApplication app(argc, argv);
    TestAppException test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_exception.moc"
