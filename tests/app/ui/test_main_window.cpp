#include "MainWindowFixture.h"

#include "app/GlobalObject.h"
#include "app/ui/ColourThemes.h"
#include "app/ui/FrmAbout.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QColor MarkerColour(1, 2, 3);

int checkedSkinItem(const TfrmMain& w)
{
    int checked = -1;
    for (int i = 0; i < ColourThemeCount; ++i)
        if (w.SkinItems[i]->isChecked()) {
            if (checked != -1)
                return -2; // more than one
            checked = i;
        }
    return checked;
}

QColor applicationWindowColour()
{
    return QApplication::palette().color(QPalette::Window);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A palette no theme has, to see whether start-up applied one.
        QPalette marker = QApplication::palette();
        marker.setColor(QPalette::Window, MarkerColour);
        QApplication::setPalette(marker);
    }

    void startUpTheme_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("skinIndex");
        QTest::addColumn<int>("appliedTheme"); // -1: none applied
        QTest::addColumn<int>("markedItem");   // -1: no item marked

        QTest::newRow("no skinIndex gives Default") << false << QString() << 0 << 0;
        QTest::newRow("Orange") << true << QStringLiteral("2") << 2 << 2;
        QTest::newRow("Light blue") << true << QStringLiteral("6") << 6 << 6;
        QTest::newRow("9 applies none") << true << QStringLiteral("9") << -1 << -1;
        QTest::newRow("-1 applies none") << true << QStringLiteral("-1") << -1 << -1;
        QTest::newRow("not a number reads as 0") << true << QStringLiteral("blue") << 0 << 0;
    }

    void startUpTheme()
    {
        QFETCH(bool, stored);
        QFETCH(QString, skinIndex);
        QFETCH(int, appliedTheme);
        QFETCH(int, markedItem);

        TMainWindowFixture f(stored ? TMainWindowFixture::TSettings{{QStringLiteral("skinIndex"), skinIndex}}
                                    : TMainWindowFixture::TSettings{});
        if (appliedTheme < 0) {
            QCOMPARE(applicationWindowColour(), MarkerColour);
            QCOMPARE(f.Window->suiFileTheme1->Theme(), 0); // the design-time theme stays
        } else {
            QCOMPARE(applicationWindowColour(), ColourTheme(appliedTheme).Window);
            QCOMPARE(f.Window->suiFileTheme1->Theme(), appliedTheme);
        }

        emit f.Window->Skin1->aboutToShow();
        QCOMPARE(checkedSkinItem(*f.Window), markedItem);
    }

    void skinMenuCaptions()
    {
        TMainWindowFixture f;
        QStringList captions;
        for (QAction* a : f.Window->SkinItems)
            captions << a->text();
        QCOMPARE(captions,
                 (QStringList{"Default", "Gray", "Orange", "Purple", "Red", "Green", "Light blue"}));
    }

    void choosingASkin()
    {
        TMainWindowFixture f;
        QVERIFY(f.Show());
        f.Window->resize(900, 600); // the user's size survives the re-show
        emit f.Window->Skin1->aboutToShow();
        QCOMPARE(checkedSkinItem(*f.Window), 0);

        f.Window->SkinItems[4]->trigger();
        QCOMPARE(applicationWindowColour(), ColourTheme(4).Window);
        QCOMPARE(f.Settings().ReadString("settings", "skinIndex", ""), QStringLiteral("4"));
        QCOMPARE(checkedSkinItem(*f.Window), 4);
        QVERIFY(f.Window->isVisible());
        QCOMPARE(f.Window->size(), QSize(900, 600));

        // Choosing the checked item does nothing: no theme, no write.
        f.Settings().WriteString("settings", "skinIndex", "5");
        f.Window->SkinItems[4]->trigger();
        QCOMPARE(applicationWindowColour(), ColourTheme(4).Window);
        QCOMPARE(f.Settings().ReadString("settings", "skinIndex", ""), QStringLiteral("5"));
        QCOMPARE(checkedSkinItem(*f.Window), 4);
    }

    void startUpVolumeAndMute_data()
    {
        QTest::addColumn<QString>("volume"); // empty: no key
        QTest::addColumn<int>("position");
        QTest::newRow("missing volume gives 0") << QString() << 0;
        QTest::newRow("200 gives 64") << QStringLiteral("200") << 64;
        QTest::newRow("129 gives 64") << QStringLiteral("129") << 64;
        QTest::newRow("-1 gives 64") << QStringLiteral("-1") << 64;
        QTest::newRow("128") << QStringLiteral("128") << 128;
        QTest::newRow("0") << QStringLiteral("0") << 0;
        QTest::newRow("hexadecimal $20") << QStringLiteral("$20") << 32;
    }

    void startUpVolumeAndMute()
    {
        QFETCH(QString, volume);
        QFETCH(int, position);
        TMainWindowFixture f(volume.isEmpty()
                                 ? TMainWindowFixture::TSettings{}
                                 : TMainWindowFixture::TSettings{{QStringLiteral("volume"), volume}});
        QVERIFY(f.Show());
        QCOMPARE(f.Window->trcVolume->minimum(), 0);
        QCOMPARE(f.Window->trcVolume->maximum(), 128);
        QCOMPARE(f.Window->trcVolume->value(), position);
    }

    void startUpMute_data()
    {
        QTest::addColumn<QString>("mute"); // empty: no key
        QTest::addColumn<bool>("checkedBefore");
        QTest::addColumn<bool>("checkedAfter");
        QTest::newRow("1 checks") << QStringLiteral("1") << false << true;
        QTest::newRow("0 unchecks") << QStringLiteral("0") << true << false;
        QTest::newRow("missing reads as 0") << QString() << true << false;
        QTest::newRow("2 leaves checked") << QStringLiteral("2") << true << true;
        QTest::newRow("2 leaves unchecked") << QStringLiteral("2") << false << false;
    }

    void startUpMute()
    {
        QFETCH(QString, mute);
        QFETCH(bool, checkedBefore);
        QFETCH(bool, checkedAfter);
        TMainWindowFixture f(mute.isEmpty() ? TMainWindowFixture::TSettings{}
                                            : TMainWindowFixture::TSettings{{QStringLiteral("mute"), mute}});
        f.Window->ckMute->setChecked(checkedBefore);
        QVERIFY(f.Show());
        QCOMPARE(f.Window->ckMute->isChecked(), checkedAfter);
    }

    void showingTheWindow()
    {
        TMainWindowFixture f;
        QCOMPARE(GlobalObject->VersionText(), QStringLiteral(" ver 1.60 "));
        QVERIFY(f.Show());
        TfrmMain& w = *f.Window;

        QCOMPARE(w.windowTitle(), QStringLiteral("Quenvo iPod Clarvix 1.600 "));
        QCOMPARE(w.size(), QSize(786, 522));

        for (QWidget* b : {static_cast<QWidget*>(w.btnAdd), static_cast<QWidget*>(w.btnRemove),
                           static_cast<QWidget*>(w.btnClear), static_cast<QWidget*>(w.BtnEdit),
                           static_cast<QWidget*>(w.btnStart), static_cast<QWidget*>(w.btnExit)})
            QCOMPARE(b->mapTo(&w, QPoint(0, 0)).y(), 26 + 4);

        QVERIFY(w.imgbtnPlay->isEnabled());
        QVERIFY(!w.imgbtnPAuse->isEnabled());
        QVERIFY(!w.imgbtnStop->isEnabled());
        QVERIFY(!w.imgbtnSnap->isEnabled());
        QVERIFY(!w.trcPreview->isEnabled());

        QStringList columns;
        QList<int> widths;
        for (int i = 0; i < w.lvFiles->columnCount(); ++i) {
            columns << w.lvFiles->headerItem()->text(i);
            widths << w.lvFiles->columnWidth(i);
        }
        QCOMPARE(columns,
                 (QStringList{"Source", "Length", "Trimmed Length", "Destination File", "Progress"}));
        QCOMPARE(widths, (QList<int>{140, 65, 90, 120, 60}));
        QVERIFY(!w.lvFiles->header()->sectionsClickable());

        QCOMPARE(w.edt1->textMargins(), QMargins(4, 2, 0, 0));
        QCOMPARE(w.edDirectory->text(), DefaultOutputFolder());
        QVERIFY(w.edDirectory->isReadOnly());
        QCOMPARE(w.FormatCode(), QStringLiteral("1"));
        QCOMPARE(w.FormatName(), QStringLiteral("iPod Video MPEG-4"));
        QVERIFY(!w.lst1->isVisible());
        QVERIFY(!w.cbOutputFormat->isVisible());
        QCOMPARE(w.pan1->size(), QSize(243, 171));
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void hiddenProfileBox()
    {
        TMainWindowFixture f(TMainWindowFixture::TSettings{{"OutPutFormat", "15"}});
        QVERIFY(f.Show());
        QCOMPARE(f.Window->cbOutputFormat->count(), 38);
        QCOMPARE(f.Window->cbOutputFormat->itemText(0), QStringLiteral("iPod Video MPEG-4 (*.mp4)"));
        QCOMPARE(f.Window->cbOutputFormat->itemText(37), QStringLiteral("AC-3 Audio Codec (*.ac3)"));
        QCOMPARE(f.Window->cbOutputFormat->currentIndex(), 15);
        QCOMPARE(f.Window->cbOutputFormat->currentText(),
                 QStringLiteral("Apple TV (640 x 480) MPEG-4 Normal (*.mp4)"));
    }

    void showReadsTheChosenProfileAndFolder()
    {
        TMainWindowFixture f({{"OutPutDir", "/srv/converted"},
                              {"FormatCode", "203"},
                              {"FormatName", "Apple H.264 (320 x 240) (*.mp4)"}});
        QVERIFY(f.Show());
        QCOMPARE(f.Window->edDirectory->text(), QStringLiteral("/srv/converted"));
        QCOMPARE(f.Window->FormatCode(), QStringLiteral("203"));
        QCOMPARE(f.Window->FormatName(), QStringLiteral("Apple H.264 (320 x 240) (*.mp4)"));
    }

    void menuCaptions()
    {
        TMainWindowFixture f;
        auto captions = [](QMenu* menu) {
            QStringList texts;
            for (QAction* a : menu->actions())
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
            return texts;
        };
        TfrmMain& w = *f.Window;
        QCOMPARE(w.File1->title(), QStringLiteral("&File"));
        QCOMPARE(captions(w.File1),
                 (QStringList{"&Add", "&Remove", "&Clear", "&Start", "-", "Se&ttings", "&Exit"}));
        QVERIFY(!w.Settings1->isVisible());
        QCOMPARE(w.Edit2->title(), QStringLiteral("&Edit"));
        QCOMPARE(captions(w.Edit2),
                 (QStringList{"&Crop", "&Trim", "&Video Effect && Water Mark", "-", "&Check All",
                              "&Uncheck All", "&Reverse Check", "-", "C&heck", "U&ncheck"}));
        QCOMPARE(w.Tools1->title(), QStringLiteral("&Tools"));
        QCOMPARE(captions(w.Tools1), (QStringList{"&Preference", "&Skin"}));
        QCOMPARE(w.Help1->title(), QStringLiteral("&Help"));
        QCOMPARE(captions(w.Help1), (QStringList{"&Help", "-", "&About"}));
    }

    void closeAsksFirst()
    {
        TMainWindowFixture f;
        QVERIFY(f.Show());

        f.Dialogs.Answers = {TMsgResult::No};
        QVERIFY(!f.Window->close());
        QVERIFY(f.Window->isVisible());
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(1));
        QCOMPARE(f.Dialogs.Boxes[0].Text, QStringLiteral("Do you really want to exit?"));
        QCOMPARE(f.Dialogs.Boxes[0].Caption, QStringLiteral("Warning"));
        QCOMPARE(f.Dialogs.Boxes[0].Icon, TMsgIcon::Question);
        QCOMPARE(f.Dialogs.Boxes[0].Buttons, TMsgButtons::YesNo);

        // The Exit button asks the same question.
        f.Dialogs.Answers = {TMsgResult::No};
        QTest::mouseClick(f.Window->btnExit, Qt::LeftButton);
        QVERIFY(f.Window->isVisible());
        QCOMPARE(f.Dialogs.Boxes.size(), size_t(2));

        f.Dialogs.Answers = {TMsgResult::Yes};
        QVERIFY(f.Window->close());
        QVERIFY(!f.Window->isVisible());
    }

    void closeWithoutConfirmationForTheUpdateNotice()
    {
        TMainWindowFixture f;
        QVERIFY(f.Show());
        f.Window->SetSkipExitConfirm(true);
        QVERIFY(f.Window->close());
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void clickElsewhereClosesThePicker()
    {
        TMainWindowFixture f;
        QVERIFY(f.Show());
        TfrmMain& w = *f.Window;
        auto openPicker = [&] {
            w.lst1->setGeometry(10, 120, 300, 120);
            w.lst1->show();
            w.lst1->raise();
        };

        // The profile edit and the arrow are left to their own handlers,
        // which close the open picker; had the filter closed it on the
        // press, they would open it again on the release.
        openPicker();
        QTest::mouseClick(w.edt1, Qt::LeftButton);
        QVERIFY(!w.lst1->isVisible());
        QVERIFY(!w.edt1->hasFocus()); // no caret in the profile edit, ever
        openPicker();
        QTest::mouseClick(w.imgbtn1, Qt::LeftButton);
        QVERIFY(!w.lst1->isVisible());
        openPicker();
        QTest::mouseClick(w.lst1->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(w.lst1->isVisible());
        // Only the left button closes it.
        // Beside the open picker, not under it.
        const QPoint besidePicker(w.lvFiles->viewport()->width() - 5, 5);
        QTest::mouseClick(w.lvFiles->viewport(), Qt::RightButton, {}, besidePicker);
        QVERIFY(w.lst1->isVisible());

        QTest::mouseClick(w.lvFiles->viewport(), Qt::LeftButton, {}, besidePicker);
        QVERIFY(!w.lst1->isVisible());

        openPicker();
        QTest::mouseClick(w.pan1, Qt::LeftButton);
        QVERIFY(!w.lst1->isVisible());
    }

    void aboutWindow()
    {
        TMainWindowFixture f;
        QVERIFY(f.Show());
        TfrmAbout* first = nullptr;
        QString label;
        QSize size;
        QString button;
        QTimer::singleShot(0, [&] {
            first = qobject_cast<TfrmAbout*>(QApplication::activeModalWidget());
            QVERIFY(first);
            label = first->lblTitle->text();
            size = first->size();
            button = first->btn1->text();
            first->btn1->click();
        });
        f.Window->About->trigger();
        QCOMPARE(size, QSize(360, 190));
        QCOMPARE(label, QStringLiteral("Quenvo iPod Clarvix 1.600 "));
        QCOMPARE(button, QStringLiteral("&Ok"));

        // Created once and kept.
        TfrmAbout* second = nullptr;
        QTimer::singleShot(0, [&] {
            second = qobject_cast<TfrmAbout*>(QApplication::activeModalWidget());
            if (second)
                second->accept();
        });
        f.Window->About->trigger();
        QCOMPARE(second, first);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
