#include "platform/ui/MessageBoxDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>

// Runs `answer` on the message box as soon as it is shown.
static void whenBoxShows(std::function<void(QMessageBox*)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            whenBoxShows(answer);
            return;
        }
        answer(box);
    });
}

class TestMessageBoxDialogs : public QObject
{
    Q_OBJECT

private slots:
    void showsTextCaptionIconAndButtons_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("expectedIcon");
        QTest::addColumn<int>("expectedButtons");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("expectedResult");

        QTest::newRow("warning ok") << int(TMsgIcon::Warning) << int(TMsgButtons::Ok)
                                    << int(QMessageBox::Warning) << int(QMessageBox::Ok)
                                    << int(QMessageBox::Ok) << int(TMsgResult::Ok);
        QTest::newRow("error ok") << int(TMsgIcon::Error) << int(TMsgButtons::Ok)
                                  << int(QMessageBox::Critical) << int(QMessageBox::Ok)
                                  << int(QMessageBox::Ok) << int(TMsgResult::Ok);
        QTest::newRow("question no") << int(TMsgIcon::Question) << int(TMsgButtons::YesNo)
                                     << int(QMessageBox::Question) << int(QMessageBox::Yes | QMessageBox::No)
                                     << int(QMessageBox::No) << int(TMsgResult::No);
        QTest::newRow("question yes")
            << int(TMsgIcon::Question) << int(TMsgButtons::YesNo) << int(QMessageBox::Question)
            << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::Yes) << int(TMsgResult::Yes);
        QTest::newRow("information cancel")
            << int(TMsgIcon::Information) << int(TMsgButtons::OkCancel) << int(QMessageBox::Information)
            << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Cancel)
            << int(TMsgResult::Cancel);
        QTest::newRow("plain yes-no-cancel")
            << int(TMsgIcon::None) << int(TMsgButtons::YesNoCancel) << int(QMessageBox::NoIcon)
            << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << int(QMessageBox::Cancel)
            << int(TMsgResult::Cancel);
    }

    void showsTextCaptionIconAndButtons()
    {
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, expectedIcon);
        QFETCH(int, expectedButtons);
        QFETCH(int, press);
        QFETCH(int, expectedResult);

        QString text, caption;
        int shownIcon = -1, shownButtons = -1;
        whenBoxShows([&](QMessageBox* box) {
            text = box->text();
            caption = box->windowTitle();
            shownIcon = box->icon();
            shownButtons = int(box->standardButtons());
            box->button(QMessageBox::StandardButton(press))->click();
        });
        TMessageBoxDialogs dialogs;
        const TMsgResult result =
            dialogs.MessageBox(QStringLiteral("Frame Size must be a multiple of 2.\n640x480"),
                               QStringLiteral("Input Error!"), TMsgIcon(icon), TMsgButtons(buttons));
        QCOMPARE(text, QStringLiteral("Frame Size must be a multiple of 2.\n640x480"));
        QCOMPARE(caption, QStringLiteral("Input Error!"));
        QCOMPARE(shownIcon, expectedIcon);
        QCOMPARE(shownButtons, expectedButtons);
        QCOMPARE(int(result), expectedResult);
    }

    void escapeOnAQuestionAnswersNo()
    {
        whenBoxShows([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        TMessageBoxDialogs dialogs;
        QCOMPARE(dialogs.MessageBox(QStringLiteral("Do you really want to exit?"), QStringLiteral("Warning"),
                                    TMsgIcon::Question, TMsgButtons::YesNo),
                 TMsgResult::No);
    }
};

QTEST_MAIN(TestMessageBoxDialogs)
#include "test_message_box_dialogs.moc"
