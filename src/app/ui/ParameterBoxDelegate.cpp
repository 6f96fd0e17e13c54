#include "app/ui/ParameterBoxDelegate.h"

#include <QPainter>

void TParameterBoxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const QRect row = option.rect;
    painter->save();
    painter->fillRect(row, Qt::white);
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus)) {
        const QRect fill = row.adjusted(FillInset, FillInset, -FillInset, -FillInset);
        painter->fillRect(fill, FocusFill());
        painter->setPen(FocusFrame());
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(fill.adjusted(0, 0, -1, -1));
    }
    const QRect textRect = row.adjusted(TextInset, 0, -TextInset, 0);
    painter->setFont(option.font);
    painter->setPen(Qt::black);
    painter->drawText(
        textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        DisplayText(option.fontMetrics, index.data(Qt::DisplayRole).toString(), textRect.width()));
    painter->restore();
}

QSize TParameterBoxDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize natural = QStyledItemDelegate::sizeHint(option, index);
    return {natural.width() + 2 * TextInset,
            std::max(natural.height(), option.fontMetrics.height() + 2 * FillInset + 2)};
}

QString TParameterBoxDelegate::DisplayText(const QFontMetrics& metrics, const QString& text, int width)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return metrics.elidedText(line, Qt::ElideRight, std::max(0, width));
}
