// The context menu and its shortcuts: the hidden commands, their check marks, the group list.
#include <QAction>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>

#include <filesystem>

#include "CardWindow.h"
#include "app/CMainMenu.h"
#include "library/CRecordingManager.h"
#include "playback/WindowMessages.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

using test::CardWindow;

struct Shown {
    std::string text;
    std::string shortcut;
    bool enabled;
    bool checked;
    bool operator==(const Shown&) const = default;
};

std::vector<Shown> Entries(const QMenu& menu)
{
    std::vector<Shown> out;
    for (const QAction* a : menu.actions()) {
        if (a->isSeparator()) continue;
        out.push_back({a->text().toStdString(), a->shortcut().toString().toStdString(), a->isEnabled(), a->isChecked()});
    }
    return out;
}

// A right click on the background and one on the file list open the same menu.
TEST_F(CardWindow, ContextMenuListsTheHiddenCommandsWithShortcutsAndRunsThem)
{
    Start(false);
    QMenu* menu = window->Menu().Menu();
    QContextMenuEvent onBackground(QContextMenuEvent::Mouse, QPoint(300, 20), window->mapToGlobal(QPoint(300, 20)));
    QApplication::sendEvent(window.get(), &onBackground);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
    // The player's keys first; with nothing in the catalogue, what needs recordings is disabled.
    EXPECT_EQ(Entries(*menu), (std::vector<Shown>{
                                  {"Open...", "Ctrl+O", true, false},
                                  {"Play/Pause video", "Space", true, false},
                                  {"Back 5 s", "Left", true, false},
                                  {"Forward 5 s", "Right", true, false},
                                  {"Previous frame", ",", true, false},
                                  {"Next frame", ".", true, false},
                                  {"Next event", "N", true, false},
                                  {"Previous event", "P", true, false},
                                  {"Mark in", "I", true, false},
                                  {"Mark out", "O", true, false},
                                  {"Faster speed", "+", true, false},
                                  {"Slower speed", "-", true, false},
                                  {"Volume On/Off", "M", true, false},
                                  {"Full screen", "F", true, false},
                                  {"Stop", "Ctrl+.", false, false},
                                  {"Groups", "", true, false},
                                  {"Save as", "Ctrl+S", false, false},
                                  {"Delete", "Del", false, false},
                                  {"Unlock files", "Ctrl+U", false, false},
                                  {"Save GPS data to KML file", "Ctrl+K", false, false},
                                  {"Save GPS data to GPX file", "Ctrl+Shift+K", false, false},
                                  {"Export clip...", "Ctrl+E", false, false},
                                  {"Map", "Ctrl+M", true, true},
                                  {"Route coloured by speed", "Ctrl+Shift+M", true, false},
                                  {"G-Sensor curve", "Ctrl+G", true, true},
                                  {"Auto play next file", "Ctrl+L", true, true},
                                  {"Small window", "Ctrl+1", true, false},
                                  {"Medium window", "Ctrl+2", true, false},
                                  {"About", "F1", true, false},
                              }));
    menu->hide();

    // The file list leaves right clicks to the window.
    QWidget* files = List(IDC_FILE_LIST)->viewport();
    QContextMenuEvent onList(QContextMenuEvent::Mouse, QPoint(10, 10), files->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(files, &onList);
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 1000));
    // Entries run the window's commands and their marks follow the state.
    menu->actions().at(menu->actions().indexOf(window->Menu().Action(IDC_GSR)))->trigger();
    menu->hide();
    EXPECT_FALSE(window->GSensorEnabledFlag());
    EXPECT_FALSE(window->Menu().Action(IDC_GSR)->isChecked());

    // Shortcuts on the window.
    window->activateWindow();
    QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
    EXPECT_FALSE(window->MapEnabledFlag());
    EXPECT_FALSE(window->Menu().Action(IDC_MAP)->isChecked());
    QTest::keyClick(window.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_FALSE(window->Controller().AutoPlayNext());
    EXPECT_FALSE(window->Menu().Action(IDC_LOOP)->isChecked());
    QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(window->size(), QSize(1024, 640));

    // A card opened: the commands on recordings come alive, and the texts follow the language.
    WriteCard();
    window->OpenPath(card);
    EXPECT_TRUE(window->Menu().Action(IDC_DEL)->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return front.Count("play") > 0; }, 3000));
    ASSERT_TRUE(settings->SetLanguage(4));
    SendWindowMessage(window.get(), WM_LANGUAGE_CHANGED);
    EXPECT_EQ(window->Menu().Action(IDM_GROUPS)->text().toStdString(), "Группы");
    EXPECT_EQ(menu->actions().at(5)->text().toStdString(), "Следующий кадр");

    // GPX beside KML in the documents folder, reported as KML is.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(dir.Path()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.File("config")));
    ASSERT_TRUE(settings->SetLanguage(0));
    QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    qputenv("HOME", home);
    qunsetenv("XDG_CONFIG_HOME");
    const std::string gpx = dir.File("Documents/QEN/KML/FILE240315-081500F_2024_03_15_08-15-00.gpx");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "Save GPX: Save GPX file: " + gpx + " OK.");
    EXPECT_TRUE(std::filesystem::exists(gpx));
}

// "Groups" puts the group list where the file list was; its ticks are what Delete removes.
TEST_F(CardWindow, TheGroupListShownFromTheMenuCarriesTheTicksToDelete)
{
    Start();
    const QRect place = List(IDC_FILE_LIST)->geometry();
    window->Menu().Action(IDM_GROUPS)->trigger();
    EXPECT_TRUE(window->GroupsShown());
    EXPECT_TRUE(window->Menu().Action(IDM_GROUPS)->isChecked());
    QTreeWidget* groups = List(IDC_GROUP_LIST);
    EXPECT_TRUE(groups->isVisible());
    EXPECT_FALSE(List(IDC_FILE_LIST)->isVisible());
    EXPECT_EQ(groups->geometry(), place);
    ASSERT_EQ(groups->topLevelItemCount(), 3);

    // A click on the check box of the second group, then the Delete key.
    const QRect box = groups->visualItemRect(groups->topLevelItem(1));
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, QPoint(box.left() + 10, box.center().y()));
    ASSERT_EQ(groups->topLevelItem(1)->checkState(0), Qt::Checked);
    QTest::keyClick(window.get(), Qt::Key_Delete);
    EXPECT_EQ(events, (std::vector<std::string>{"? Delete Files: Are you sure to delete the checked files?"}));
    EXPECT_FALSE(Exists(card + "/FILE240315-081600F.MOV"));
    EXPECT_EQ(window->Manager().Entries().size(), 3u);

    // Full screen hides both lists; back, the group list returns.
    SendWindowMessage(window.get(), WM_TOGGLE_FULLSCREEN);
    EXPECT_FALSE(groups->isVisible());
    EXPECT_FALSE(window->Menu().Action(IDM_GROUPS)->isEnabled());
    SendWindowMessage(window.get(), WM_TOGGLE_FULLSCREEN);
    EXPECT_TRUE(groups->isVisible());
    EXPECT_FALSE(List(IDC_FILE_LIST)->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_NE(window->findChild<QDialog*>(QStringLiteral("100")), nullptr);
}

}  // namespace
}  // namespace trivane
