#include "MainWindowFixture.h"

#include "app/GlobalObject.h"
#include "app/ui/ColourThemes.h"
#include "app/ui/FileListDelegate.h"
#include "jobs/FileListRules.h"
#include "jobs/TlvFilesRecord.h"
#include "support/TestMedia.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include <map>

namespace {

// The main window over a settings file whose output folder and sources live
// in the fixture's temporary folder.
struct TFileListWindow : TMainWindowFixture
{
    explicit TFileListWindow(const TSettings& settings = {}, const char* catalogue = nullptr)
        : TMainWindowFixture(settings, catalogue)
    {
        QDir().mkpath(Clips());
        Settings().WriteString("settings", "OutPutDir", Out());
    }

    QString Out() const { return Folder.FilePath("out"); }
    QString Clips() const { return Folder.FilePath("clips"); }
    // A copy of a fixture under a name of the test's choosing.
    QString Clip(TTestMedia media, const QString& name) const
    {
        return CopyTestMedia(media, QDir(Clips()).filePath(name));
    }

    TfrmMain& W() const { return *Window; }
    QTreeWidget* List() const { return Window->lvFiles; }
    int Count() const { return List()->topLevelItemCount(); }
    QTreeWidgetItem* Row(int row) const { return List()->topLevelItem(row); }
    QStringList Captions() const
    {
        QStringList captions;
        for (int row = 0; row < Count(); ++row)
            captions << Row(row)->text(SourceColumn);
        return captions;
    }
    QList<bool> Checks() const
    {
        QList<bool> checks;
        for (int row = 0; row < Count(); ++row)
            checks << (Row(row)->checkState(0) == Qt::Checked);
        return checks;
    }
    int SelectedRow() const
    {
        const QList<QTreeWidgetItem*> selected = List()->selectedItems();
        return selected.isEmpty() ? -1 : List()->indexOfTopLevelItem(selected.first());
    }
    void Select(int row) const { List()->setCurrentItem(Row(row)); }

    // Five rows over copies of one fixture: a.mp4 ... e.mp4.
    void AddFive() const
    {
        QStringList files;
        for (const char* name : {"a.mp4", "b.mp4", "c.mp4", "d.mp4", "e.mp4"})
            files << Clip(TTestMedia::VideoAudioMp4, QString::fromLatin1(name));
        W().AddSourceFiles(files);
    }
};

// The catalogue a profile of code 300 writes MOV files with.
const char* const MovCatalogue = "[formatInfo300]\nFormat=mov\nFileExt=mov\n";

QRect RowRect(QTreeWidget* list, int row)
{
    return list->visualItemRect(list->topLevelItem(row));
}

// A point of the "Trimmed Length" cell of a row that no text reaches.
QPoint BlankPointOf(QTreeWidget* list, int row)
{
    const QRect cell = list->visualRect(list->model()->index(row, TrimmedLengthColumn));
    return {cell.right() - 6, cell.center().y()};
}

// The style may shift a popup by its frame.
bool Near(const QPoint& shown, const QPoint& asked)
{
    return (shown - asked).manhattanLength() <= 8;
}

} // namespace

class TestFileList : public QObject
{
    Q_OBJECT

private slots:
    void addingFillsOneRowAndOneRecordPerFile()
    {
        TFileListWindow f({{"FormatCode", "300"}}, MovCatalogue);
        f.Settings().WriteString("formatInfo300", "parazoom", "pan");
        QVERIFY(f.Show());
        for (QPushButton* b : {f.W().btnStart, f.W().btnRemove, f.W().btnClear})
            QVERIFY(!b->isEnabled());

        const QStringList files{f.Clip(TTestMedia::VideoAudioMp4, "holiday.mp4"),
                                f.Clip(TTestMedia::AudioMp3, "song.mp3"),
                                f.Clip(TTestMedia::Clip25Fps, "archive.tar.avi")};
        f.W().AddSourceFiles(files);

        QCOMPARE(f.Captions(), files);
        const QStringList destinations{"holiday_(new)_ipod.mov", "song_(new)_ipod.mov",
                                       "archive.tar_(new)_ipod.mov"};
        for (int row = 0; row < 3; ++row) {
            QTreeWidgetItem* item = f.Row(row);
            QCOMPARE(item->text(LengthColumn), QString("2"));
            QCOMPARE(item->text(TrimmedLengthColumn), QString("2"));
            QCOMPARE(item->text(DestinationColumn), destinations[row]);
            QCOMPARE(item->text(ProgressColumn), QString());
            QCOMPARE(item->checkState(0), Qt::Checked);

            f.Select(row);
            const TlvFilesRecord* record = f.W().SelectedRecord();
            QVERIFY(record);
            QCOMPARE(record->AddIndex, row);
            QCOMPARE(record->FileName, files[row]);
            QCOMPARE(record->OutputFile, QDir(f.Out()).filePath(destinations[row]));
            QCOMPARE(record->Duration, 2);
            QCOMPARE(record->Zoom, QString("pan"));
        }
        for (QPushButton* b : {f.W().btnStart, f.W().btnRemove, f.W().btnClear})
            QVERIFY(b->isEnabled());
        // The probing tasks are gone again, nothing was asked, no file written.
        QCOMPARE(f.W().CCAVC.TaskCount(), 0);
        QVERIFY(f.Dialogs.Boxes.empty());
        QVERIFY(QDir(f.Out()).entryList(QDir::Files).isEmpty());
    }

    void theFirstRowIsSelectedAfterEveryAdd()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "one.mp4")});
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "two.mp4")});
        QCOMPARE(f.SelectedRow(), 0);
        QCOMPARE(f.List()->currentIndex().row(), 0);
    }

    void namesThatGiveNoRowAreLeftOutSilently()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        const QString folder = f.Folder.FilePath("clips/a folder.mp4");
        QVERIFY(QDir().mkpath(folder));
        const QString first = f.Clip(TTestMedia::VideoAudioMp4, "first.mp4");
        const QString last = f.Clip(TTestMedia::AudioWav, "last.wav");
        f.W().AddSourceFiles({folder, first, f.Clip(TTestMedia::Truncated, "truncated.mp4"),
                              f.Folder.FilePath("clips/gone.mp4"), last});

        QCOMPARE(f.Captions(), (QStringList{first, last}));
        // The record keeps the position within the whole selection.
        f.Select(1);
        QCOMPARE(f.W().SelectedRecord()->AddIndex, 4);
        QVERIFY(f.Dialogs.Boxes.empty());
        QCOMPARE(f.W().CCAVC.TaskCount(), 0);
    }

    void aListedPathIsAddedOnceAndAnotherCaseIsAnotherFile()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        const QString lower = f.Clip(TTestMedia::VideoAudioMp4, "clip.mp4");
        const QString upper = f.Clip(TTestMedia::VideoAudioMp4, "CLIP.mp4");
        f.W().AddSourceFiles({lower});
        f.W().AddSourceFiles({lower, upper});
        QCOMPARE(f.Captions(), (QStringList{lower, upper}));
    }

    void theColumnsAreMadeAgainForTheFirstRow()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        f.List()->setColumnWidth(SourceColumn, 300);
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "one.mp4")});
        QCOMPARE(f.List()->columnWidth(SourceColumn), 140);
        QCOMPARE(f.List()->columnCount(), 5);

        f.List()->setColumnWidth(SourceColumn, 300);
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "two.mp4")});
        QCOMPARE(f.List()->columnWidth(SourceColumn), 300);
    }

    void removeSelectsTheRowNowAtThePosition_data()
    {
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("selected");
        QTest::newRow("the last of five") << 4 << "d.mp4";
        QTest::newRow("a middle row") << 1 << "c.mp4";
        QTest::newRow("the first") << 0 << "b.mp4";
    }

    void removeSelectsTheRowNowAtThePosition()
    {
        QFETCH(int, removed);
        QFETCH(QString, selected);
        TFileListWindow f;
        QVERIFY(f.Show());
        f.AddFive();
        f.Select(removed);
        f.W().btnRemoveClick();
        QCOMPARE(f.Count(), 4);
        QVERIFY(f.SelectedRow() >= 0);
        QCOMPARE(QFileInfo(f.Captions()[f.SelectedRow()]).fileName(), selected);
        QVERIFY(!f.Captions().contains(QDir(f.Clips()).filePath(QString("abcde"[removed]) + ".mp4")));
    }

    void removeWithoutSelectionAndOfTheOnlyRow()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "only.mp4")});
        f.List()->clearSelection();
        f.W().btnRemoveClick();
        QCOMPARE(f.Count(), 1);

        f.Select(0);
        f.W().Remove1->trigger();
        QCOMPARE(f.Count(), 0);
        QCOMPARE(f.SelectedRow(), -1);
        QVERIFY(f.W().SelectedRecord() == nullptr);
        // Remove and Clear leave the buttons as they are.
        QVERIFY(f.W().btnRemove->isEnabled());
        f.W().btnRemoveClick(); // nothing left: nothing happens
    }

    void clearEmptiesTheListButLeavesAnEmptyListAlone()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        const QString file = f.Clip(TTestMedia::VideoAudioMp4, "one.mp4");
        QVERIFY(f.W().CCAVC.LoadLibraries(ExecutableFolder() + "LibAV"));
        QVERIFY(f.W().CCAVC.AddTask(file) >= 0);
        f.W().btnClearClick();
        QCOMPARE(f.W().CCAVC.TaskCount(), 1); // the task list is not touched

        f.W().AddSourceFiles({file, f.Clip(TTestMedia::AudioMp3, "two.mp3")});
        QVERIFY(f.W().CCAVC.AddTask(file) >= 0);
        f.W().Clear1->trigger();
        QCOMPARE(f.Count(), 0);
        QCOMPARE(f.W().CCAVC.TaskCount(), 0);
        QVERIFY(f.W().btnClear->isEnabled());
    }

    void checkCommands_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QList<bool>>("checks"); // three rows, the middle one selected
        QTest::newRow("new rows are checked") << QStringList{} << QList<bool>{true, true, true};
        QTest::newRow("uncheck") << QStringList{"uncheck"} << QList<bool>{true, false, true};
        QTest::newRow("uncheck all") << QStringList{"uncheck all"} << QList<bool>{false, false, false};
        QTest::newRow("uncheck all, check")
            << QStringList{"uncheck all", "check"} << QList<bool>{false, true, false};
        QTest::newRow("uncheck, reverse")
            << QStringList{"uncheck", "reverse"} << QList<bool>{false, true, false};
        QTest::newRow("reverse twice") << QStringList{"reverse", "reverse"} << QList<bool>{true, true, true};
        QTest::newRow("uncheck all, check all")
            << QStringList{"uncheck all", "check all"} << QList<bool>{true, true, true};
    }

    void checkCommands()
    {
        QFETCH(QStringList, commands);
        QFETCH(QList<bool>, checks);
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"),
                              f.Clip(TTestMedia::AudioMp3, "b.mp3"), f.Clip(TTestMedia::AudioWav, "c.wav")});
        f.Select(1);
        TfrmMain& w = f.W();
        const std::map<QString, QAction*> items{{"check all", w.CheckAll1},
                                                {"uncheck all", w.UncheckAll1},
                                                {"reverse", w.ReserveCheck1},
                                                {"check", w.Check1},
                                                {"uncheck", w.Uncheck1}};
        for (const QString& command : commands) {
            QAction* item = items.at(command);
            item->setEnabled(true); // as opening the Edit menu leaves it with a selected row
            item->trigger();
        }
        QCOMPARE(f.Checks(), checks);
    }

    void aClickOnTheDrawnBoxTogglesTheCheck()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().AddSourceFiles(
            {f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"), f.Clip(TTestMedia::AudioMp3, "b.mp3")});
        QWidget* rows = f.List()->viewport();
        const QRect box =
            TFileListDelegate::CheckBoxRect(f.List()->visualRect(f.List()->model()->index(1, 0)));

        QTest::mouseClick(rows, Qt::LeftButton, {}, box.center());
        QCOMPARE(f.Checks(), (QList<bool>{true, false}));
        QCOMPARE(f.SelectedRow(), 1);
        // Beside the box the click only selects.
        QTest::mouseClick(rows, Qt::LeftButton, {}, box.center() + QPoint(40, 0));
        QCOMPARE(f.Checks(), (QList<bool>{true, false}));
        QTest::mouseClick(rows, Qt::LeftButton, {}, box.center());
        QCOMPARE(f.Checks(), (QList<bool>{true, true}));
    }

    void editMenuEnabling_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("selected");
        QTest::newRow("empty list") << 0 << false;
        QTest::newRow("rows, none selected") << 2 << false;
        QTest::newRow("a row selected") << 2 << true;
    }

    void editMenuEnabling()
    {
        QFETCH(int, rows);
        QFETCH(bool, selected);
        TFileListWindow f;
        QVERIFY(f.Show());
        TfrmMain& w = f.W();
        if (rows > 0)
            w.AddSourceFiles(
                {f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"), f.Clip(TTestMedia::AudioMp3, "b.mp3")});
        if (!selected)
            f.List()->clearSelection();
        w.WaterMark1->setVisible(false);

        emit w.Edit2->aboutToShow();
        for (QAction* item : {w.CheckAll1, w.UncheckAll1, w.ReserveCheck1, w.Check1, w.Uncheck1})
            QCOMPARE(item->isEnabled(), selected);
        QVERIFY(w.WaterMark1->isVisible());
        // The editors are not part of the window yet: their items stay off.
        for (QAction* item : {w.Crop1, w.Trim1, w.WaterMark1})
            QVERIFY(!item->isEnabled());

        w.popWaterMark->setVisible(false);
        emit w.suiPopupMenu1->aboutToShow();
        QVERIFY(w.popAdd->isEnabled());
        for (QAction* item : {w.popRemove, w.popClear, w.popStart})
            QCOMPARE(item->isEnabled(), selected);
        QVERIFY(w.popWaterMark->isVisible());
        for (QAction* item : {w.popCrop, w.popTrim, w.popWaterMark, w.popInfomation})
            QVERIFY(!item->isEnabled());
    }

    void thePopupOpensAtTheCursorAndUnderTheEditButton()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        TfrmMain& w = f.W();
        w.AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"), f.Clip(TTestMedia::AudioMp3, "b.mp3")});
        f.List()->clearSelection();

        // The press selects the row under it before the popup asks.
        const QPoint at = RowRect(f.List(), 1).center();
        QTest::mousePress(f.List()->viewport(), Qt::RightButton, {}, at);
        QTRY_VERIFY(w.suiPopupMenu1->isVisible());
        QVERIFY(Near(w.suiPopupMenu1->pos(), f.List()->viewport()->mapToGlobal(at)));
        QCOMPARE(f.SelectedRow(), 1);
        QVERIFY(w.popRemove->isEnabled());
        w.suiPopupMenu1->hide();

        // A left press opens nothing.
        QTest::mousePress(f.List()->viewport(), Qt::LeftButton, {}, at);
        QTest::qWait(20);
        QVERIFY(!w.suiPopupMenu1->isVisible());

        QTest::mouseClick(w.BtnEdit, Qt::LeftButton);
        QTRY_VERIFY(w.suiPopupMenu1->isVisible());
        QVERIFY(Near(w.suiPopupMenu1->pos(), w.BtnEdit->mapToGlobal(QPoint(0, w.BtnEdit->height()))));
        w.suiPopupMenu1->hide();
    }

    void filesDroppedOnTheListAreAddedByTheSameRules()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        const QString listed = f.Clip(TTestMedia::VideoAudioMp4, "listed.mp4");
        f.W().AddSourceFiles({listed});
        const QString dropped = f.Clip(TTestMedia::AudioMp3, "dropped.mp3");
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(f.Clips()), QUrl::fromLocalFile(listed),
                       QUrl::fromLocalFile(dropped),
                       QUrl::fromLocalFile(f.Clip(TTestMedia::Truncated, "broken.mp4")),
                       QUrl("https://example.invalid/remote.mp4")});
        QWidget* target = f.List()->viewport();
        const QPoint at(20, 20);

        QDragEnterEvent enter(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(f.Count(), 2);
        QCOMPARE(f.Captions(), (QStringList{listed, dropped}));
        QCOMPARE(f.Row(1)->text(DestinationColumn), QString("dropped_(new)_ipod.mp4"));

        // A drag without files is not taken.
        QMimeData text;
        text.setText("just words");
        QDragEnterEvent words(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        words.ignore();
        QApplication::sendEvent(target, &words);
        QVERIFY(!words.isAccepted());
    }

    void theOpenDialogOffersTheFilterAndAddsWhatIsChosen_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }

    void theOpenDialogOffersTheFilterAndAddsWhatIsChosen()
    {
        QFETCH(bool, accept);
        TFileListWindow f;
        QVERIFY(f.Show());
        const QString first = f.Clip(TTestMedia::VideoAudioMp4, "first.mp4");
        const QString second = f.Clip(TTestMedia::AudioMp3, "second.mp3");
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            filters = dialog->nameFilters();
            mode = dialog->fileMode();
            if (!accept) {
                dialog->reject();
                return;
            }
            dialog->setDirectory(f.Clips());
            dialog->selectFile("\"first.mp4\" \"second.mp3\"");
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(f.W().btnAdd, Qt::LeftButton);

        QVERIFY(seen);
        QCOMPARE(filters, OpenDialogNameFilters(OpenDialogFilterText()));
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        if (accept) {
            QCOMPARE(f.Count(), 2);
            QVERIFY(f.Captions().contains(first));
            QVERIFY(f.Captions().contains(second));
        } else {
            QCOMPARE(f.Count(), 0);
        }
    }

    void oddRowsCarryTheThemesTint_data()
    {
        QTest::addColumn<int>("theme");
        QTest::addColumn<QColor>("tint");
        QTest::newRow("Default") << 0 << QColor(226, 230, 246);
        QTest::newRow("Gray") << 1 << QColor(236, 236, 236);
        QTest::newRow("Orange") << 2 << QColor(248, 242, 224);
        QTest::newRow("Purple") << 3 << QColor(246, 230, 241);
        QTest::newRow("Red") << 4 << QColor(247, 225, 225);
        QTest::newRow("Green") << 5 << QColor(226, 247, 225);
        QTest::newRow("Light blue") << 6 << QColor(225, 240, 247);
    }

    void oddRowsCarryTheThemesTint()
    {
        QFETCH(int, theme);
        QFETCH(QColor, tint);
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().AddSourceFiles({f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"),
                              f.Clip(TTestMedia::AudioMp3, "b.mp3"), f.Clip(TTestMedia::AudioWav, "c.wav"),
                              f.Clip(TTestMedia::Clip25Fps, "d.avi")});
        f.W().suiFileTheme1->ApplyTheme(theme);
        const QImage shot = f.List()->viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(BlankPointOf(f.List(), 1))), tint);
        QCOMPARE(QColor(shot.pixel(BlankPointOf(f.List(), 3))), tint);
        QCOMPARE(QColor(shot.pixel(BlankPointOf(f.List(), 2))), QColor(Qt::white));
    }

    void theFocusedRowIsMarkedByTheListsFocus()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.Window.get()));
        f.W().AddSourceFiles(
            {f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"), f.Clip(TTestMedia::AudioMp3, "b.mp3")});
        f.Select(1);

        f.List()->setFocus();
        QTRY_VERIFY(f.List()->hasFocus());
        QImage shot = f.List()->viewport()->grab().toImage();
        const QRect row = RowRect(f.List(), 1);
        QCOMPARE(QColor(shot.pixel(BlankPointOf(f.List(), 1))), TFileListDelegate::FocusFill());
        QCOMPARE(QColor(shot.pixel(row.left(), row.center().y())), TFileListDelegate::FocusFrame());
        QCOMPARE(QColor(shot.pixel(row.center().x(), row.top())), TFileListDelegate::FocusFrame());
        QCOMPARE(QColor(shot.pixel(BlankPointOf(f.List(), 0))), QColor(Qt::white));

        f.W().edDirectory->setFocus();
        QTRY_VERIFY(!f.List()->hasFocus());
        shot = f.List()->viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(BlankPointOf(f.List(), 1))), TFileListDelegate::UnfocusedFill());
        QCOMPARE(QColor(shot.pixel(row.left(), row.center().y())), TFileListDelegate::UnfocusedFrame());
    }

    void theCheckBoxIsDrawnByHand()
    {
        TFileListWindow f;
        QVERIFY(f.Show());
        f.W().AddSourceFiles(
            {f.Clip(TTestMedia::VideoAudioMp4, "a.mp4"), f.Clip(TTestMedia::AudioMp3, "b.mp3")});
        f.Row(0)->setCheckState(0, Qt::Unchecked);
        const QImage shot = f.List()->viewport()->grab().toImage();
        auto box = [&](int row) {
            return TFileListDelegate::CheckBoxRect(f.List()->visualRect(f.List()->model()->index(row, 0)));
        };
        for (int row = 0; row < 2; ++row) {
            const QRect b = box(row);
            QCOMPARE(b.size(), QSize(12, 12));
            // The 2-pixel border, all round.
            for (const QPoint p : {b.topLeft(), b.topLeft() + QPoint(1, 1), b.bottomRight(),
                                   b.bottomRight() - QPoint(1, 1), QPoint(b.left(), b.center().y())})
                QCOMPARE(QColor(shot.pixel(p)), QColor(Qt::black));
            QCOMPARE(QColor(shot.pixel(b.topLeft() + QPoint(8, 8))), QColor(Qt::white));
        }
        // The tick's corner point is ink only when the row is checked.
        QCOMPARE(QColor(shot.pixel(box(0).topLeft() + QPoint(5, 8))), QColor(Qt::white));
        QCOMPARE(QColor(shot.pixel(box(1).topLeft() + QPoint(5, 8))), QColor(Qt::black));
    }
};

QTEST_MAIN(TestFileList)
#include "test_file_list.moc"
