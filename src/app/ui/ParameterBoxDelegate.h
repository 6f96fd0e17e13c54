#pragma once

#include <QStyledItemDelegate>

// The look of the items of the ten parameter boxes: the highlighted item on a
// light blue fill inset by 2 pixels with a darker blue frame, the others on
// white; black text inset 3 pixels, one line, vertically centred, cut with an
// ellipsis when it does not fit.
class TParameterBoxDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int FillInset = 2;
    static constexpr int TextInset = 3;
    static QColor FocusFill() { return QColor(185, 204, 236); }
    static QColor FocusFrame() { return QColor(122, 160, 218); }

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The text as drawn into a row of `width` pixels.
    static QString DisplayText(const QFontMetrics& metrics, const QString& text, int width);
};
