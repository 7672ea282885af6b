#include "library/qt/CQenFileListCtrl.h"

#include <QItemSelectionModel>

#include <algorithm>

#include "library/ListTexts.h"
#include "playback/WindowMessages.h"

namespace trivane {

CQenFileListCtrl::CQenFileListCtrl(QWidget* parent, TextLookup lookup)
    : CQenListCtrl(parent, std::move(lookup), {122, 118, 124}, 3, 10, WM_PLAY_FILE) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void CQenFileListCtrl::InitList() { CreateColumns(); }

void CQenFileListCtrl::DeleteAllRows() {
    ClearRows();
    m_currentItem = -1;
}

bool CQenFileListCtrl::AddFileRow(const std::string& fileName, std::uint8_t) {
    return AppendRow(FileColumnTexts(fileName)) != nullptr;
}

void CQenFileListCtrl::SetCurrentHighlight(int row, bool on) { SetRowHighlight(row, on); }

void CQenFileListCtrl::EnsureRowVisible(int row) { ScrollToRow(row); }

void CQenFileListCtrl::SetCurrentItem(int row) {
    if (!IsRow(row)) return;
    m_currentItem = row;
    viewport()->update();
}

int CQenFileListCtrl::PlainSelectionRow() const {
    const QItemSelectionModel* model = selectionModel();
    if (model == nullptr) return -1;
    int first = -1;
    for (const QItemSelectionRange& range : model->selection())
        if (range.isValid() && (first < 0 || range.top() < first)) first = range.top();
    return first == m_currentItem ? -1 : first;
}

}  // namespace trivane
