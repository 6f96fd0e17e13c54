#include "MainWindowFixture.h"

#include "app/ProfilePickerRows.h"
#include "app/ui/ProfilePickerDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString FirstStartName = QStringLiteral("Apple iPod Video MPEG-4 Movie (*.mp4)");
const QString MovName = QStringLiteral("MOV - Quick Time Video (*.mov)");

// Two profiles whose lists differ, so a loaded box shows which section it
// came from.
const char* const Catalogue = R"([formatInfo1]
VideoSize=176x144
VideoBitRate=256
FrameRate=15
VideoEncoder=MPEG-4
AudioBitRate=64
SampleRate=22050
AudioEncoder=AAC
Channel=mono 1 channel
Volume=100%
[formatInfo300]
Format=mov
FileExt=mov
VideoSize=320x240,640x480
VideoBitRate=768,1500
FrameRate=25,29.97
VideoEncoder=MPEG-4,H264
AudioBitRate=96,128
SampleRate=44100,48000
AudioEncoder=AAC,AC-3
Channel=stereo 2 channels,mono 1 channel
Volume=100%,150%
)";

// The rows of a category list, all collapsed.
const QStringList AllCollapsed{"+Apple iPod",
                               "+Apple iPhone",
                               "+Apple TV",
                               "+Quick Time Video - MOV",
                               "+General Video formates",
                               "+General Audio formates"};

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

TItemInfo infoOf(const QListWidgetItem* item)
{
    return item->data(ItemInfoRole).value<TItemInfo>();
}

// The main window, shown, with helpers that use the picker as a mouse would.
struct TPickerWindow : TMainWindowFixture
{
    explicit TPickerWindow(const TSettings& settings = {}) : TMainWindowFixture(settings, Catalogue)
    {
        ShowActive();
    }

    // The picker takes the keyboard focus, which needs an active window.
    void ShowActive()
    {
        QVERIFY(Show());
        Window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Window.get()));
    }

    QListWidget* List() const { return Window->lst1; }
    QWidget* Rows() const { return Window->lst1->viewport(); }

    // A category as "+Name" (collapsed) or "-Name" (expanded), a profile as
    // its code.
    QStringList Shown() const
    {
        QStringList rows;
        for (int i = 0; i < List()->count(); ++i) {
            const QListWidgetItem* item = List()->item(i);
            const TItemInfo info = infoOf(item);
            if (info.IsCategory)
                rows << (info.Collapsed ? QStringLiteral("+") : QStringLiteral("-")) + item->text();
            else
                rows << QString::number(info.ItemCode);
        }
        return rows;
    }

    int RowOf(const QString& text) const
    {
        for (int i = 0; i < List()->count(); ++i)
            if (List()->item(i)->text() == text)
                return i;
        return -1;
    }

    // A point of a row, `x` pixels from its left edge.
    QPoint At(int row, int x) const
    {
        const QRect r = List()->visualItemRect(List()->item(row));
        return {r.left() + x, r.center().y()};
    }
    QPoint OnGlyph(const QString& text) const { return At(RowOf(text), 8); }
    QPoint OnName(const QString& text) const { return At(RowOf(text), 100); }

    void OpenWithArrow() { QTest::mouseClick(Window->imgbtn1, Qt::LeftButton); }
    void Click(const QPoint& p) { QTest::mouseClick(Rows(), Qt::LeftButton, {}, p); }

    // As a real double click arrives: press, release, double click, release.
    static void DoubleClick(QWidget* target, const QPoint& p)
    {
        QTest::mouseClick(target, Qt::LeftButton, {}, p);
        QTest::mouseDClick(target, Qt::LeftButton, {}, p);
        QTest::mouseRelease(target, Qt::LeftButton, {}, p);
    }

    void MoveOver(const QPoint& p)
    {
        QMouseEvent move(QEvent::MouseMove, p, Rows()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(Rows(), &move);
    }

    // The picker's bottom edge and the profile edit's top edge on the
    // screen: the picker is a popup window of its own.
    int PickerBottom() const { return List()->geometry().bottom() + 1; }
    int EditTop() const { return Window->edt1->mapToGlobal(QPoint(0, 0)).y(); }
    int ScreenTop() const { return Window->screen()->availableGeometry().top(); }

    QString Stored(const char* key) const
    {
        return Settings().ReadString(QStringLiteral("settings"), QLatin1String(key),
                                     QStringLiteral("<none>"));
    }

    // Closes the main window (answering its question) and opens a new one
    // over the same settings.
    void Restart()
    {
        Dialogs.Answers = {TMsgResult::Yes};
        QVERIFY(Window->close());
        Window.reset();
        Window = std::make_unique<TfrmMain>(Folder.Path());
        ShowActive();
    }
};

// Counts the events of one type that reach an object.
class TEventCounter : public QObject
{
public:
    TEventCounter(QEvent::Type type, int& count) : type_(type), count_(count) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == type_)
            ++count_;
        return false;
    }

private:
    QEvent::Type type_;
    int& count_;
};

bool isDark(QRgb pixel)
{
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

bool isNavyInk(QRgb pixel)
{
    return qRed(pixel) < 110 && qGreen(pixel) < 110 && qBlue(pixel) > qRed(pixel) + 40;
}

// Whether any pixel of `area` satisfies `test`.
template <typename Test> bool anyPixel(const QImage& image, const QRect& area, Test test)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixel(x, y)))
                return true;
    return false;
}

} // namespace

class TestProfilePicker : public QObject
{
    Q_OBJECT

private slots:
    void firstStartShowsEveryCategoryCollapsedAndNoRowSelected()
    {
        TPickerWindow f;
        TfrmMain& w = *f.Window;
        QCOMPARE(f.Shown(), AllCollapsed);
        for (int i = 0; i < f.List()->count(); ++i)
            QCOMPARE(infoOf(f.List()->item(i)).ItemCode, i);
        QCOMPARE(w.edt1->text(), FirstStartName);
        QCOMPARE(f.List()->currentRow(), -1);
        QVERIFY(f.List()->selectedItems().isEmpty());
        QVERIFY(!f.List()->isVisible());
        // Nothing is chosen yet: the window keeps the show-time defaults.
        QCOMPARE(w.FormatCode(), QStringLiteral("1"));
        QCOMPARE(f.Stored("FormatName"), QStringLiteral("<none>"));
        // The parameters of that code were loaded.
        QCOMPARE(items(w.cmbVideoSize), QStringList{"176x144"});

        for (QWidget* control : {static_cast<QWidget*>(w.lst1), static_cast<QWidget*>(w.edt1),
                                 static_cast<QWidget*>(w.edDirectory)})
            QCOMPARE(control->palette().color(QPalette::Base), QColor(246, 247, 248));
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void buildReadsTheStoredFoldStateAndName_data()
    {
        QTest::addColumn<QString>("appleTv");    // "lstformat" value of category 2; empty: none
        QTest::addColumn<QString>("formatName"); // empty: none stored
        QTest::addColumn<bool>("tvExpanded");
        QTest::addColumn<int>("selectedCode"); // -1: no row selected

        QTest::newRow("expanded, name in other case") << "0"
                                                      << "apple h.264 (320 x 240) (*.MP4)" << true << 203;
        QTest::newRow("collapsed") << "1"
                                   << "Apple H.264 (320 x 240) (*.mp4)" << false << -1;
        QTest::newRow("any non-zero number is collapsed") << "7"
                                                          << "" << false << -1;
        QTest::newRow("not a number reads as collapsed") << "no"
                                                         << "" << false << -1;
        QTest::newRow("category names are rows too") << ""
                                                     << "Apple TV" << false << 2;
    }

    void buildReadsTheStoredFoldStateAndName()
    {
        QFETCH(QString, appleTv);
        QFETCH(QString, formatName);
        QFETCH(bool, tvExpanded);
        QFETCH(int, selectedCode);

        TMainWindowFixture::TSettings settings;
        if (!formatName.isEmpty())
            settings.push_back({QStringLiteral("FormatName"), formatName});
        TMainWindowFixture f(settings, Catalogue);
        if (!appleTv.isEmpty())
            f.Settings().WriteString(QStringLiteral("lstformat"), QStringLiteral("2"), appleTv);
        QVERIFY(f.Show());
        QListWidget* list = f.Window->lst1;

        QCOMPARE(list->count(), tvExpanded ? 12 : 6);
        if (tvExpanded)
            for (int i = 0; i < 6; ++i)
                QCOMPARE(infoOf(list->item(3 + i)).ItemCode, 200 + i);
        QCOMPARE(f.Window->edt1->text(), formatName.isEmpty() ? FirstStartName : formatName);
        const int selected = list->currentRow();
        QCOMPARE(selected < 0 ? -1 : infoOf(list->item(selected)).ItemCode, selectedCode);
    }

    void glyphExpandsAndCollapsesExactlyItsOwnRows()
    {
        TPickerWindow f;
        f.OpenWithArrow();
        QVERIFY(f.List()->isVisible());

        f.Click(f.OnGlyph("Apple iPod"));
        QStringList iPodOpen = AllCollapsed;
        iPodOpen[0] = "-Apple iPod";
        for (int code = 0; code <= 8; ++code)
            iPodOpen.insert(1 + code, QString::number(code));
        QCOMPARE(f.Shown(), iPodOpen);

        f.Click(f.OnGlyph("Apple TV"));
        QStringList bothOpen = iPodOpen;
        bothOpen[bothOpen.indexOf("+Apple TV")] = "-Apple TV";
        const int tv = bothOpen.indexOf("-Apple TV");
        for (int code = 200; code <= 205; ++code)
            bothOpen.insert(tv + 1 + code - 200, QString::number(code));
        QCOMPARE(f.Shown(), bothOpen);
        QCOMPARE(f.List()->item(tv + 1)->text(),
                 QStringLiteral("Apple TV (640 x 480) MPEG-4 Excellent (*.mp4)"));
        QCOMPARE(f.List()->item(tv + 6)->text(), QStringLiteral("Apple H.264 720p (1280 x 720) (*.mp4)"));

        // The rest of a category row is no glyph.
        f.Click(f.OnName("Apple TV"));
        QCOMPARE(f.Shown(), bothOpen);

        // Collapsing stops at the next category, wherever it stands.
        f.Click(f.OnGlyph("Apple iPod"));
        QStringList tvOpen = AllCollapsed;
        tvOpen[2] = "-Apple TV";
        for (int code = 205; code >= 200; --code)
            tvOpen.insert(3, QString::number(code));
        QCOMPARE(f.Shown(), tvOpen);
        f.Click(f.OnGlyph("General Video formates"));
        QCOMPARE(f.Shown().size(), tvOpen.size() + 10);
        f.Click(f.OnGlyph("General Video formates"));
        QCOMPARE(f.Shown(), tvOpen);
        f.Click(f.OnGlyph("Apple TV"));
        QCOMPARE(f.Shown(), AllCollapsed);
        QVERIFY(f.List()->isVisible());
        // Folding chooses nothing.
        QCOMPARE(f.Stored("FormatCode"), QStringLiteral("<none>"));
    }

    void choosingAProfileStoresItAndLoadsItsSections()
    {
        TPickerWindow f;
        // The user's earlier choices for the MOV profile.
        IniFile settings = f.Settings();
        settings.WriteString("formatInfo300", "paraVideoSize", "640x480");
        settings.WriteString("formatInfo300", "iVideoEncoder", "1");
        settings.WriteString("formatInfo300", "paraSampleRate", "48000");
        settings.WriteString("formatInfo300", "iAudioEncoder", "1");

        f.OpenWithArrow();
        f.Click(f.OnGlyph("Quick Time Video - MOV"));
        f.Click(f.OnName(MovName));

        QCOMPARE(f.Stored("FormatName"), MovName);
        QCOMPARE(f.Stored("FormatCode"), QStringLiteral("300"));
        TfrmMain& w = *f.Window;
        QCOMPARE(w.FormatName(), MovName);
        QCOMPARE(w.FormatCode(), QStringLiteral("300"));
        QCOMPARE(w.edt1->text(), MovName);
        QVERIFY(!f.List()->isVisible());

        // Lists from the catalogue's section, choices from the settings' one.
        QCOMPARE(items(w.cmbVideoSize), (QStringList{"320x240", "640x480"}));
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("640x480"));
        QCOMPARE(items(w.cmbVideoEncoder), (QStringList{"MPEG-4", "H264"}));
        QCOMPARE(w.cmbVideoEncoder->currentText(), QStringLiteral("H264"));
        QCOMPARE(w.cmbSamplerate->currentText(), QStringLiteral("48000"));
        QCOMPARE(w.cmbAudioEncoder->currentText(), QStringLiteral("AC-3"));
        QVERIFY(f.Dialogs.Boxes.empty());
    }

    void choosingTheShownProfileAgainReloadsIt()
    {
        TPickerWindow f({{"FormatName", MovName}, {"FormatCode", "300"}});
        TfrmMain& w = *f.Window;
        QCOMPARE(w.edt1->text(), MovName);
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("320x240"));

        // Changed behind the window's back, e.g. by the per-format settings.
        f.Settings().WriteString("formatInfo300", "paraVideoSize", "640x480");
        f.OpenWithArrow();
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("640x480"));

        f.Settings().WriteString("formatInfo300", "paraVideoSize", "320x240");
        f.Click(f.OnGlyph("Quick Time Video - MOV"));
        f.Click(f.OnName(MovName));
        QCOMPARE(w.cmbVideoSize->currentText(), QStringLiteral("320x240"));
    }

    void aRebuildMakesTheStoredProfileCurrent()
    {
        TPickerWindow f;
        TfrmMain& w = *f.Window;
        QCOMPARE(w.FormatCode(), QStringLiteral("1"));
        // As the per-format settings window's OK leaves it.
        f.Settings().WriteString("settings", "FormatName", MovName);
        f.Settings().WriteString("settings", "FormatCode", "300");
        w.BuildProfileList();

        QCOMPARE(w.FormatCode(), QStringLiteral("300"));
        QCOMPARE(w.FormatName(), MovName);
        QCOMPARE(w.edt1->text(), MovName);
        QCOMPARE(items(w.cmbVideoSize), (QStringList{"320x240", "640x480"}));
        // A change in a box goes to the section of the profile shown.
        const int index = w.cmbAudioEncoder->findText("AC-3");
        w.cmbAudioEncoder->setCurrentIndex(index);
        emit w.cmbAudioEncoder->activated(index);
        QCOMPARE(f.Settings().ReadString("formatInfo300", "paraAudioEncoder", "<none>"),
                 QStringLiteral("ac3"));
        QCOMPARE(f.Settings().ReadString("formatInfo1", "paraAudioEncoder", "<none>"),
                 QStringLiteral("libfaac"));
    }

    void openingSelectsTheStoredProfile()
    {
        const QString padded = QStringLiteral("  mov - quick time video (*.mov) ");
        TPickerWindow f({{"FormatName", padded}, {"FormatCode", "300"}});
        f.Settings().WriteString("lstformat", "3", "0");
        f.Window->BuildProfileList();
        TfrmMain& w = *f.Window;
        // Building compares the name as stored, opening compares it trimmed.
        QCOMPARE(w.edt1->text(), padded);
        QCOMPARE(f.List()->currentRow(), -1);

        // A click opens without writing the name; the cursor lands on the
        // selected row.
        QTest::mouseClick(w.edt1, Qt::LeftButton);
        QVERIFY(f.List()->isVisible());
        QVERIFY(f.List()->hasFocus());
        const QListWidgetItem* selected = f.List()->currentItem();
        QVERIFY(selected);
        QCOMPARE(selected->text(), MovName);
        QCOMPARE(QCursor::pos(), f.Rows()->mapToGlobal(f.List()->visualItemRect(selected).center()));
        QCOMPARE(w.edt1->text(), padded);
        QTest::mouseClick(w.edt1, Qt::LeftButton);
        QVERIFY(!f.List()->isVisible());

        // A stored profile of a collapsed category selects nothing.
        f.Settings().WriteString("settings", "FormatName", "Apple TV (640 x 480) MPEG-4 Mini (*.mp4)");
        QTest::mouseClick(w.edt1, Qt::LeftButton);
        QVERIFY(f.List()->isVisible());
        QCOMPARE(f.List()->currentRow(), -1);

        // The arrow writes the stored name into the edit first.
        QTest::mouseClick(w.imgbtn1, Qt::LeftButton);
        QVERIFY(!f.List()->isVisible());
        f.Settings().WriteString("settings", "FormatName", MovName);
        QTest::mouseClick(w.imgbtn1, Qt::LeftButton);
        QVERIFY(f.List()->isVisible());
        QCOMPARE(w.edt1->text(), MovName);
        QCOMPARE(f.List()->currentItem()->text(), MovName);
    }

    void pickerDropsUpFromTheProfileEdit()
    {
        TPickerWindow f;
        TfrmMain& w = *f.Window;
        // Puts the profile edit at about a height on the screen.
        auto editAt = [&](int y) {
            const QPoint target = w.pos() + QPoint(0, y - f.EditTop());
            w.move(target);
            QTRY_COMPARE(w.pos(), target);
        };
        // As wide as the edit with its arrow, its bottom `gap` pixels above
        // the edit.
        auto expectAbove = [&](int height, int gap) {
            QCOMPARE(f.List()->height(), height);
            QCOMPARE(f.PickerBottom(), f.EditTop() - gap);
            QCOMPARE(f.List()->x(), w.edt1->mapToGlobal(QPoint(0, 0)).x());
            QCOMPARE(f.List()->geometry().right(),
                     w.imgbtn1->mapToGlobal(QPoint(w.imgbtn1->width() - 1, 0)).x());
        };
        editAt(f.ScreenTop() + 450);
        QVERIFY(f.EditTop() - 386 >= f.ScreenTop());

        // As built: six rows, 36 pixels above the edit; a rebuild places it
        // where the edit is now.
        w.BuildProfileList();
        expectAbove(140, 36);
        // Opened: resized as a click does, its bottom on the edit's top; it
        // reaches above the main window where it has to.
        f.OpenWithArrow();
        expectAbove(140, 0);
        f.Click(f.OnGlyph("General Video formates"));
        expectAbove(16 * 20 + 20, 0);
        f.Click(f.OnGlyph("Apple iPod"));
        expectAbove(386, 0);
        QVERIFY(f.List()->y() < w.geometry().top());

        // A rebuild with 25 rows stays at 362.
        w.SaveProfileListState();
        w.BuildProfileList();
        QCOMPARE(f.List()->count(), 25);
        expectAbove(362, 36);

        // Without room above the edit it stays on the screen as any popup
        // does: it drops down from the edit's bottom instead.
        editAt(f.ScreenTop() + 100);
        QVERIFY(f.EditTop() - 386 < f.ScreenTop());
        f.OpenWithArrow();
        QCOMPARE(f.List()->height(), 386);
        QCOMPARE(f.List()->y(), f.EditTop() + w.edt1->height());
        // Every row is in reach.
        f.Click(f.OnGlyph("Apple iPod"));
        QCOMPARE(f.Shown()[0], QStringLiteral("+Apple iPod"));
        QVERIFY(f.List()->isVisible());
    }

    void hotTrackingSelectsTheRowUnderTheMouse()
    {
        TPickerWindow f;
        f.OpenWithArrow();
        f.MoveOver(f.OnName("Apple TV"));
        QCOMPARE(f.List()->currentRow(), 2);
        QVERIFY(f.List()->item(2)->isSelected());
        f.MoveOver(f.OnName("Apple iPhone"));
        QCOMPARE(f.List()->currentRow(), 1);
        // Below the last row the selection stays.
        f.MoveOver(QPoint(50, f.List()->visualItemRect(f.List()->item(5)).bottom() + 10));
        QCOMPARE(f.List()->currentRow(), 1);
    }

    void doubleClickFoldsACategoryAnywhere_data()
    {
        QTest::addColumn<int>("x");
        // As a plain window receives it (press, release, double click,
        // release) or as the popup does, with the second press too.
        QTest::addColumn<bool>("fromWindowSystem");
        QTest::newRow("on the name") << 100 << false;
        QTest::newRow("on the glyph") << 8 << false;
        QTest::newRow("on the name, to the popup") << 100 << true;
        QTest::newRow("on the glyph, to the popup") << 8 << true;
    }

    void doubleClickFoldsACategoryAnywhere()
    {
        QFETCH(int, x);
        QFETCH(bool, fromWindowSystem);
        TPickerWindow f;
        f.OpenWithArrow();
        const QPoint tv = f.At(f.RowOf("Apple TV"), x);
        f.MoveOver(tv);
        auto doubleClick = [&] {
            if (fromWindowSystem)
                QTest::mouseDClick(f.List()->windowHandle(), Qt::LeftButton, {},
                                   f.Rows()->mapTo(f.List(), tv));
            else
                TPickerWindow::DoubleClick(f.Rows(), tv);
        };

        doubleClick();
        QStringList expected = AllCollapsed;
        expected[2] = "-Apple TV";
        for (int code = 205; code >= 200; --code)
            expected.insert(3, QString::number(code));
        QCOMPARE(f.Shown(), expected);

        doubleClick();
        QCOMPARE(f.Shown(), AllCollapsed);
        // The first click on the glyph folds the rows away and the list,
        // sized anew, shrinks from above: the second click lands above it,
        // outside, and closes it as any click outside does.
        QCOMPARE(f.List()->isVisible(), !(fromWindowSystem && x < 20));
    }

    void doubleClickOnAProfileChoosesIt()
    {
        TPickerWindow f;
        f.OpenWithArrow();
        f.Click(f.OnGlyph("Quick Time Video - MOV"));
        const QPoint mov = f.OnName(MovName);
        f.MoveOver(mov);
        TPickerWindow::DoubleClick(f.Rows(), mov);
        QCOMPARE(f.Stored("FormatCode"), QStringLiteral("300"));
        QCOMPARE(f.Window->edt1->text(), MovName);
        QVERIFY(!f.List()->isVisible());
    }

    void doubleClickOnTheEditWritesTheStoredName()
    {
        TPickerWindow f;
        f.OpenWithArrow();
        const QRect opened = f.List()->geometry();
        f.Settings().WriteString("settings", "FormatName", MovName);
        // The first click closes the open picker, the double click opens it
        // again with the stored name, without resizing it.
        TPickerWindow::DoubleClick(f.Window->edt1, QPoint(10, 5));
        QVERIFY(f.List()->isVisible());
        QCOMPARE(f.Window->edt1->text(), MovName);
        QCOMPARE(f.List()->geometry(), opened);
    }

    void closesOnAClickElsewhereAndOnDeactivation()
    {
        TPickerWindow f;
        TfrmMain& w = *f.Window;
        f.OpenWithArrow();
        f.Click(f.OnName("Apple TV"));
        QVERIFY(f.List()->isVisible());
        QTest::mouseClick(w.lvFiles->viewport(), Qt::LeftButton, {},
                          QPoint(w.lvFiles->viewport()->width() - 5, 5));
        QVERIFY(!f.List()->isVisible());

        f.OpenWithArrow();
        QVERIFY(f.List()->isVisible());
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!f.List()->isVisible());
    }

    void behavesAsADesktopPopup()
    {
        TPickerWindow f;
        QCOMPARE(f.List()->windowType(), Qt::Popup);

        f.OpenWithArrow();
        QVERIFY(f.List()->hasFocus());
        QTest::keyClick(f.List(), Qt::Key_Escape);
        QVERIFY(!f.List()->isVisible());

        // Return does what a press does: a category folds, a profile is chosen.
        f.OpenWithArrow();
        f.List()->setCurrentRow(f.RowOf("Quick Time Video - MOV"));
        QTest::keyClick(f.List(), Qt::Key_Return);
        QCOMPARE(f.Shown()[4], QStringLiteral("300"));
        QVERIFY(f.List()->isVisible());
        QTest::keyClick(f.List(), Qt::Key_Down);
        QTest::keyClick(f.List(), Qt::Key_Return);
        QCOMPARE(f.Stored("FormatCode"), QStringLiteral("300"));
        QCOMPARE(f.Window->edt1->text(), MovName);
        QVERIFY(!f.List()->isVisible());
    }

    void aPressFromTheWindowSystemClosesThePicker_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("on the file list") << "lvFiles";
        // These two toggle the picker themselves: the press that closes it
        // must not open it again on its release.
        QTest::newRow("on the arrow") << "imgbtn1";
        QTest::newRow("on the profile edit") << "edt1";
    }

    void aPressFromTheWindowSystemClosesThePicker()
    {
        QFETCH(QString, target);
        TPickerWindow f;
        TfrmMain& w = *f.Window;
        QWidget* control = target == "lvFiles"   ? w.lvFiles->viewport()
                           : target == "imgbtn1" ? static_cast<QWidget*>(w.imgbtn1)
                                                 : static_cast<QWidget*>(w.edt1);
        const QPoint local = target == "lvFiles" ? QPoint(5, 5) : control->rect().center();
        f.OpenWithArrow();
        QVERIFY(f.List()->isVisible());
        QCOMPARE(QApplication::widgetAt(control->mapToGlobal(local)), control);

        // As the desktop delivers it: to the main window's window, while
        // the popup holds the mouse.
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, control->mapTo(&w, local));
        QVERIFY(!f.List()->isVisible());
        QTest::qWait(20);
        QVERIFY(!f.List()->isVisible());
        QCOMPARE(f.Stored("FormatCode"), QStringLiteral("<none>"));
    }

    void theSecondPressOfADoubleClickThatChoseAProfileStaysOnThePicker()
    {
        TPickerWindow f;
        TfrmMain& w = *f.Window;
        int doubleClicks = 0;
        TEventCounter counter(QEvent::MouseButtonDblClick, doubleClicks);
        w.lvFiles->viewport()->installEventFilter(&counter);
        auto doubleClickOnList = [&] {
            QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5),
                               w.lvFiles->viewport()->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(w.lvFiles->viewport(), &second);
        };

        f.OpenWithArrow();
        f.Click(f.OnGlyph("Quick Time Video - MOV"));
        f.Click(f.OnName(MovName));
        QVERIFY(!f.List()->isVisible());
        // The picker was gone after the first press; the double click that
        // lands beneath it is no double click on the file list.
        doubleClickOnList();
        QCOMPARE(doubleClicks, 0);
        // Only that one.
        doubleClickOnList();
        QCOMPARE(doubleClicks, 1);
    }

    void foldStateSurvivesARestart()
    {
        TPickerWindow f;
        f.Settings().WriteString("lstformat", "2", "0");
        f.Window->BuildProfileList();
        f.Restart();
        QCOMPARE(f.Shown()[2], QStringLiteral("-Apple TV"));

        f.OpenWithArrow();
        f.Click(f.OnGlyph("Apple TV"));
        f.Click(f.OnGlyph("General Audio formates"));
        f.Restart();
        QStringList expected = AllCollapsed;
        expected[5] = "-General Audio formates";
        for (int code = 500; code <= 506; ++code)
            expected << QString::number(code);
        QCOMPARE(f.Shown(), expected);
        for (int category = 0; category < 6; ++category)
            QCOMPARE(f.Settings().ReadString("lstformat", QString::number(category), "<none>"),
                     category == 5 ? QStringLiteral("0") : QStringLiteral("1"));
    }

    void aRebuildShowsTheSavedStateOnly()
    {
        TPickerWindow f;
        f.OpenWithArrow();
        f.Click(f.OnGlyph("Apple iPhone"));
        f.Window->BuildProfileList();
        QVERIFY(!f.List()->isVisible());
        QCOMPARE(f.Shown(), AllCollapsed);

        f.OpenWithArrow();
        f.Click(f.OnGlyph("Apple iPhone"));
        f.Window->SaveProfileListState();
        f.Window->BuildProfileList();
        QCOMPARE(f.Shown().mid(0, 3), (QStringList{"+Apple iPod", "-Apple iPhone", "100"}));
        QCOMPARE(f.List()->count(), 11);
    }

    void theHiddenProfileBoxStoresOnlyUserChanges()
    {
        TPickerWindow f(TMainWindowFixture::TSettings{{"OutPutFormat", "4"}});
        QCOMPARE(f.Window->cbOutputFormat->currentIndex(), 4);
        f.Settings().DeleteKey("settings", "OutPutFormat");
        f.Window->cbOutputFormat->setCurrentIndex(9);
        QCOMPARE(f.Stored("OutPutFormat"), QStringLiteral("<none>"));
        emit f.Window->cbOutputFormat->activated(9);
        QCOMPARE(f.Stored("OutPutFormat"), QStringLiteral("9"));
    }

    void rowDrawing_data()
    {
        QTest::addColumn<bool>("category");
        QTest::addColumn<bool>("collapsed");
        QTest::addColumn<bool>("focused");

        QTest::newRow("collapsed category") << true << true << false;
        QTest::newRow("expanded category, focused") << true << false << true;
        QTest::newRow("profile") << false << false << false;
        QTest::newRow("profile, focused") << false << false << true;
    }

    void rowDrawing()
    {
        QFETCH(bool, category);
        QFETCH(bool, collapsed);
        QFETCH(bool, focused);

        TProfilePickerDelegate look;
        QCOMPARE(look.imglistipodConverter.size(), 6);
        QCOMPARE(look.ImageList2.size(), 2);
        for (const QPixmap& picture : look.imglistipodConverter + look.ImageList2)
            QCOMPARE(picture.size(), QSize(20, 20));

        TItemInfo info;
        info.IsCategory = category;
        info.IsProfile = !category;
        info.Collapsed = collapsed;
        info.ItemCode = category ? 2 : 203;
        QImage row(300, 20, QImage::Format_RGB32);
        row.fill(Qt::magenta);
        {
            QPainter painter(&row);
            look.lst1DrawItem(&painter, row.rect(), QApplication::font(), QStringLiteral("WWWW"), info,
                              focused);
        }

        const QRgb background = QColor(246, 247, 248).rgb();
        QCOMPARE(row.pixel(0, 0), background);
        QCOMPARE(row.pixel(299, 19), background);
        if (focused) {
            QCOMPARE(row.pixel(2, 2), QColor(122, 160, 218).rgb());
            QCOMPARE(row.pixel(297, 17), QColor(122, 160, 218).rgb());
            QCOMPARE(row.pixel(3, 3), QColor(185, 204, 236).rgb());
            QCOMPARE(row.pixel(296, 16), QColor(185, 204, 236).rgb());
        } else {
            QCOMPARE(row.pixel(2, 2), background);
            QCOMPARE(row.pixel(296, 16), background);
        }

        const int textLeft = category ? 45 : 25;
        const QRect beforeText(textLeft - 4, 0, 4, 20);
        const QRect text(textLeft, 2, 60, 18);
        const QRgb plain = focused ? QColor(185, 204, 236).rgb() : background;
        QVERIFY(!anyPixel(row, beforeText.adjusted(0, 3, 0, -3), [plain](QRgb p) { return p != plain; }));
        if (category) {
            // The glyph's plus has a vertical bar, the minus has none.
            QCOMPARE(isDark(row.pixel(9, 7)), collapsed);
            QVERIFY(isDark(row.pixel(8, 9)));
            QVERIFY(anyPixel(row, QRect(20, 0, 20, 20), [plain](QRgb p) { return p != plain; }));
            QVERIFY(anyPixel(row, text, isDark));
            QVERIFY(!anyPixel(row, text, isNavyInk));
        } else {
            QVERIFY(!anyPixel(row, QRect(4, 4, 16, 12), [plain](QRgb p) { return p != plain; }));
            QCOMPARE(anyPixel(row, text, isNavyInk), !focused);
            QCOMPARE(anyPixel(row, text, isDark), focused);
        }
    }
};

QTEST_MAIN(TestProfilePicker)
#include "test_profile_picker.moc"
