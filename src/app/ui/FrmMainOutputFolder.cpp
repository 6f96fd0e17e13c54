// The output folder of the main window: the read-only folder box, the
// folder picker behind "Brows" and "Open", which shows the folder.
#include "app/ui/FrmMain.h"

#include "app/IniFile.h"
#include "jobs/OutputNaming.h"
#include "jobs/ui/TfmDirectory.h"

#include <QLineEdit>
#include <QPushButton>

void TfrmMain::BindOutputFolder()
{
    connect(edDirectory, &QLineEdit::textChanged, this, &TfrmMain::edDirectoryChange);
    connect(btnBrows, &QPushButton::clicked, this, &TfrmMain::btnBrowsClick);
    connect(btnOpen, &QPushButton::clicked, this, &TfrmMain::btnOpenClick);
}

void TfrmMain::edDirectoryChange()
{
    IniFile settings = Settings();
    WriteOutputFolder(settings, edDirectory->text());
}

void TfrmMain::btnBrowsClick()
{
    if (!fmDirectory_)
        fmDirectory_ = new TfmDirectory(this);
    fmDirectory_->exec();
    IniFile settings = Settings();
    if (StorePickedOutputFolder(settings, fmDirectory_->SelectedFolder(), edDirectory->text()))
        edDirectory->setText(fmDirectory_->SelectedFolder());
}

void TfrmMain::btnOpenClick()
{
    OpenOutputFolder(Settings(), edDirectory->text());
}
