#include "app/ui/ProfilePickerDelegate.h"

#include "app/ui/ProfilePickerImages.h"

#include <QPainter>

TProfilePickerDelegate::TProfilePickerDelegate(QObject* parent)
    : QStyledItemDelegate(parent), imglistipodConverter(CategoryIconList()), ImageList2(FoldGlyphList())
{
}

void TProfilePickerDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    lst1DrawItem(painter, option.rect, option.font, index.data(Qt::DisplayRole).toString(),
                 index.data(ItemInfoRole).value<TItemInfo>(), option.state & QStyle::State_Selected);
}

QSize TProfilePickerDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const TItemInfo info = index.data(ItemInfoRole).value<TItemInfo>();
    QFont font = option.font;
    font.setBold(info.IsCategory);
    const int left = info.IsCategory ? CategoryTextLeft : ProfileTextLeft;
    return {left + QFontMetrics(font).horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 4,
            PickerRowHeight};
}

void TProfilePickerDelegate::lst1DrawItem(QPainter* painter, const QRect& row, const QFont& font,
                                          const QString& text, const TItemInfo& info, bool focused) const
{
    painter->save();
    painter->fillRect(row, Background());
    if (focused) {
        const QRect fill = row.adjusted(FillInset, FillInset, -FillInset, -FillInset);
        painter->fillRect(fill, FocusFill());
        painter->setPen(FocusFrame());
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(fill.adjusted(0, 0, -1, -1));
    }

    auto centred = [&row](int left, const QPixmap& picture) {
        return QPoint(row.left() + left, row.top() + (row.height() - picture.height()) / 2);
    };
    QFont rowFont = font;
    int textLeft = ProfileTextLeft;
    QColor ink = focused ? QColor(Qt::black) : ProfileText();
    if (info.IsCategory) {
        const int glyph = info.Collapsed ? CollapsedGlyph : ExpandedGlyph;
        if (glyph < ImageList2.size())
            painter->drawPixmap(centred(0, ImageList2[glyph]), ImageList2[glyph]);
        if (info.ItemCode >= 0 && info.ItemCode < imglistipodConverter.size()) {
            const QPixmap& icon = imglistipodConverter[info.ItemCode];
            painter->drawPixmap(centred(IconLeft, icon), icon);
        }
        rowFont.setBold(true);
        textLeft = CategoryTextLeft;
        ink = Qt::black;
    }
    painter->setFont(rowFont);
    painter->setPen(ink);
    painter->drawText(row.adjusted(textLeft, TextTop, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter->restore();
}
