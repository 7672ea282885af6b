// Unlock, Delete and Save as on a temporary card, as a user runs them from the window.
#include <QTimer>

#include <filesystem>
#include <set>

#include "CardWindow.h"
#include "app/CFileCommands.h"
#include "library/CRecordingManager.h"
#include "playback/WindowMessages.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

using test::CardWindow;

const char kNoFiles[] = "OK: No Files in list";
const char kNothingTicked[] =
    "Confirm file selection: No seletected files. Please select some files and try this operation again.";
const char kDeleteQuestion[] = "? Delete Files: Are you sure to delete the checked files?";

TEST_F(CardWindow, EachCommandSaysWhatIsMissingAndStopsThePlayersOnlyWhereFilesMayGo)
{
    Start(false);
    for (int id : {IDC_LOCK, IDC_DEL, IDC_SAVE}) window->OnCommand(id);
    EXPECT_EQ(events, (std::vector<std::string>{kNoFiles, kNoFiles, kNoFiles}));
    events.clear();
    window.reset();

    Start();
    // Nothing ticked. Unlock leaves the players alone.
    front.Take();
    window->OnCommand(IDC_LOCK);
    EXPECT_EQ(front.Count("stop"), 0);
    // Delete stops and hides both players before asking; Cancel ends it there.
    answers = {false, true};
    window->OnCommand(IDC_DEL);
    EXPECT_EQ(front.Count("stop"), 1);
    EXPECT_FALSE(window->Control(IDC_FRONT_SURFACE)->isVisible());
    EXPECT_FALSE(window->Control(IDC_REAR_SURFACE)->isVisible());
    window->OnCommand(IDC_DEL);
    // Save as: cancelled, then a path that is no folder, then a folder.
    folders->answers = {std::nullopt, card + "/FILE240315-081600F.MOV", dir.Path()};
    for (int i = 0; i < 3; ++i) window->OnCommand(IDC_SAVE);
    EXPECT_EQ(events, (std::vector<std::string>{kNothingTicked, kDeleteQuestion, kDeleteQuestion, kNothingTicked,
                                                "Warning: Folder is not exist.", kNothingTicked}));
    EXPECT_EQ(folders->asked, std::vector<std::string>(3, "Select a folder []"));
    EXPECT_TRUE(window->Controller().FrontSurfaceHidden());
    EXPECT_TRUE(window->Controller().RearSurfaceHidden());
    EXPECT_EQ(window->Manager().Entries().size(), 4u);
}

// The recording being played is unlocked: it plays on, and a start after Stop opens it under its
// new name (its old one no longer exists).
TEST_F(CardWindow, UnlockRenamesTheCameraLockedRecordingWhilePlaybackGoesOn)
{
    Start();
    SendWindowMessage(window.get(), WM_PLAY_FILE, 3);
    ASSERT_EQ(window->Manager().CurrentPath(), card + "/FILG240315-081700F.MOV");
    front.Take();
    Tick(2);
    window->OnCommand(IDC_LOCK);
    EXPECT_TRUE(events.empty()) << events.front();
    EXPECT_TRUE(Exists(card + "/FIL_240315-081700F.MOV"));
    EXPECT_FALSE(Exists(card + "/FILG240315-081700F.MOV"));
    EXPECT_EQ(window->Manager().Entries()[3].fileName, "FIL_240315-081700F.MOV");
    EXPECT_EQ(front.Count("stop"), 0);
    EXPECT_FALSE(window->FileCommands().Busy());

    window->OnCommand(IDC_STOP);
    front.Take();
    window->OnCommand(IDC_PLAY);
    EXPECT_EQ(front.Last("open"), "open " + card + "/FIL_240315-081700F.MOV");
}

// The recording being played is deleted: Play starts the recording that took its place, never
// the deleted file. A deletion before the played recording leaves it current at its new place.
TEST_F(CardWindow, DeletingKeepsThePlayerOnRecordingsThatExist)
{
    Start();
    Tick(0);
    window->OnCommand(IDC_DEL);
    EXPECT_EQ(events, (std::vector<std::string>{kDeleteQuestion}));
    EXPECT_FALSE(Exists(card + "/FILE240315-081500F.MOV"));
    EXPECT_FALSE(Exists(card + "/FILE240315-081500R.MOV"));
    ASSERT_EQ(window->Manager().Entries().size(), 2u);
    front.Take();
    window->OnCommand(IDC_PLAY);
    EXPECT_EQ(front.Last("open"), "open " + card + "/FILE240315-081600F.MOV");
    EXPECT_EQ(window->Manager().CurrentIndex(), 0);

    // Now play the last recording and delete the group before it.
    SendWindowMessage(window.get(), WM_PLAY_FILE, 1);
    Tick(0);
    window->OnCommand(IDC_DEL);
    EXPECT_EQ(window->Manager().CurrentIndex(), 0);
    EXPECT_EQ(window->Manager().CurrentPath(), card + "/FILG240315-081700F.MOV");
    front.Take();
    window->OnCommand(IDC_PLAY);
    EXPECT_EQ(front.Count("open"), 0);
    EXPECT_EQ(front.Count("play"), 1);
}

// Copies the ticked group, then again onto the copy: replaced once approved, kept once refused.
// While the copy asks, the window handles events but starts nothing.
TEST_F(CardWindow, SaveAsCopiesTheTickedGroupAndAsksBeforeReplacing)
{
    Start();
    const std::string target = dir.File("out");
    test::MakeFolder(target);
    Tick(1);
    folders->answers = {target, target, target};
    window->OnCommand(IDC_SAVE);
    EXPECT_TRUE(events.empty()) << events.front();
    const std::string copy = target + "/FILE240315-081600F.MOV";
    ASSERT_TRUE(Exists(copy));
    EXPECT_EQ(std::filesystem::file_size(copy), std::filesystem::file_size(card + "/FILE240315-081600F.MOV"));

    test::WriteText(copy, "mine");
    bool held = false;
    int boardColours = 0;
    duringQuestion = [&] {
        // The progress board is up with its percentage readable.
        QWidget* board = window->Control(IDC_STATUS_BOARD);
        const QImage picture = board->isVisible() ? board->grab().toImage() : QImage();
        std::set<QRgb> colours;
        for (int x = 3; x < picture.width() - 3; ++x) colours.insert(picture.pixel(x, picture.height() / 2));
        boardColours = static_cast<int>(colours.size());
        front.Take();
        rear.Take();
        SendWindowMessage(window.get(), WM_PLAY_FILE, 0);  // a double-click on the list
        PostWindowMessage(window.get(), WM_PLAY_GROUP, 0);
        window->OnCommand(IDC_PLAY);
        QTest::qWait(250);  // the player's timers run out meanwhile
        held = window->FileCommands().Busy() && front.Take().empty() && rear.Take().empty();
    };
    answers = {false, true};
    window->OnCommand(IDC_SAVE);
    EXPECT_TRUE(held);
    EXPECT_GE(boardColours, 2);
    EXPECT_EQ(test::ReadText(copy), "mine");
    window->OnCommand(IDC_SAVE);
    EXPECT_NE(test::ReadText(copy), "mine");
    const std::string question = "? Confirm to overwrite the file.: File \"" + copy + "\" is already exist. Are you sure to overwrite it?";
    EXPECT_EQ(events, (std::vector<std::string>{question, question}));
    EXPECT_FALSE(window->Control(IDC_FRONT_SURFACE)->isVisible());
    EXPECT_TRUE(window->Controller().FrontSurfaceHidden());

    // Once the copy is over the list plays again.
    duringQuestion = nullptr;
    SendWindowMessage(window.get(), WM_PLAY_FILE, 2);
    EXPECT_EQ(front.Last("open"), "open " + card + "/FILE240315-081600F.MOV");
}

// A file gone behind the catalogue's back fails; the copy onto the card itself is refused. Each
// time one message names the count, the first failing path and why.
TEST_F(CardWindow, FailuresAreReportedWithTheFirstPathAndItsReason)
{
    Start();
    const std::string gone = card + "/FILE240315-081600F.MOV";
    std::filesystem::remove(gone);
    Tick(1);
    folders->answers = {dir.Path()};
    window->OnCommand(IDC_SAVE);
    window->OnCommand(IDC_DEL);
    const std::string failure = "Warning: 1 file(s) could not be processed. The first was \"" + gone + "\": ";
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].substr(0, failure.size()), failure) << events[0];
    EXPECT_EQ(events[2].substr(0, failure.size()), failure) << events[2];

    events.clear();
    const std::string rearFile = card + "/FILE240315-081500R.MOV";
    const auto size = std::filesystem::file_size(rearFile);
    List(IDC_GROUP_LIST)->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    Tick(0);
    folders->answers = {card};
    window->OnCommand(IDC_SAVE);
    ASSERT_FALSE(events.empty());
    const std::string refused = "Warning: 2 file(s) could not be processed. The first was \"" + card +
                                "/FILE240315-081500F.MOV\": ";
    EXPECT_EQ(events.back().substr(0, refused.size()), refused) << events.back();
    EXPECT_EQ(std::filesystem::file_size(rearFile), size);
}

}  // namespace
}  // namespace trivane
