#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <map>
#include <memory>
#include <vector>

#include "library/ListTexts.h"
#include "library/qt/CQenFileListCtrl.h"
#include "library/qt/CQenGroupListCtrl.h"
#include "library/qt/CQenListDelegate.h"
#include "playback/WindowMessages.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

constexpr std::int64_t kStart = 1672574746;

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void DoubleClick(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                      QEvent::MouseButtonRelease})
        SendMouse(w, type, at, button);
}

// A parent widget that keeps the window messages sent to it.
class MessageLog : public QWidget {
public:
    std::vector<std::pair<int, std::uintptr_t>> messages;

protected:
    bool event(QEvent* e) override {
        const auto* m = dynamic_cast<const CWindowMessageEvent*>(e);
        if (m == nullptr) return QWidget::event(e);
        EXPECT_EQ(m->LParam(), 0);
        messages.emplace_back(m->Message(), m->WParam());
        return true;
    }
};

// Both lists on a parent that logs their messages, titled from a table the test can change.
class ListTest : public ::testing::Test {
protected:
    ListTest() : host(new MessageLog) {
        host->setAttribute(Qt::WA_DontShowOnScreen);
        host->resize(620, 640);
        const TextLookup lookup = [this](int id) { return texts.count(id) ? texts[id] : std::string("?"); };
        groups = new CQenGroupListCtrl(host.get(), lookup);
        files = new CQenFileListCtrl(host.get(), lookup);
    }
    void Place() {
        groups->InitList();
        files->InitList();
        groups->setGeometry(0, 0, 600, 300);
        files->setGeometry(0, 320, 600, 300);
        host->show();
        for (int i = 0; i < 4; ++i) files->AddFileRow("FILE230101-12054" + std::to_string(i) + "F.MOV", 0);
        for (int i = 0; i < 2; ++i) groups->AddGroupRow(i, "FHD", 1000, 0, 0, kStart);
    }
    static QPoint Centre(CQenListCtrl* list, int row, int column) {
        return list->visualRect(list->model()->index(row, column)).center();
    }
    // Colour on screen near the right end of a cell, clear of its text.
    static QString Colour(CQenListCtrl* list, int row, int column) {
        const QRect cell = list->visualRect(list->model()->index(row, column));
        const QPoint at = list->viewport()->mapTo(list, QPoint(cell.right() - 6, cell.center().y()));
        return list->grab().toImage().pixelColor(at).name();
    }

    std::map<int, std::string> texts{{116, "Group"}, {120, "File Size"}, {122, "File Name"}, {124, "Date / Time"}};
    std::unique_ptr<MessageLog> host;
    CQenGroupListCtrl* groups;
    CQenFileListCtrl* files;
};

TEST_F(ListTest, RowTextsTicksAndTitlesAfterALanguageChange) {
    Place();
    ASSERT_EQ(groups->columnCount(), 5);
    ASSERT_EQ(files->columnCount(), 3);
    EXPECT_TRUE(groups->AddGroupRow(3, "HD", 61999, 5 << 20, 3, kStart));
    const auto groupTexts = GroupColumnTexts(3, "HD", 61999, 5 << 20, kStart);
    const auto fileTexts = FileColumnTexts("FILE230101-120542F.MOV");
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(groups->topLevelItem(2)->text(c).toStdString(), groupTexts[static_cast<std::size_t>(c)]);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(files->topLevelItem(2)->text(c).toStdString(), fileTexts[static_cast<std::size_t>(c)]);
    EXPECT_FALSE(files->topLevelItem(0)->data(0, Qt::CheckStateRole).isValid());

    // A click on the check box of row 1 ticks that row only.
    QStyleOptionViewItem option;
    option.initFrom(groups);
    option.rect = groups->visualRect(groups->model()->index(1, 0));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QPoint box = groups->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, groups).center();
    SendMouse(groups->viewport(), QEvent::MouseButtonPress, box);
    SendMouse(groups->viewport(), QEvent::MouseButtonRelease, box);
    EXPECT_TRUE(groups->IsRowChecked(1));
    EXPECT_FALSE(groups->IsRowChecked(0));

    EXPECT_EQ(groups->headerItem()->text(0), "Group");
    texts[116] = "Gruppe";
    texts[122] = "Dateiname";
    groups->RefreshColumnTitles();
    files->RefreshColumnTitles();
    EXPECT_EQ(groups->headerItem()->text(0), "Gruppe");
    EXPECT_EQ(groups->headerItem()->text(4), "File Size");
    EXPECT_EQ(files->headerItem()->text(0), "Dateiname");
    EXPECT_EQ(groups->topLevelItem(2)->text(0), "G3");
    EXPECT_TRUE(groups->IsRowChecked(1));
}

TEST_F(ListTest, RowIndicesOutsideTheListAreHarmless) {
    Place();
    for (int row : {-1, 4, 1000}) {
        groups->SetCurrentHighlight(row, true);
        groups->EnsureRowVisible(row);
        files->SetCurrentHighlight(row, true);
        files->EnsureRowVisible(row);
        EXPECT_FALSE(groups->IsRowChecked(row));
        EXPECT_FALSE(files->IsRowHighlighted(row));
    }
    EXPECT_EQ(files->CurrentItem(), -1);
    files->SetCurrentItem(3);
    files->SetCurrentItem(4);
    files->SetCurrentItem(-1);
    EXPECT_EQ(files->CurrentItem(), 3);
    files->DeleteAllRows();
    EXPECT_EQ(files->CurrentItem(), -1);
    // After a deletion the current group may lie past the end.
    groups->DeleteAllRows();
    groups->SetCurrentHighlight(1, false);
    EXPECT_EQ(groups->RowCount(), 0);
}

TEST_F(ListTest, CurrentRowHighlightIsDrawnWhateverTheSelection) {
    Place();
    const QString highlight = files->palette().color(QPalette::Active, QPalette::Highlight).name();
    const QString base = files->palette().color(QPalette::Base).name();
    const QString grey = QColor::fromRgb(CQenListDelegate::kPlainSelectionColour).name();
    const auto select = [this](int row, QItemSelectionModel::SelectionFlag how) {
        files->selectionModel()->select(files->model()->index(row, 0), how | QItemSelectionModel::Rows);
    };
    files->SetCurrentItem(2);
    files->SetCurrentHighlight(2, true);
    EXPECT_EQ(Colour(files, 2, 1), highlight);
    EXPECT_EQ(Colour(files, 1, 1), base);

    // The first selected row is grey unless it is the current one, which keeps the highlight.
    select(1, QItemSelectionModel::Select);
    select(2, QItemSelectionModel::Select);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(Colour(files, 1, c), grey) << c;
        EXPECT_EQ(Colour(files, 2, c), highlight) << c;
    }
    select(1, QItemSelectionModel::Deselect);
    select(3, QItemSelectionModel::Select);
    EXPECT_EQ(Colour(files, 1, 1), base);
    EXPECT_NE(Colour(files, 3, 1), grey);
    EXPECT_NE(Colour(files, 3, 1), base);

    files->SetCurrentHighlight(2, false);
    files->clearSelection();
    EXPECT_EQ(Colour(files, 2, 1), base);
    groups->SetCurrentHighlight(1, true);
    EXPECT_EQ(Colour(groups, 1, 3), highlight);
    EXPECT_EQ(Colour(groups, 0, 3), base);
}

TEST_F(ListTest, DoubleClickSendsTheRowToTheParent) {
    Place();
    DoubleClick(files->viewport(), Centre(files, 1, 2));
    DoubleClick(files->viewport(), QPoint(20, files->viewport()->height() - 5));
    DoubleClick(groups->viewport(), Centre(groups, 1, 4));
    // Right-button double-clicks say nothing.
    DoubleClick(groups->viewport(), Centre(groups, 0, 2), Qt::RightButton);
    ASSERT_EQ(host->messages.size(), 3u);
    EXPECT_EQ(host->messages[0], std::make_pair(WM_PLAY_FILE, std::uintptr_t{1}));
    EXPECT_EQ(host->messages[1], std::make_pair(WM_PLAY_FILE, static_cast<std::uintptr_t>(-1)));
    EXPECT_EQ(host->messages[2], std::make_pair(WM_PLAY_GROUP, std::uintptr_t{1}));
}

TEST_F(ListTest, ColumnWidthsFollowTheFirstRealSize) {
    groups->InitList();
    host->show();  // the lists are still 0 x 0
    EXPECT_FALSE(groups->ColumnWidthsApplied());
    groups->setGeometry(0, 0, 507, 200);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(groups->columnWidth(c), 101) << c;
    groups->setGeometry(0, 0, 800, 200);
    EXPECT_EQ(groups->columnWidth(0), 101);
    // Sized before its columns exist: the widths come with the columns.
    files->setGeometry(0, 300, 507, 200);
    files->InitList();
    for (int c = 0; c < 3; ++c) EXPECT_EQ(files->columnWidth(c), 152) << c;
}

}  // namespace
}  // namespace trivane
