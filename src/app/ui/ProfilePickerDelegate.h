#pragma once

#include "app/ProfilePickerRows.h"

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QStyledItemDelegate>

// Each picker row carries its TItemInfo under this role.
constexpr int ItemInfoRole = Qt::UserRole + 1;

// How the rows of the profile picker look. The highlighted row is filled
// light blue inset by 2 pixels with a darker frame and black text; the others
// sit on the picker's pale grey. A category row shows its fold glyph at the
// left edge, its icon 20 pixels further right and its name in bold 45 pixels
// in; a profile row shows its name in navy 25 pixels in.
class TProfilePickerDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr int FillInset = 2;
    static constexpr int TextTop = 2;
    static constexpr int IconLeft = 20;
    static constexpr int CategoryTextLeft = 45;
    static constexpr int ProfileTextLeft = 25;
    static QColor Background() { return QColor(246, 247, 248); }
    static QColor FocusFill() { return QColor(185, 204, 236); }
    static QColor FocusFrame() { return QColor(122, 160, 218); }
    static QColor ProfileText() { return QColor(0, 0, 128); }

    explicit TProfilePickerDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Draws one row into `row`; `focused` is the highlighted row.
    void lst1DrawItem(QPainter* painter, const QRect& row, const QFont& font, const QString& text,
                      const TItemInfo& info, bool focused) const;

    // Category icons by category index, and the fold glyphs.
    QList<QPixmap> imglistipodConverter;
    QList<QPixmap> ImageList2;
};
