#pragma once

#include <QTreeWidget>

#include <span>
#include <string>
#include <vector>

#include "library/qt/TextLookup.h"

class QTreeWidgetItem;

namespace trivane {

// What the group list and the file list share: a report-style item view with grid lines, rows
// 24 px high selected whole, columns titled from string ids and sized as a share of the
// control's width once it first has a real size, a current-row highlight that is independent of
// the selection, and a double-click that sends the row under the pointer to the parent widget.
//
// Created 0 x 0: the owner's layout gives it its real size, and that first resize to a non-zero
// width sets the column widths.
class CQenListCtrl : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int kRowHeight = 24;

    // Re-reads the column titles from the lookup (after a language change); rows keep their texts.
    void RefreshColumnTitles();

    int RowCount() const;
    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    // Whether SetCurrentHighlight put the highlight on this row; false outside the rows.
    bool IsRowHighlighted(int row) const;
    // Row drawn light grey instead of the usual selection colour, -1 when none.
    virtual int PlainSelectionRow() const { return -1; }
    bool ColumnWidthsApplied() const { return m_widthsApplied; }
    // Row at a point of the viewport, -1 below the last row (or beside every column).
    int RowAt(QPoint viewportPoint) const;

protected:
    // doubleClickMessage goes to the parent widget with the row as wParam and 0 as lParam; a
    // double-click on no row sends -1 as std::uintptr_t, which the receiver turns back into an
    // int (static_cast<int>(static_cast<std::intptr_t>(wParam))).
    CQenListCtrl(QWidget* parent, TextLookup lookup, std::vector<int> titleIds, int widthNumerator,
                 int widthDenominator, int doubleClickMessage);

    // Creates the columns with their titles (and widths when the real size is known already).
    void CreateColumns();
    // Appends a row with these texts; returns it (null when the view did not take it).
    QTreeWidgetItem* AppendRow(std::span<const std::string> texts);
    QTreeWidgetItem* Row(int row) const;  // null outside the rows
    void ClearRows();
    void SetRowHighlight(int row, bool on);
    void ScrollToRow(int row);

    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void ApplyColumnWidths();

    TextLookup m_lookup;
    std::vector<int> m_titleIds;
    int m_widthNumerator;
    int m_widthDenominator;
    int m_doubleClickMessage;
    bool m_columnsCreated = false;  // a new QTreeWidget has one untitled column already
    bool m_hasRealSize = false;
    bool m_widthsApplied = false;
};

}  // namespace trivane
