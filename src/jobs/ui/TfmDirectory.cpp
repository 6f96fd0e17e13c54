#include "jobs/ui/TfmDirectory.h"

#include "platform/DialogService.h"
#include "platform/OpticalDrive.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// The top of the tree, where the picker starts.
const QString FileSystemRoot = QStringLiteral("/");

// Nodes can outlive their folder (removed or renamed on disk since the tree
// read it); only a folder that is there now can take the outputs.
bool IsFileSystemFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

TfmDirectory::TfmDirectory(QWidget* parent) : QDialog(parent), FOpticalTest(IsOnOpticalDrive)
{
    setWindowTitle(QStringLiteral("Brows"));
    resize(FormWidth, FormHeight);

    lblSelect = new QLabel(QStringLiteral("Please select an output directory:"), this);

    FFolders = new QFileSystemModel(this);
    FFolders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    FFolders->setRootPath(FileSystemRoot);

    stview_selectdir = new QTreeView(this);
    stview_selectdir->setModel(FFolders);
    stview_selectdir->setHeaderHidden(true);
    for (int column = 1; column < FFolders->columnCount(); ++column)
        stview_selectdir->hideColumn(column); // size, type and date say nothing about a folder
    stview_selectdir->setSelectionMode(QAbstractItemView::SingleSelection);

    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSelect);
    layout->addWidget(stview_selectdir, 1);
    layout->addLayout(buttons);

    connect(stview_selectdir, &QTreeView::clicked, this, &TfmDirectory::stview_selectdirClick);
    // Moving through the tree with the keyboard must follow the same rule as clicking.
    connect(stview_selectdir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { UpdateOkButton(); });
    connect(btnOk, &QPushButton::clicked, this, &TfmDirectory::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfmDirectory::btnCancelClick);
}

void TfmDirectory::SetOpticalTest(TOpticalTest test)
{
    FOpticalTest = test ? std::move(test) : TOpticalTest(IsOnOpticalDrive);
}

QString TfmDirectory::CurrentPath() const
{
    const QModelIndex current = stview_selectdir->currentIndex();
    return current.isValid() ? FFolders->filePath(current) : QString();
}

void TfmDirectory::SelectFolder(const QString& path)
{
    const QModelIndex index = FFolders->index(path);
    if (!index.isValid())
        return;
    stview_selectdir->setCurrentIndex(index);
    stview_selectdir->scrollTo(index);
    UpdateOkButton();
}

void TfmDirectory::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfmDirectory::FormShow()
{
    resize(FormWidth, FormHeight);
    // A result of an earlier showing must not pass for this one's when the
    // window is closed without a choice.
    FSelectedFolder.clear();
    SelectFolder(FileSystemRoot);
    UpdateOkButton();
}

void TfmDirectory::UpdateOkButton()
{
    btnOk->setEnabled(IsFileSystemFolder(CurrentPath()));
}

void TfmDirectory::stview_selectdirClick(const QModelIndex&)
{
    UpdateOkButton();
}

void TfmDirectory::btnOkClick()
{
    FSelectedFolder = CurrentPath();
    if (!IsFileSystemFolder(FSelectedFolder)) {
        FSelectedFolder.clear();
        UpdateOkButton();
        return;
    }
    if (FOpticalTest(FSelectedFolder)) {
        FSelectedFolder.clear();
        Dialogs().MessageBox(
            QStringLiteral("Output folder cannot be located in CD-ROM.Please select another folder."),
            ApplicationTitle(), TMsgIcon::Information, TMsgButtons::Ok);
        return;
    }
    accept();
}

void TfmDirectory::btnCancelClick()
{
    FSelectedFolder.clear();
    reject();
}
