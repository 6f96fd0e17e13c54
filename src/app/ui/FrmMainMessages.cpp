// The application-wide message filter of the main window and what happens
// when the application loses the focus to another program.
#include "app/ui/FrmMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolButton>

namespace {

bool isWithin(const QWidget* control, const QWidget* owner)
{
    return control == owner || owner->isAncestorOf(control);
}

} // namespace

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    ApplicationEvents1Message(event);
    if (SwallowsPickerDoubleClick(watched, event))
        return true;
    if (ParameterBoxEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::ApplicationEvents1Message(QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return;
    // The control under the cursor counts, not the one the press is sent to
    // (a control holding the mouse receives presses made elsewhere).
    const QWidget* control = QApplication::widgetAt(mouse->globalPosition().toPoint());
    if (!control)
        return;
    // A click anywhere but on the picker, its arrow or the profile edit
    // closes the picker; those three handle the click themselves.
    if (lst1->isVisible() && !isWithin(control, lst1) && !isWithin(control, imgbtn1) &&
        !isWithin(control, edt1))
        lst1->hide();
}

void TfrmMain::ApplicationEvents1Deactivate()
{
    if (lst1->isVisible())
        lst1->hide();
}
