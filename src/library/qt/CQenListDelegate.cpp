#include "library/qt/CQenListDelegate.h"

#include <QPainter>

#include "library/qt/CQenListCtrl.h"

namespace trivane {

CQenListDelegate::CQenListDelegate(CQenListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

void CQenListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int row = index.row();
    painter->save();
    if (m_list->IsRowHighlighted(row)) {
        // Active colours whether or not the list has the focus, like the selection they stand beside.
        const QColor back = option.palette.color(QPalette::Active, QPalette::Highlight);
        const QColor text = option.palette.color(QPalette::Active, QPalette::HighlightedText);
        painter->fillRect(option.rect, back);
        QStyleOptionViewItem opt(option);
        opt.state &= ~QStyle::State_Selected;
        opt.palette.setColor(QPalette::Text, text);
        opt.palette.setColor(QPalette::WindowText, text);
        QStyledItemDelegate::paint(painter, opt, index);
    } else if (row == m_list->PlainSelectionRow()) {
        painter->fillRect(option.rect, option.palette.color(QPalette::Base));
        const QRect cell = option.rect.adjusted(2, 0, 0, 0);
        painter->fillRect(cell, QColor::fromRgb(kPlainSelectionColour));
        painter->setPen(Qt::black);
        painter->setFont(option.font);
        const QString text = index.data(Qt::DisplayRole).toString();
        painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, cell.width()));
    } else {
        QStyledItemDelegate::paint(painter, option, index);
    }
    painter->setPen(option.palette.color(QPalette::Active, QPalette::Midlight));
    const QRect r = option.rect;
    painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter->restore();
}

QSize CQenListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), CQenListCtrl::kRowHeight};
}

}  // namespace trivane
