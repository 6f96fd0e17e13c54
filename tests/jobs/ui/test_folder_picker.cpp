#include "jobs/ui/TfmDirectory.h"

#include "platform/DialogService.h"
#include "support/TemporaryFolder.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

class TestFolderPicker : public QObject
{
    Q_OBJECT

private:
    // Clicks the current tree node the way the user does.
    static void ClickCurrentNode(TfmDirectory& picker)
    {
        QTreeView* tree = picker.stview_selectdir;
        QTRY_VERIFY(tree->visualRect(tree->currentIndex()).isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualRect(tree->currentIndex()).center());
    }

    static void ClickNode(TfmDirectory& picker, const QString& path)
    {
        picker.SelectFolder(path);
        ClickCurrentNode(picker);
        QCOMPARE(picker.CurrentPath(), path);
    }

private slots:
    void init() { SetDialogs(&Recorder); }
    void cleanup()
    {
        SetDialogs(nullptr);
        Recorder = TRecordingDialogs();
    }

    void showingSizesTheWindowAndStartsAtTheRoot()
    {
        TfmDirectory picker;
        picker.resize(600, 100);
        picker.show();
        QCOMPARE(picker.windowTitle(), QString("Brows"));
        QCOMPARE(picker.size(), QSize(322, 351));
        QCOMPARE(picker.lblSelect->text(), QString("Please select an output directory:"));
        QCOMPARE(picker.btnOk->text(), QString("Ok"));
        QCOMPARE(picker.btnCancel->text(), QString("Cancel"));
        QCOMPARE(picker.CurrentPath(), QString("/"));
        QVERIFY(picker.btnOk->isEnabled());
        QVERIFY(picker.SelectedFolder().isEmpty());
    }

    void okTakesTheClickedFolderAndCloses()
    {
        TTemporaryFolder temp;
        TfmDirectory picker;
        picker.SetOpticalTest([](const QString&) { return false; });
        picker.show();
        ClickNode(picker, temp.Path());
        QVERIFY(picker.btnOk->isEnabled());
        QTest::mouseClick(picker.btnOk, Qt::LeftButton);
        QCOMPARE(picker.SelectedFolder(), temp.Path());
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Accepted));
        QVERIFY(Recorder.Boxes.empty());
    }

    void nodeWhoseFolderIsGoneIsRefused()
    {
        TTemporaryFolder temp;
        const QString gone = temp.FilePath("gone");
        QVERIFY(QDir().mkpath(gone));
        TfmDirectory picker;
        picker.SetOpticalTest([](const QString&) { return false; });
        picker.show();
        ClickNode(picker, gone);
        QVERIFY(picker.btnOk->isEnabled());

        // Removed on disk while the tree still shows it: clicking it takes "Ok" away ...
        QVERIFY(QDir(gone).removeRecursively());
        ClickCurrentNode(picker);
        QCOMPARE(picker.CurrentPath(), gone);
        QVERIFY(!picker.btnOk->isEnabled());

        // ... and "Ok" reached otherwise refuses it.
        picker.btnOk->setEnabled(true);
        picker.btnOkClick();
        QVERIFY(picker.SelectedFolder().isEmpty());
        QVERIFY(picker.isVisible());
        QVERIFY(!picker.btnOk->isEnabled());
        QVERIFY(Recorder.Boxes.empty());
    }

    void opticalDiscFolderIsRefusedWithTheMessage()
    {
        TTemporaryFolder temp;
        const QString disc = temp.FilePath("disc");
        QVERIFY(QDir().mkpath(disc));
        QStringList asked;
        TfmDirectory picker;
        picker.SetOpticalTest([&](const QString& path) {
            asked << path;
            return path == disc;
        });
        picker.show();
        ClickNode(picker, disc);
        QTest::mouseClick(picker.btnOk, Qt::LeftButton);

        QCOMPARE(asked, QStringList{disc});
        QVERIFY(picker.SelectedFolder().isEmpty());
        QVERIFY2(picker.isVisible(), "the picker stays open for another choice");
        QCOMPARE(Recorder.Boxes.size(), size_t(1));
        QCOMPARE(Recorder.Boxes[0].Text,
                 QString("Output folder cannot be located in CD-ROM.Please select another folder."));
        QCOMPARE(Recorder.Boxes[0].Caption, ApplicationTitle());
        QCOMPARE(Recorder.Boxes[0].Icon, TMsgIcon::Information);
        QCOMPARE(Recorder.Boxes[0].Buttons, TMsgButtons::Ok);

        // Another folder is then taken.
        ClickNode(picker, temp.Path());
        QTest::mouseClick(picker.btnOk, Qt::LeftButton);
        QCOMPARE(picker.SelectedFolder(), temp.Path());
        QVERIFY(!picker.isVisible());
    }

    void cancelAndReshowingForgetTheEarlierChoice()
    {
        TTemporaryFolder temp;
        TfmDirectory picker;
        picker.SetOpticalTest([](const QString&) { return false; });
        picker.show();
        ClickNode(picker, temp.Path());
        picker.btnOkClick();
        QCOMPARE(picker.SelectedFolder(), temp.Path());

        picker.show(); // kept and shown again, then closed without a choice
        QVERIFY(picker.SelectedFolder().isEmpty());
        QCOMPARE(picker.CurrentPath(), QString("/"));

        ClickNode(picker, temp.Path());
        QTest::mouseClick(picker.btnCancel, Qt::LeftButton);
        QVERIFY(picker.SelectedFolder().isEmpty());
        QVERIFY(!picker.isVisible());
        QCOMPARE(picker.result(), int(QDialog::Rejected));
    }

    void theRealOpticalTestAcceptsAnOrdinaryFolder()
    {
        TTemporaryFolder temp;
        TfmDirectory picker;
        picker.SetOpticalTest(nullptr);
        picker.show();
        picker.SelectFolder(temp.Path());
        picker.btnOkClick();
        QCOMPARE(picker.SelectedFolder(), temp.Path());
    }

private:
    TRecordingDialogs Recorder;
};

QTEST_MAIN(TestFolderPicker)
#include "test_folder_picker.moc"
