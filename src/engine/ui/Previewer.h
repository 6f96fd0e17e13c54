#pragma once

#include "engine/PreviewWindow.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <memory>

// The small stay-on-top tool window that shows a task's encoded frames. Lives
// in the main thread only; TPreviewer drives it from the worker.
class TPreviewerForm : public QWidget
{
public:
    explicit TPreviewerForm(QSize clientSize);

    // Caption = the frame time as "hh:mm:ss.zzz"; the frame is drawn at (0, 0).
    void ShowFrame(const QImage& bitmap, qint64 pts);
    bool ClosedByUser() const { return FClosedByUser; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A left-button press anywhere drags the window, as its caption would.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage FFrame;
    bool FClosedByUser = false;
    bool FDragging = false; // only when the window system cannot move it for us
    QPoint FDragOffset;
};

// One task's preview window. Created on any thread; the window is created on
// the first ShowFrame and freed with the previewer, both in the main thread.
class TPreviewer : public IPreviewWindow
{
public:
    TPreviewer();
    ~TPreviewer() override;
    TPreviewer(const TPreviewer&) = delete;
    TPreviewer& operator=(const TPreviewer&) = delete;

    bool ShowFrame(const QImage& bitmap, qint32 frameNumber, qint64 pts) override;

    // The window, null before the first frame. Main thread only.
    TPreviewerForm* Form() const { return FForm.get(); }

private:
    std::unique_ptr<TPreviewerForm> FForm; // main thread only
};

// Lets every task of this program show its preview in a TPreviewer. Call once
// in the main thread after the QApplication exists.
void InstallPreviewer();
