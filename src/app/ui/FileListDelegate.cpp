#include "app/ui/FileListDelegate.h"

#include "app/ui/ColourThemes.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>

TFileListDelegate::TFileListDelegate(const TThemeManager& themes, QObject* parent)
    : QStyledItemDelegate(parent), FThemes(themes)
{
}

QRect TFileListDelegate::CheckBoxRect(const QRect& cell)
{
    const int top = cell.top() + (cell.height() - CheckBoxSize) / 2;
    return QRect(cell.left() + CheckBoxLeft, top, CheckBoxSize, CheckBoxSize);
}

void TFileListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    lvFilesCustomDrawItem(painter, option, index);
}

void TFileListDelegate::lvFilesCustomDrawItem(QPainter* painter, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool focused =
        view != nullptr && view->currentIndex().isValid() && view->currentIndex().row() == index.row();
    const bool listHasFocus = view != nullptr && view->hasFocus();
    const bool firstColumn = index.column() == 0;
    const bool lastColumn = index.model() != nullptr && index.column() == index.model()->columnCount() - 1;
    const QRect cell = option.rect;

    painter->save();
    QColor fill = index.row() % 2 == 1 ? FThemes.Current().OddRowTint : EvenRowColour();
    if (focused)
        fill = listHasFocus ? FocusFill() : UnfocusedFill();
    painter->fillRect(cell, fill);

    if (focused) {
        // One frame around the whole row, drawn piece by piece per cell.
        painter->setPen(listHasFocus ? FocusFrame() : UnfocusedFrame());
        painter->drawLine(cell.topLeft(), cell.topRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        if (firstColumn)
            painter->drawLine(cell.topLeft(), cell.bottomLeft());
        if (lastColumn)
            painter->drawLine(cell.topRight(), cell.bottomRight());
    }

    QRect textArea = cell.adjusted(TextInset, 0, -TextInset, 0);
    if (firstColumn) {
        const QRect box = CheckBoxRect(cell);
        DrawCheckBox(painter, box, index.data(Qt::CheckStateRole).toInt() == Qt::Checked);
        textArea.setLeft(box.right() + 1 + TextInset);
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && textArea.width() > 0) {
        const QVariant alignment = index.data(Qt::TextAlignmentRole);
        const Qt::Alignment horizontal = alignment.isValid()
                                             ? (Qt::Alignment(alignment.toInt()) & Qt::AlignHorizontal_Mask)
                                             : Qt::AlignLeft;
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        const QString shown = option.fontMetrics.elidedText(text, Qt::ElideRight, textArea.width());
        painter->drawText(textArea, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    }
    painter->restore();
}

void TFileListDelegate::DrawCheckBox(QPainter* painter, const QRect& box, bool checked) const
{
    painter->fillRect(box, Qt::black);
    painter->fillRect(box.adjusted(CheckBoxBorder, CheckBoxBorder, -CheckBoxBorder, -CheckBoxBorder),
                      Qt::white);
    if (!checked)
        return;
    const QPoint tick[] = {
        box.topLeft() + QPoint(3, 6),
        box.topLeft() + QPoint(5, 8),
        box.topLeft() + QPoint(8, 3),
    };
    QPen pen(Qt::black);
    pen.setWidth(2);
    painter->setPen(pen);
    painter->drawPolyline(tick, 3);
}

QSize TFileListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), MinimumRowHeight));
    return size;
}

bool TFileListDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        if (index.column() != 0 || !(index.flags() & Qt::ItemIsUserCheckable))
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton ||
            !CheckBoxRect(option.rect).contains(mouse->position().toPoint()))
            return false;
        // The press still selects the row. Each release toggles, so a double
        // click (press, release, double click, release) toggles twice.
        if (event->type() != QEvent::MouseButtonRelease)
            return event->type() == QEvent::MouseButtonDblClick;
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    default:
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
}
