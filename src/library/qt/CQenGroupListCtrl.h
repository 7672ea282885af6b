#pragma once

#include <QIcon>

#include <array>

#include "library/IGroupList.h"
#include "library/qt/CQenListCtrl.h"

namespace trivane {

// The group list (control 1028): Group, Resolution, Start, Length and File Size, each a fifth of
// the control's width; a check box and a padlock picture (the lock flags 0..3) on every row.
// Single selection. A double-click sends WM_PLAY_GROUP to the parent widget.
class CQenGroupListCtrl final : public CQenListCtrl, public IGroupList {
    Q_OBJECT

public:
    CQenGroupListCtrl(QWidget* parent, TextLookup lookup);

    // Columns and padlock pictures; call once after construction.
    void InitList();

    void DeleteAllRows() override;
    bool AddGroupRow(std::int32_t number, const std::string& resolution, std::uint64_t totalDurationMs,
                     std::uint64_t totalSize, std::uint8_t lockFlags, std::int64_t startTime) override;
    void SetCurrentHighlight(int row, bool on) override;
    void EnsureRowVisible(int row) override;
    bool IsRowChecked(int row) const override;

private:
    std::array<QIcon, 4> m_padlocks;  // picture 0 is empty
};

}  // namespace trivane
