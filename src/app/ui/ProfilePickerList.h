#pragma once

#include <QListWidget>
#include <QPointer>
#include <vector>

// The list of the profile picker as a desktop popup: a window of its own that
// may reach beyond the main window, holds the mouse and the keyboard while it
// is open, and closes on a press outside it (also over another program) and
// on Escape. Return or Enter act on the current row as a press on it does.
class TProfilePickerList : public QListWidget
{
    Q_OBJECT

public:
    explicit TProfilePickerList(QWidget* owner);

    // The controls that open and close the picker themselves. A press on one
    // of them while the picker is open only closes it: passed on, the same
    // click would open it again at once.
    void SetOpeners(std::vector<QPointer<QWidget>> openers) { openers_ = std::move(openers); }

signals:
    void RowKeyActivated(int row);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsOverOpener(const QPoint& globalPosition) const;

    std::vector<QPointer<QWidget>> openers_;
};
