#pragma once

#include "library/IFileList.h"
#include "library/qt/CQenListCtrl.h"

namespace trivane {

// The file list (control 1027): File Name, Start and Date / Time, each 3/10 of the control's
// width. Extended selection; the lowest selected row is drawn light grey unless it is the
// current item, which keeps its highlight. A double-click sends WM_PLAY_FILE to the parent
// widget.
class CQenFileListCtrl final : public CQenListCtrl, public IFileList {
    Q_OBJECT

public:
    CQenFileListCtrl(QWidget* parent, TextLookup lookup);

    // Columns; call once after construction.
    void InitList();

    void DeleteAllRows() override;  // also forgets the current item
    // The lock flags are not shown in this list.
    bool AddFileRow(const std::string& fileName, std::uint8_t lockFlags) override;
    void SetCurrentHighlight(int row, bool on) override;
    void EnsureRowVisible(int row) override;
    // A row outside the list is ignored.
    void SetCurrentItem(int row) override;
    int CurrentItem() const override { return m_currentItem; }

    int PlainSelectionRow() const override;

private:
    int m_currentItem = -1;
};

}  // namespace trivane
