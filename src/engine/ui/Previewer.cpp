#include "engine/ui/Previewer.h"

#include "media/MainThread.h"
#include "media/MediaHelpers.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

TPreviewerForm::TPreviewerForm(QSize clientSize)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(clientSize);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(clientSize.width() / 2, clientSize.height() / 2));
}

void TPreviewerForm::ShowFrame(const QImage& bitmap, qint64 pts)
{
    setWindowTitle(TimeToStr(pts));
    FFrame = bitmap.copy(); // the task reuses its bitmap for the next frame
    update();
}

void TPreviewerForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (FFrame.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(QPoint(0, 0), FFrame);
}

void TPreviewerForm::closeEvent(QCloseEvent* event)
{
    FClosedByUser = true;
    event->accept();
}

void TPreviewerForm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    FDragging = true;
    FDragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TPreviewerForm::mouseMoveEvent(QMouseEvent* event)
{
    if (FDragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - FDragOffset);
    else
        QWidget::mouseMoveEvent(event);
}

void TPreviewerForm::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        FDragging = false;
    QWidget::mouseReleaseEvent(event);
}

TPreviewer::TPreviewer() = default;

TPreviewer::~TPreviewer()
{
    if (FForm)
        CallInMainThread([this] { FForm.reset(); });
}

bool TPreviewer::ShowFrame(const QImage& bitmap, qint32 frameNumber, qint64 pts)
{
    bool shown = false;
    CallInMainThread([&] {
        if (FForm && FForm->ClosedByUser())
            return;
        if (!FForm) {
            FForm = std::make_unique<TPreviewerForm>(bitmap.size());
            FForm->show();
        }
        FForm->ShowFrame(bitmap, pts);
        shown = true;
    });
    return shown;
}

void InstallPreviewer()
{
    SetPreviewWindowFactory([]() -> std::unique_ptr<IPreviewWindow> {
        // Widgets need a widget application; a console or GUI-only program has no window to offer.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return nullptr;
        return std::make_unique<TPreviewer>();
    });
}
