#include "library/qt/CQenGroupListCtrl.h"

#include <QImage>
#include <QPixmap>

#include "library/ListTexts.h"
#include "playback/WindowMessages.h"
#include "widgets/ArtResources.h"

namespace trivane {

namespace {

constexpr std::uint16_t kPadlockStrip = 158;
constexpr int kPadlockSize = 24;

}  // namespace

CQenGroupListCtrl::CQenGroupListCtrl(QWidget* parent, TextLookup lookup)
    : CQenListCtrl(parent, std::move(lookup), {116, 117, 118, 119, 120}, 1, 5, WM_PLAY_GROUP) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void CQenGroupListCtrl::InitList() {
    CreateColumns();
    setIconSize(QSize(kPadlockSize, kPadlockSize));
    const QImage strip = MagentaToTransparent(LoadBitmapResource(kPadlockStrip));
    for (std::size_t i = 0; i < m_padlocks.size(); ++i) {
        const QImage cell = strip.isNull() ? QImage()
                                           : strip.copy(static_cast<int>(i) * kPadlockSize, 0, kPadlockSize,
                                                        kPadlockSize);
        if (cell.isNull()) {
            QPixmap empty(kPadlockSize, kPadlockSize);
            empty.fill(Qt::transparent);
            m_padlocks[i] = QIcon(empty);
        } else {
            m_padlocks[i] = QIcon(QPixmap::fromImage(cell));
        }
    }
}

void CQenGroupListCtrl::DeleteAllRows() { ClearRows(); }

bool CQenGroupListCtrl::AddGroupRow(std::int32_t number, const std::string& resolution,
                                    std::uint64_t totalDurationMs, std::uint64_t totalSize, std::uint8_t lockFlags,
                                    std::int64_t startTime) {
    const auto texts = GroupColumnTexts(number, resolution, totalDurationMs, totalSize, startTime);
    QTreeWidgetItem* item = AppendRow(texts);
    if (item == nullptr) return false;
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    // Flags beyond the four pictures show the empty one.
    item->setIcon(0, m_padlocks[lockFlags < m_padlocks.size() ? lockFlags : 0]);
    return true;
}

void CQenGroupListCtrl::SetCurrentHighlight(int row, bool on) { SetRowHighlight(row, on); }

void CQenGroupListCtrl::EnsureRowVisible(int row) { ScrollToRow(row); }

bool CQenGroupListCtrl::IsRowChecked(int row) const {
    const QTreeWidgetItem* item = Row(row);
    return item != nullptr && item->checkState(0) == Qt::Checked;
}

}  // namespace trivane
