#include "app/ui/ProfilePickerList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

TProfilePickerList::TProfilePickerList(QWidget* owner) : QListWidget(owner)
{
    setWindowFlags(Qt::Popup);
    setUniformItemSizes(true);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TProfilePickerList::showEvent(QShowEvent* event)
{
    // Decided anew by the press that closes it.
    setAttribute(Qt::WA_NoMouseReplay, false);
    QListWidget::showEvent(event);
}

bool TProfilePickerList::event(QEvent* event)
{
    // While open the popup receives every press, those outside it included;
    // they come to the list itself (presses on its rows come to the rows),
    // where a scrolling list would drop them.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (!rect().contains(mapFromGlobal(global))) {
            event->accept();
            // Elsewhere the press goes on to what lies under it once the
            // popup is gone; on an opener it would reopen the picker.
            setAttribute(Qt::WA_NoMouseReplay, IsOverOpener(global));
            hide();
            return true;
        }
    }
    return QListWidget::event(event);
}

void TProfilePickerList::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        hide();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (currentRow() >= 0)
            emit RowKeyActivated(currentRow());
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

bool TProfilePickerList::IsOverOpener(const QPoint& globalPosition) const
{
    const QWidget* under = QApplication::widgetAt(globalPosition);
    for (const QPointer<QWidget>& opener : openers_)
        if (opener && under && (under == opener || opener->isAncestorOf(under)))
            return true;
    return false;
}
