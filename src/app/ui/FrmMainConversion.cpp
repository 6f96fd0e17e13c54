// Start and the conversion run of the main window: the run works on the
// checked rows of the file list through the window's view of them, shows its
// progress in the progress window, and is stopped when the window closes.
#include "app/ui/FrmMain.h"

#include "app/ui/FileListItem.h"
#include "jobs/ConversionRun.h"
#include "jobs/FileListRules.h"
#include "jobs/ui/FrmProgress.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include <stdexcept>

void TfrmMain::BindConversion()
{
    // The run installs its handlers of the engine's four events
    // (CCAVCProgress, CCAVCTerminate, CCAVCPreviewBitmap, CCAVCCustomHook).
    ConversionRun_ = std::make_unique<TConversionRun>(CCAVC, static_cast<IRunHost&>(*this));
    for (QPushButton* start : {btnStart, SpeedButton1})
        connect(start, &QPushButton::clicked, this, &TfrmMain::btnStartClick);
    for (QAction* start : {Start1, popStart})
        connect(start, &QAction::triggered, this, &TfrmMain::btnStartClick);
}

void TfrmMain::btnStartClick()
{
    // A failure while the tasks are set up ends the command with the
    // application-wide message; nothing runs then.
    ConversionRun_->Start();
}

void TfrmMain::StopRunForClosing()
{
    if (ConversionRun_)
        ConversionRun_->StopForClosing();
    // The run no longer reports its end, so the progress window would stay.
    if (frmProgress_)
        frmProgress_->CloseView();
}

int TfrmMain::RowCount() const
{
    return lvFiles->topLevelItemCount();
}

bool TfrmMain::RowChecked(int row) const
{
    const QTreeWidgetItem* item = lvFiles->topLevelItem(row);
    return item != nullptr && item->checkState(SourceColumn) == Qt::Checked;
}

QString TfrmMain::RowCaption(int row) const
{
    const QTreeWidgetItem* item = lvFiles->topLevelItem(row);
    return item ? item->text(SourceColumn) : QString();
}

TlvFilesRecord& TfrmMain::RowRecord(int row)
{
    TlvFilesRecord* record = TFileListItem::RecordOf(lvFiles->topLevelItem(row));
    if (record == nullptr)
        throw std::logic_error("A file-list row without its job record");
    return *record;
}

void TfrmMain::SetRowProgress(int row, const QString& text)
{
    if (QTreeWidgetItem* item = lvFiles->topLevelItem(row))
        item->setText(ProgressColumn, text);
}

void TfrmMain::ValidateFrameSize()
{
    cmbVideoSizeExit();
}

void TfrmMain::EnableListCommands()
{
    for (QPushButton* button : {btnAdd, btnRemove, btnClear, btnStart})
        button->setEnabled(true);
}

QString TfrmMain::ShownOutputFolder() const
{
    return edDirectory->text();
}

IRunProgressView& TfrmMain::ProgressView()
{
    if (!frmProgress_)
        frmProgress_ = new TfrmProgress(*ConversionRun_, ConversionRun_->PreviewFrame(), this);
    return *frmProgress_;
}
