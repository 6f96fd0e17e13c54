#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QFileSystemModel;
class QLabel;
class QModelIndex;
class QPushButton;
class QTreeView;

// The folder picker ("Brows") of the output folder and the snapshot folder: a
// tree of the file system's folders. Callers create it once, show it modally
// and then read SelectedFolder: the chosen folder, or empty after "Cancel"
// and after a refused choice. Folders on optical discs are refused with a
// message and the picker stays open.
class TfmDirectory : public QDialog
{
    Q_OBJECT

public:
    static constexpr int FormWidth = 322;
    static constexpr int FormHeight = 351;

    // Tells whether a folder lies on an optical disc.
    using TOpticalTest = std::function<bool(const QString& path)>;

    explicit TfmDirectory(QWidget* parent = nullptr);

    const QString& SelectedFolder() const { return FSelectedFolder; }
    // Replaces the optical-disc test (tests fake it); empty restores the real one.
    void SetOpticalTest(TOpticalTest test);

    // The path of the tree node that is current; empty when none is.
    QString CurrentPath() const;
    // Makes the node of an existing folder current and visible.
    void SelectFolder(const QString& path);

    QLabel* lblSelect;
    QTreeView* stview_selectdir;
    QPushButton* btnOk;
    QPushButton* btnCancel;

public slots:
    void stview_selectdirClick(const QModelIndex& index);
    void btnOkClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    // "Ok" is offered only for a node that is a folder on disk.
    void UpdateOkButton();

    QFileSystemModel* FFolders;
    TOpticalTest FOpticalTest;
    QString FSelectedFolder;
};
