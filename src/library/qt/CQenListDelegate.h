#pragma once

#include <QStyledItemDelegate>

namespace trivane {

class CQenListCtrl;

// Cell drawing of the lists: the highlighted row in the palette's Highlight and HighlightedText
// whether selected or not; the list's plain-selection row light grey with black text; every
// other cell as usual; grid lines on the right and bottom edges of every cell. Every row is
// kRowHeight high.
class CQenListDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr QRgb kPlainSelectionColour = 0xFFEDEDED;  // (237, 237, 237)

    explicit CQenListDelegate(CQenListCtrl* list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CQenListCtrl* m_list;
};

}  // namespace trivane
