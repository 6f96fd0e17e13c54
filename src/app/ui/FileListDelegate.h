#pragma once

#include <QColor>
#include <QRect>
#include <QStyledItemDelegate>

class TThemeManager;

// How the rows of the file list look, and the check box it draws itself.
// Odd rows (1, 3, ...) carry the colour theme's tint, even rows are white.
// The focused row is filled light blue with a darker frame, paler while the
// list does not have the input focus. In the first column a 12-pixel check
// box with a 2-pixel black border and a tick when checked sits before the
// caption. Texts are single lines, vertically centred, cut with an ellipsis
// and inset 3 pixels.
class TFileListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int CheckBoxSize = 12;
    static constexpr int CheckBoxBorder = 2;
    static constexpr int CheckBoxLeft = 3; // from the row's left edge
    static constexpr int TextInset = 3;
    static constexpr int MinimumRowHeight = 18;
    static QColor FocusFill() { return QColor(185, 204, 236); }
    static QColor FocusFrame() { return QColor(122, 160, 218); }
    static QColor UnfocusedFill() { return QColor(229, 236, 248); }
    static QColor UnfocusedFrame() { return QColor(152, 181, 226); }
    static QColor EvenRowColour() { return Qt::white; }

    // The odd rows take the tint of the theme `themes` holds at paint time.
    explicit TFileListDelegate(const TThemeManager& themes, QObject* parent = nullptr);

    // Where the check box of a row sits within the first column's cell.
    static QRect CheckBoxRect(const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    // A click on the drawn box toggles the check; the keyboard works as for
    // any checkable row.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    void lvFilesCustomDrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const;
    void DrawCheckBox(QPainter* painter, const QRect& box, bool checked) const;

    const TThemeManager& FThemes;
};
