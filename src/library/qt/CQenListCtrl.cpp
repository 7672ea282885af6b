#include "library/qt/CQenListCtrl.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "library/qt/CQenListDelegate.h"
#include "widgets/WindowMessage.h"

namespace trivane {

namespace {

// Item data of column 0 that marks the highlighted row.
constexpr int kHighlightRole = Qt::UserRole + 1;

}  // namespace

CQenListCtrl::CQenListCtrl(QWidget* parent, TextLookup lookup, std::vector<int> titleIds, int widthNumerator,
                           int widthDenominator, int doubleClickMessage)
    : QTreeWidget(parent),
      m_lookup(std::move(lookup)),
      m_titleIds(std::move(titleIds)),
      m_widthNumerator(widthNumerator),
      m_widthDenominator(widthDenominator),
      m_doubleClickMessage(doubleClickMessage) {
    resize(0, 0);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    setItemDelegate(new CQenListDelegate(this));
}

void CQenListCtrl::CreateColumns() {
    setColumnCount(static_cast<int>(m_titleIds.size()));
    m_columnsCreated = true;
    RefreshColumnTitles();
    ApplyColumnWidths();
}

void CQenListCtrl::RefreshColumnTitles() {
    QTreeWidgetItem* titles = headerItem();
    const int columns = std::min(columnCount(), static_cast<int>(m_titleIds.size()));
    for (int c = 0; c < columns; ++c) {
        const std::string text = m_lookup ? m_lookup(m_titleIds[static_cast<std::size_t>(c)]) : std::string();
        titles->setText(c, QString::fromStdString(text));
    }
}

int CQenListCtrl::RowCount() const { return topLevelItemCount(); }

QTreeWidgetItem* CQenListCtrl::Row(int row) const { return IsRow(row) ? topLevelItem(row) : nullptr; }

bool CQenListCtrl::IsRowHighlighted(int row) const {
    const QTreeWidgetItem* item = Row(row);
    return item != nullptr && item->data(0, kHighlightRole).toBool();
}

int CQenListCtrl::RowAt(QPoint viewportPoint) const {
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() ? index.row() : -1;
}

QTreeWidgetItem* CQenListCtrl::AppendRow(std::span<const std::string> texts) {
    auto* item = new QTreeWidgetItem;
    for (std::size_t c = 0; c < texts.size(); ++c)
        item->setText(static_cast<int>(c), QString::fromStdString(texts[c]));
    const int before = RowCount();
    addTopLevelItem(item);
    if (RowCount() != before + 1) {
        delete item;
        return nullptr;
    }
    return item;
}

void CQenListCtrl::ClearRows() { clear(); }

void CQenListCtrl::SetRowHighlight(int row, bool on) {
    if (QTreeWidgetItem* item = Row(row)) item->setData(0, kHighlightRole, on);
}

void CQenListCtrl::ScrollToRow(int row) {
    if (QTreeWidgetItem* item = Row(row)) scrollToItem(item, QAbstractItemView::EnsureVisible);
}

void CQenListCtrl::ApplyColumnWidths() {
    if (m_widthsApplied || !m_hasRealSize || !m_columnsCreated) return;
    const int share = width() * m_widthNumerator / m_widthDenominator;
    for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, share);
    m_widthsApplied = true;
}

void CQenListCtrl::resizeEvent(QResizeEvent* event) {
    QTreeWidget::resizeEvent(event);
    if (!m_hasRealSize && event->size().width() > 0) {
        m_hasRealSize = true;
        ApplyColumnWidths();
    }
}

void CQenListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const int row = RowAt(event->position().toPoint());
    SendWindowMessage(parentWidget(), m_doubleClickMessage, static_cast<std::uintptr_t>(row), 0);
}

}  // namespace trivane
