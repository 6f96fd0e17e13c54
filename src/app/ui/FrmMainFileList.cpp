// The file list of the main window: adding files through the open dialog or
// by dropping them on the list, removing and clearing rows, the check
// commands, and the Edit and popup menus with their enabling rules.
#include "app/ui/FrmMain.h"

#include "app/GlobalObject.h"
#include "app/IniFile.h"
#include "app/ui/FileListDelegate.h"
#include "app/ui/FileListItem.h"
#include "jobs/FileListRules.h"
#include "jobs/OutputNaming.h"
#include "probe/AVProbe.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace {

// The editors and the information window are not part of the window yet:
// their items stay disabled, whatever the enabling rule says, until they are.
bool CommandBuilt(TFileListCommand command)
{
    switch (command) {
    case TFileListCommand::Crop:
    case TFileListCommand::Trim:
    case TFileListCommand::WaterMark:
    case TFileListCommand::Information:
        return false;
    default:
        return true;
    }
}

// The local files of a drag, in the order the file manager gives them.
QStringList DroppedFiles(const QMimeData* data)
{
    QStringList files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

// What the list itself reports to the window: right button presses, focus
// changes (the focused row is drawn differently) and files dropped on it.
class TFileListEvents : public QObject
{
public:
    TFileListEvents(QTreeWidget* list, std::function<void(const QPoint&)> rightPress,
                    std::function<void(const QStringList&)> dropped)
        : QObject(list), FList(list), FRightPress(std::move(rightPress)), FDropped(std::move(dropped))
    {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        list->viewport()->setAcceptDrops(true);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (watched == FList)
                FList->viewport()->update();
            return false;
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched != FList->viewport() || mouse->button() != Qt::RightButton)
                return false;
            // After the list has handled the press, so the popup sees the row
            // the press selected.
            const QPoint at = mouse->globalPosition().toPoint();
            QMetaObject::invokeMethod(
                this, [this, at] { FRightPress(at); }, Qt::QueuedConnection);
            return false;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (watched != FList->viewport() || DroppedFiles(drag->mimeData()).isEmpty())
                return false;
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = DroppedFiles(drop->mimeData());
            if (watched != FList->viewport() || files.isEmpty())
                return false;
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Probing takes a while; the file manager need not wait for it.
            QMetaObject::invokeMethod(
                this, [this, files] { FDropped(files); }, Qt::QueuedConnection);
            return true;
        }
        default:
            return false;
        }
    }

private:
    QTreeWidget* FList;
    std::function<void(const QPoint&)> FRightPress;
    std::function<void(const QStringList&)> FDropped;
};

} // namespace

void TfrmMain::BindFileList()
{
    fileListDelegate_ = new TFileListDelegate(*suiFileTheme1, lvFiles);
    lvFiles->setItemDelegate(fileListDelegate_);
    // The delegate frames the focused row itself; the style's focus frame
    // over the whole row would tint that fill.
    lvFiles->setAllColumnsShowFocus(false);
    lvFiles->setContextMenuPolicy(Qt::NoContextMenu);
    // The selected row stays marked while another control has the focus.
    lvFiles->setFocusPolicy(Qt::StrongFocus);
    connect(suiFileTheme1, &TThemeManager::ThemeChanged, lvFiles->viewport(),
            [this] { lvFiles->viewport()->update(); });
    new TFileListEvents(
        lvFiles, [this](const QPoint& at) { lvFilesMouseDown(at); },
        [this](const QStringList& files) { AddSourceFiles(files); });

    CreatePopupMenu();

    for (QAction* add : {Add1, popAdd})
        connect(add, &QAction::triggered, this, &TfrmMain::btnAddClick);
    for (QAction* remove : {Remove1, popRemove})
        connect(remove, &QAction::triggered, this, &TfrmMain::btnRemoveClick);
    for (QAction* clear : {Clear1, popClear})
        connect(clear, &QAction::triggered, this, &TfrmMain::btnClearClick);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmMain::btnAddClick);
    connect(btnRemove, &QPushButton::clicked, this, &TfrmMain::btnRemoveClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmMain::btnClearClick);
    connect(BtnEdit, &QPushButton::clicked, this, &TfrmMain::BtnEditClick);

    connect(CheckAll1, &QAction::triggered, this, &TfrmMain::CheckAll1Click);
    connect(UncheckAll1, &QAction::triggered, this, &TfrmMain::UncheckAll1Click);
    connect(ReserveCheck1, &QAction::triggered, this, &TfrmMain::ReserveCheck1Click);
    connect(Check1, &QAction::triggered, this, &TfrmMain::Check1Click);
    connect(Uncheck1, &QAction::triggered, this, &TfrmMain::Uncheck1Click);

    connect(Edit2, &QMenu::aboutToShow, this, &TfrmMain::Edit2Click);
    connect(suiPopupMenu1, &QMenu::aboutToShow, this, &TfrmMain::suiPopupMenu1Popup);
}

void TfrmMain::CreatePopupMenu()
{
    suiPopupMenu1 = new QMenu(this);
    popAdd = suiPopupMenu1->addAction(QStringLiteral("Add"));
    popRemove = suiPopupMenu1->addAction(QStringLiteral("Remove"));
    popClear = suiPopupMenu1->addAction(QStringLiteral("Clear"));
    suiPopupMenu1->addSeparator();
    popCrop = suiPopupMenu1->addAction(QStringLiteral("&Crop"));
    popTrim = suiPopupMenu1->addAction(QStringLiteral("&Trim"));
    popWaterMark = suiPopupMenu1->addAction(QStringLiteral("&Video Effect && Water Mark"));
    suiPopupMenu1->addSeparator();
    popInfomation = suiPopupMenu1->addAction(QStringLiteral("Video Infomation"));
    suiPopupMenu1->addSeparator();
    popStart = suiPopupMenu1->addAction(QStringLiteral("Start"));
    for (QAction* pending : {popCrop, popTrim, popWaterMark, popInfomation})
        pending->setEnabled(false);
}

bool TfrmMain::LoadEngineLibraries()
{
    return CCAVC.LoadLibraries(ExecutableFolder() + QStringLiteral("LibAV"));
}

void TfrmMain::btnAddClick()
{
    if (!LoadEngineLibraries())
        return;
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The patterns are upper case for the first two entries; the dialog of
    // Qt itself compares them without regard to case, a native one may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The descriptions name their patterns themselves.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(OpenDialogNameFilters(OpenDialogFilterText()));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    AddSourceFiles(dialog.selectedFiles());
}

void TfrmMain::AddSourceFiles(const QStringList& fileNames)
{
    if (!LoadEngineLibraries())
        return;
    CCAVC.ClearTasks();
    const TAddBatch batch = ReadAddBatch(Settings(), IniFile(GlobalObject->FormatFile()));
    for (int position = 0; position < int(fileNames.size()); ++position)
        AddSourceFile(fileNames[position], position, batch);
}

void TfrmMain::AddSourceFile(const QString& fileName, int addIndex, const TAddBatch& batch)
{
    if (DecideNewSource(fileName, ListedCaptions()) != TSourceDecision::Add)
        return;
    const QString destination = MakeDestinationName(fileName, batch.Suffix);

    TInputOptions input;
    input.FileName = fileName;
    const int task = CCAVC.AddTask(fileName, &input);
    if (task < 0)
        return; // not a file the engine can open: left out without a message
    btnStart->setEnabled(true);

    qint64 duration = -1;
    if (TAVProbe* probe = CCAVC.InputProbe(task, 0)) {
        TFileStreamInfo info;
        probe->GetFileStreamInfo(info);
        duration = info.Duration;
    }
    TlvFilesRecord record = NewJobRecord(addIndex, fileName, destination, duration, batch.Zoom);
    const QStringList texts = NewRowTexts(record);
    lvFiles->addTopLevelItem(new TFileListItem(texts, std::move(record)));
    if (lvFiles->topLevelItemCount() == 1)
        SetupFileListColumns();

    btnClear->setEnabled(true);
    btnRemove->setEnabled(true);
    CCAVC.RemoveTask(task);
    CCAVC.ClearTasks();
    lvFiles->setCurrentItem(lvFiles->topLevelItem(0));
    lvFiles->viewport()->update();
}

QStringList TfrmMain::ListedCaptions() const
{
    QStringList captions;
    captions.reserve(lvFiles->topLevelItemCount());
    for (int row = 0; row < lvFiles->topLevelItemCount(); ++row)
        captions << lvFiles->topLevelItem(row)->text(0);
    return captions;
}

TlvFilesRecord* TfrmMain::SelectedRecord() const
{
    const QList<QTreeWidgetItem*> selected = lvFiles->selectedItems();
    return selected.isEmpty() ? nullptr : TFileListItem::RecordOf(selected.first());
}

void TfrmMain::btnRemoveClick()
{
    const QList<QTreeWidgetItem*> selected = lvFiles->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = lvFiles->indexOfTopLevelItem(selected.first());
    delete lvFiles->takeTopLevelItem(row); // the record goes with its row
    const int next = RowToSelectAfterRemoval(row, lvFiles->topLevelItemCount());
    if (next >= 0) {
        lvFiles->setCurrentItem(lvFiles->topLevelItem(next));
    } else {
        lvFiles->clearSelection();
        StopPreviewPlayer();
    }
    lvFiles->viewport()->update();
}

void TfrmMain::btnClearClick()
{
    if (lvFiles->topLevelItemCount() == 0)
        return;
    CCAVC.ClearTasks();
    lvFiles->clear(); // every record goes with its row
    StopPreviewPlayer();
}

void TfrmMain::StopPreviewPlayer()
{
    // The preview panel plays nothing yet, so no file of the list is held
    // open by it.
}

void TfrmMain::SetEveryCheck(bool checked)
{
    for (int row = 0; row < lvFiles->topLevelItemCount(); ++row)
        lvFiles->topLevelItem(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmMain::SetSelectedCheck(bool checked)
{
    for (QTreeWidgetItem* item : lvFiles->selectedItems())
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmMain::CheckAll1Click()
{
    SetEveryCheck(true);
}

void TfrmMain::UncheckAll1Click()
{
    SetEveryCheck(false);
}

void TfrmMain::ReserveCheck1Click()
{
    for (int row = 0; row < lvFiles->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = lvFiles->topLevelItem(row);
        item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void TfrmMain::Check1Click()
{
    SetSelectedCheck(true);
}

void TfrmMain::Uncheck1Click()
{
    SetSelectedCheck(false);
}

QAction* TfrmMain::CommandItem(TFileListMenu menu, TFileListCommand command) const
{
    const bool edit = menu == TFileListMenu::Edit;
    switch (command) {
    case TFileListCommand::Add:
        return edit ? Add1 : popAdd;
    case TFileListCommand::Remove:
        return edit ? Remove1 : popRemove;
    case TFileListCommand::Clear:
        return edit ? Clear1 : popClear;
    case TFileListCommand::Start:
        return edit ? Start1 : popStart;
    case TFileListCommand::Crop:
        return edit ? Crop1 : popCrop;
    case TFileListCommand::Trim:
        return edit ? Trim1 : popTrim;
    case TFileListCommand::WaterMark:
        return edit ? WaterMark1 : popWaterMark;
    case TFileListCommand::Information:
        return edit ? nullptr : popInfomation;
    case TFileListCommand::CheckAll:
        return edit ? CheckAll1 : nullptr;
    case TFileListCommand::UncheckAll:
        return edit ? UncheckAll1 : nullptr;
    case TFileListCommand::ReverseCheck:
        return edit ? ReserveCheck1 : nullptr;
    case TFileListCommand::Check:
        return edit ? Check1 : nullptr;
    case TFileListCommand::Uncheck:
        return edit ? Uncheck1 : nullptr;
    }
    return nullptr;
}

void TfrmMain::ApplyMenuEnabling(TFileListMenu menu)
{
    const bool rowSelected = !lvFiles->selectedItems().isEmpty();
    for (const TCommandEnabling& item : MenuEnablingOnOpen(menu, lvFiles->topLevelItemCount(), rowSelected))
        if (QAction* action = CommandItem(menu, item.Command))
            action->setEnabled(item.Enabled && CommandBuilt(item.Command));
}

void TfrmMain::Edit2Click()
{
    WaterMark1->setVisible(true);
    ApplyMenuEnabling(TFileListMenu::Edit);
}

void TfrmMain::suiPopupMenu1Popup()
{
    popWaterMark->setVisible(true);
    ApplyMenuEnabling(TFileListMenu::Popup);
}

void TfrmMain::lvFilesMouseDown(const QPoint& globalPosition)
{
    ShowPopupMenu(globalPosition);
}

void TfrmMain::BtnEditClick()
{
    ShowPopupMenu(BtnEdit->mapToGlobal(QPoint(0, BtnEdit->height())));
}

void TfrmMain::ShowPopupMenu(const QPoint& globalPosition)
{
    suiPopupMenu1->popup(globalPosition);
}
