// The player's keys on the window, with fake channels: what each does to the channels and the
// controller, which keys the lists keep, and Escape.
#include <QAction>

#include "CardWindow.h"
#include "app/CMainMenu.h"
#include "library/CRecordingManager.h"
#include "widgets/CGdipButton.h"
#include "widgets/CVideoSlider.h"

namespace trivane {
namespace {

using test::CardWindow;
using test::Calls;

// A user watching the card with the file list focused (as after a double click on it).
TEST_F(CardWindow, PlayerKeysDriveBothChannelsWhileTheFileListHasFocus)
{
    Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTreeWidget* files = List(IDC_FILE_LIST);
    files->setFocus();
    files->setCurrentItem(files->topLevelItem(0));
    front.Take();
    rear.Take();
    const auto both = [&](const Calls& calls) {
        EXPECT_EQ(front.Take(), calls);
        EXPECT_EQ(rear.Take(), calls);
    };

    // Paused, a frame on, a frame back.
    QTest::keyClick(files, Qt::Key_Space);
    both({"pause"});
    QTest::keyClick(files, Qt::Key_Period);
    both({"next frame"});
    QTest::keyClick(files, Qt::Key_Comma);
    both({"time 20"});  // the middle of the first picture

    // Seeks add up and wait for the seek timer, which sets both channels.
    QTest::keyClick(files, Qt::Key_Right);
    QTest::keyClick(files, Qt::Key_Right);
    QTest::keyClick(files, Qt::Key_Left);
    EXPECT_EQ(window->Controller().PendingSeekMs(), 5020);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Controller().SeekPending(); }, 2000));
    EXPECT_EQ(front.Last("time"), "time 5020");
    EXPECT_EQ(rear.Last("time"), "time 5020");

    // Playing again, frame steps are ignored; speed and sound follow their buttons.
    QTest::keyClick(files, Qt::Key_Space);
    QTest::keyClick(files, Qt::Key_Period);
    QTest::keyClick(files, Qt::Key_Plus);
    EXPECT_EQ(window->Controller().SpeedIndex(), kNormalSpeedIndex + 1);
    QTest::keyClick(files, Qt::Key_Minus);
    QTest::keyClick(files, Qt::Key_M);
    EXPECT_TRUE(static_cast<CGdipButton*>(window->Control(IDC_VOL))->AlternateShown());
    QTest::keyClick(files, Qt::Key_M);
    EXPECT_EQ(front.Count("next frame"), 0);
    EXPECT_EQ(front.Count("play"), 1);
    EXPECT_EQ(front.Last("rate"), "rate 1.0");
    EXPECT_EQ(rear.Last("rate"), "rate 1.0");
    for (const test::FakeChannel* channel : {&front, &rear}) {
        EXPECT_EQ(channel->Count("mute"), 1);
        EXPECT_EQ(channel->Count("unmute"), 1);
    }

    // The list keeps its own Up and Down.
    QTest::keyClick(files, Qt::Key_Down);
    EXPECT_EQ(files->currentItem(), files->topLevelItem(1));
    QTest::keyClick(files, Qt::Key_Up);
    EXPECT_EQ(files->currentItem(), files->topLevelItem(0));

    // Ctrl+O asks for a source as the Open button does (once the recording has begun).
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 6000);
    QTest::keyClick(files, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(sourceDialogs, 1);
    EXPECT_TRUE(events.empty());
}

// Space ticks the group list's current group; F and Escape go in and out of full-screen video,
// and Escape never closes the window.
TEST_F(CardWindow, GroupListKeepsSpaceAndEscapeOnlyLeavesFullScreen)
{
    Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->Menu().Action(IDM_GROUPS)->trigger();
    QTreeWidget* groups = List(IDC_GROUP_LIST);
    groups->setFocus();
    groups->setCurrentItem(groups->topLevelItem(1));
    front.Take();
    QTest::keyClick(groups, Qt::Key_Space);
    EXPECT_EQ(groups->topLevelItem(1)->checkState(0), Qt::Checked);
    EXPECT_EQ(front.Count("pause"), 0);

    QTest::keyClick(groups, Qt::Key_F);
    EXPECT_TRUE(window->IsFullScreenVideo());
    EXPECT_FALSE(groups->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->IsFullScreenVideo());
    EXPECT_TRUE(groups->isVisible());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->IsFullScreenVideo());
}

// One group of three recordings: a hard stop 10 s into the first, a quiet second, a swerve 20 s
// into the third. N and P step through the group's events, opening the recording that holds one.
TEST_F(CardWindow, EventKeysStepThroughTheGroupsEventsAcrossItsRecordings)
{
    Start(false);
    OpenEventCard();

    // Playing the first recording: its stop is marked a third of the way along.
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 1000);
    const auto* slider = static_cast<CVideoSlider*>(window->Control(IDC_POSITION_SLIDER));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !slider->EventMarks().empty(); }, 2000));
    EXPECT_EQ(slider->EventMarks(), std::vector<int>{333});

    // A key, then for a recording it opens the front channel's Opening (which ends any seek still
    // waiting) and start of play as libVLC reports them; true once the channel was sent to `ms`.
    const auto jump = [&](Qt::Key key, std::int64_t ms, bool opens) {
        front.Take();
        QTest::keyClick(window.get(), key);
        if (opens) {
            front.Fire(VlcEventType::MediaPlayerOpening);
            front.Fire(VlcEventType::MediaPlayerPlaying);
        }
        const std::string sent = "time " + std::to_string(ms);
        return QTest::qWaitFor([&] { return front.Last("time") == sent; }, 3000);
    };
    // N: the stop, in the recording on show.
    ASSERT_TRUE(jump(Qt::Key_N, 10000, false));
    EXPECT_EQ(front.Count("open"), 0);
    // N again: past the quiet recording, the third opens at its swerve, sent there once it plays.
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 11000);
    ASSERT_TRUE(jump(Qt::Key_N, 20000, true));
    EXPECT_EQ(front.Last("open"), "open " + card + "/FILE0003.AVI");
    EXPECT_EQ(front.Count("time"), 1);
    EXPECT_EQ(window->Manager().CurrentIndex(), 2);
    // The last event of the group: N does nothing.
    front.Take();
    QTest::keyClick(window.get(), Qt::Key_N);
    EXPECT_FALSE(window->Controller().SeekPending());
    EXPECT_TRUE(front.Take().empty());
    // P: back to the first recording's stop.
    ASSERT_TRUE(jump(Qt::Key_P, 10000, true));
    EXPECT_EQ(front.Last("open"), "open " + card + "/FILE0001.AVI");
    EXPECT_EQ(window->Manager().CurrentIndex(), 0);
}

}  // namespace
}  // namespace trivane
