// The playback controller's state machine on a temporary card, with channels and window that
// record what they are asked to do.
#include "playback/CPlaybackController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "FakeChannel.h"
#include "TestCard.h"
#include "library/CRecordingManager.h"
#include "playback/WindowMessages.h"

namespace trivane {
namespace {

using test::TempDir;
using test::Calls;
using test::FakeChannel;
using test::WindowThreadOnly;

struct Posted {
    int message;
    std::uintptr_t wParam;
    bool operator==(const Posted&) const = default;
};

class FakeView final : public IPlaybackView, public WindowThreadOnly {
public:
    void PostMessage(int message, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard lock(mutex_);
        queue_.push_back({message, wParam, lParam});
    }
    std::size_t Queued() {
        std::lock_guard lock(mutex_);
        return queue_.size();
    }
    std::vector<Posted> TakePosted() {
        std::vector<Posted> posted;
        for (const Message& m : Drain()) posted.push_back({m.message, m.wParam});
        return posted;
    }
    // The window's event loop: queued messages go back to the controller, including those posted meanwhile.
    void Pump(CPlaybackController& controller) {
        for (auto batch = Drain(); !batch.empty(); batch = Drain()) {
            for (const Message& m : batch) controller.HandleMessage(m.message, m.wParam, m.lParam);
        }
    }
    void ShowSurface(int channel, bool shown) override { Touch(); surfaces[channel] = shown; }
    std::uint32_t SurfaceWindow(int channel) override { Touch(); return 0x100u + static_cast<std::uint32_t>(channel); }
    void FitSurfaces() override { Touch(); }
    void SetScanBusy(bool busy) override { Touch(); scanBusy.push_back(busy); }
    void SetPlayButtonState(int state) override { Touch(); playButton = state; }
    void SetPositionSlider(int position) override { Touch(); slider = position; }
    int VolumeSliderPosition() const override { Touch(); return 50; }
    void SetGpsIndicator(int value) override { Touch(); gps = value; }
    void SetGSensorStopped(bool, bool) override { Touch(); }
    bool GSensorEnabled() const override { Touch(); return true; }
    bool MapEnabled() const override { Touch(); return false; }
    void StartTimer(int id, int periodMs) override { Touch(); timers[id] = periodMs; }
    void StopTimer(int id) override { Touch(); timers.erase(id); }
    void Wait(int ms) override { Touch(); waits.push_back(ms); }
    void ShowMessage(int textId, int captionId) override {
        Touch();
        messages.emplace_back(textId, captionId);
        if (duringMessage) duringMessage();  // the box's nested event loop
    }
    bool ChooseSource(SourceChoice& choice) override {
        Touch();
        ++sourceDialogs;
        if (source) choice = *source;
        return source.has_value();
    }
    bool ChooseSnapshotPath(std::string& path) override {
        Touch();
        path = snapshotPath;
        return !path.empty();
    }
    bool ConfirmOverwrite(const std::string& path) override {
        Touch();
        overwriteQuestions.push_back(path);
        return overwrite;
    }
    void ShowPathMessage(int textId, int captionId, const std::string& path) override {
        Touch();
        pathMessages.push_back(std::to_string(textId) + " " + std::to_string(captionId) + " " + path);
    }
    void ResetMap() override { Touch(); ++mapResets; }
    bool Running(int id) const { return timers.count(id) != 0; }

    std::map<int, bool> surfaces;
    std::vector<bool> scanBusy;
    int playButton = -1;
    int slider = -1;
    int gps = -1;
    std::map<int, int> timers;
    std::vector<int> waits;
    std::vector<std::pair<int, int>> messages;
    std::function<void()> duringMessage;
    std::optional<SourceChoice> source;
    int sourceDialogs = 0;
    std::string snapshotPath;
    bool overwrite = false;
    std::vector<std::string> overwriteQuestions;
    std::vector<std::string> pathMessages;
    int mapResets = 0;

private:
    struct Message {
        int message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Message> Drain() {
        std::lock_guard lock(mutex_);
        return std::exchange(queue_, {});
    }
    std::mutex mutex_;
    std::vector<Message> queue_;
};

// Catalogue order: 0 a single-camera AVI, 1-2 a front/rear pair, 3 a front-only and 4 a rear-only recording.
class PlaybackControllerTest : public ::testing::Test {
protected:
    PlaybackControllerTest() {
        test::WriteAvi(dir / "DRV_0101.AVI", "2020-06-01 09:00:00");
        test::WriteMov(dir / "FILE0001F.MOV", "2020-06-01 10:00:00");
        test::WriteMov(dir / "FILE0001R.MOV", "2020-06-01 10:00:00", 60, {}, 1280, 720);
        test::WriteMov(dir / "FILE0002F.MOV", "2020-06-01 10:01:00");
        test::WriteMov(dir / "FILE0003R.MOV", "2020-06-01 10:02:00");
        front.AttachEvents(&controller.FrontSink());
        rear.AttachEvents(&controller.RearSink());
    }
    void OpenFolder() {
        controller.OpenSource({SourceKind::Folder, dir.Path()});
        for (int i = 0; i < 5; ++i) controller.OnTimer(IDT_AUTOSTART);
    }
    void Send(int message, int wParam) {
        controller.HandleMessage(message, static_cast<std::uintptr_t>(static_cast<std::intptr_t>(wParam)), 0);
        view.Pump(controller);
    }
    void PlayFile(int index) {
        if (m.Entries().empty()) OpenFolder();
        Send(WM_PLAY_FILE, index);
        front.Take();
        rear.Take();
    }
    std::string Open(const char* name) { return "open " + (dir / name); }

    TempDir dir;
    CRecordingManager m;
    FakeChannel front;
    FakeChannel rear;
    FakeView view;
    std::atomic<std::int64_t> nowMs{3'600'000};  // the controller's monotonic clock
    CPlaybackController controller{m, front, rear, view, [this] {
        return PlaybackClock::Monotonic::time_point(std::chrono::milliseconds(nowMs.load()));
    }};
};

TEST_F(PlaybackControllerTest, FolderStartsItsFirstRecordingAfterFiveTicksAndFileSourceAtOnce) {
    view.source = SourceChoice{SourceKind::Folder, dir.Path()};
    controller.Open();
    ASSERT_EQ(m.Entries().size(), 5u);
    EXPECT_EQ(view.scanBusy, (std::vector<bool>{true, false}));
    EXPECT_TRUE(controller.OpeningGuard());
    EXPECT_TRUE(view.Running(IDT_OPEN_GUARD));
    for (int i = 0; i < 4; ++i) controller.OnTimer(IDT_AUTOSTART);
    EXPECT_EQ(front.Count("open"), 0);
    controller.OnTimer(IDT_AUTOSTART);
    EXPECT_FALSE(view.Running(IDT_AUTOSTART));
    // A camera that records alone: its own file plays on the front channel, the rear is blanked.
    EXPECT_EQ(front.Last("open"), Open("DRV_0101.AVI"));
    EXPECT_EQ(front.Count("play"), 1);
    EXPECT_TRUE(controller.FrontIsMaster());
    EXPECT_EQ(rear.Count("recreate 0"), 1);
    EXPECT_EQ(rear.Count("open"), 0);
    EXPECT_FALSE(controller.RearInUse());
    // The guard holds until the first time update.
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 0);
    view.Pump(controller);
    EXPECT_FALSE(controller.OpeningGuard());

    front.Take();
    controller.OpenSource({SourceKind::File, dir / "FILE0001R.MOV"});
    EXPECT_EQ(m.Entries().size(), 1u);
    EXPECT_EQ(front.Last("window"), "window 256");
    EXPECT_EQ(front.Last("open"), Open("FILE0001F.MOV"));
    EXPECT_EQ(rear.Last("open"), Open("FILE0001R.MOV"));
    EXPECT_EQ(view.playButton, 1);
    EXPECT_FALSE(controller.OpeningGuard());
}

TEST_F(PlaybackControllerTest, EitherFileOfAPairPlaysFrontOnFrontAndRearOnRear) {
    OpenFolder();
    front.Take();
    rear.Take();
    // The marquee is sized for the chosen recording's picture: 1080 lines, or 720 for the rear file.
    // The rear player was rebuilt for the single-camera recording: speed and sound are set again.
    for (auto [index, marquee, rebuilt] : {std::tuple{1, "marquee 1.0 X 108 off", Calls{"rate 1.0", "unmute"}},
                                           std::tuple{2, "marquee 1.0 X 72 off", Calls{}}}) {
        SCOPED_TRACE(index);
        Send(WM_PLAY_FILE, index);
        EXPECT_EQ(view.waits.back(), 200);
        EXPECT_EQ(front.Take(), (Calls{"stop", Open("FILE0001F.MOV"), "play", marquee}));
        Calls expected{"stop", marquee, "window 257", Open("FILE0001R.MOV")};
        expected.insert(expected.end(), rebuilt.begin(), rebuilt.end());
        expected.push_back("play");
        EXPECT_EQ(rear.Take(), expected);
        EXPECT_EQ(controller.PlayingFrontPath(), dir / "FILE0001F.MOV");
    }
    // A rear-only recording: the rear channel is master and its events drive slider and telemetry.
    Send(WM_PLAY_FILE, 4);
    EXPECT_FALSE(controller.FrontIsMaster());
    EXPECT_EQ(front.Count("open"), 0);
    EXPECT_EQ(rear.Last("open"), Open("FILE0003R.MOV"));
    rear.length = 40000;
    rear.Fire(VlcEventType::MediaPlayerTimeChanged, 10000);
    view.Pump(controller);
    EXPECT_EQ(view.slider, 250);
    EXPECT_FALSE(controller.OpeningGuard());
}

TEST_F(PlaybackControllerTest, EndSkipsThePairsOtherFileAndTheLastWrapsToTheFirst) {
    OpenFolder();
    for (int i = 0; i < 5; ++i) controller.Faster();
    controller.SetMute(true);
    front.Take();
    rear.Take();
    // The speed carries on into the next recording, also on the rear player rebuilt for the single camera.
    front.Fire(VlcEventType::MediaPlayerEndReached);
    view.Pump(controller);
    EXPECT_EQ(m.CurrentIndex(), 1);
    EXPECT_EQ(front.Take(), (Calls{Open("FILE0001F.MOV"), "play", "marquee 2.0 X 108 on", "volume 100"}));
    EXPECT_EQ(rear.Take(), (Calls{"marquee 2.0 X 108 on", "window 257", Open("FILE0001R.MOV"), "rate 2.0", "mute",
                                  "play", "volume 100"}));

    front.Fire(VlcEventType::MediaPlayerEndReached);
    view.Pump(controller);
    EXPECT_EQ(m.CurrentIndex(), 3);
    EXPECT_EQ(front.Take(), (Calls{Open("FILE0002F.MOV"), "play", "marquee 2.0 X 108 on", "volume 100"}));
    EXPECT_EQ(rear.Take(), (Calls{"marquee 2.0 X 108 on", "recreate 0", "volume 100"}));

    PlayFile(4);
    rear.Fire(VlcEventType::MediaPlayerEndReached);
    view.Pump(controller);
    EXPECT_EQ(m.CurrentIndex(), 0);
    EXPECT_EQ(front.Last("open"), Open("DRV_0101.AVI"));
    EXPECT_TRUE(controller.FrontIsMaster());
}

TEST_F(PlaybackControllerTest, WithoutAutoPlayNextTheEndRewindsAndPausesEachChannelOnceItPlays) {
    controller.ToggleAutoPlayNext();
    PlayFile(1);
    front.Fire(VlcEventType::MediaPlayerEndReached);
    view.Pump(controller);
    EXPECT_EQ(front.Take(), (Calls{"stop", "play"}));
    EXPECT_EQ(rear.Take(), (Calls{"stop", "play"}));
    EXPECT_EQ(view.slider, 0);
    // The rear channel drives nothing while the front is master, but its start of play still counts.
    rear.Fire(VlcEventType::MediaPlayerPlaying);
    front.Fire(VlcEventType::MediaPlayerPlaying);
    front.Fire(VlcEventType::MediaPlayerPlaying);
    view.Pump(controller);
    EXPECT_EQ(front.Take(), (Calls{"pause"}));
    EXPECT_EQ(rear.Take(), (Calls{"pause"}));
    EXPECT_EQ(m.CurrentIndex(), 1);
}

TEST_F(PlaybackControllerTest, PlayPausePausesWithoutTogglingAndResumingResetsTheSpeed) {
    PlayFile(1);
    controller.PlayPause();
    controller.Faster();
    EXPECT_EQ(front.Take(), (Calls{"pause", "rate 1.2", "marquee 1.2 X 108 on"}));
    EXPECT_EQ(rear.Take(), (Calls{"pause", "rate 1.2", "marquee 1.2 X 108 on"}));
    controller.PlayPause();
    EXPECT_EQ(controller.SpeedIndex(), kNormalSpeedIndex);
    EXPECT_EQ(front.Take(), (Calls{"play", "rate 1.0", "marquee 1.0 X 108 off"}));
    EXPECT_EQ(rear.Take(), (Calls{"rate 1.0", "marquee 1.0 X 108 off", "play"}));

    view.snapshotPath = "/shots/day.one.jpg";
    controller.Snapshot();
    EXPECT_EQ(front.Take(), (Calls{"pause", "snapshot /shots/day.one_f.jpg", "play"}));
    EXPECT_EQ(rear.Take(), (Calls{"pause", "snapshot /shots/day.one_r.jpg", "play"}));
}

TEST_F(PlaybackControllerTest, SpeedStopsAtTheTableEndsAndTheMarqueeIsRepeatedTenTimes) {
    PlayFile(1);
    EXPECT_TRUE(view.Running(IDT_MARQUEE));
    for (int i = 0; i < 10; ++i) controller.OnTimer(IDT_MARQUEE);
    EXPECT_EQ(controller.MarqueeTicks(), 0);
    EXPECT_TRUE(view.Running(IDT_MARQUEE));
    controller.OnTimer(IDT_MARQUEE);
    EXPECT_FALSE(view.Running(IDT_MARQUEE));
    EXPECT_EQ(front.Count("marquee"), 11);

    for (int i = 0; i < 12; ++i) controller.Faster();
    EXPECT_EQ(controller.SpeedIndex(), 17);
    EXPECT_EQ(front.Last("rate"), "rate 4.0");
    EXPECT_EQ(front.Last("marquee"), "marquee 4.0 X 108 on");
    for (int i = 0; i < 20; ++i) controller.Slower();
    EXPECT_EQ(controller.SpeedIndex(), 0);
    EXPECT_EQ(rear.Last("rate"), "rate 0.3");
    EXPECT_EQ(rear.Last("marquee"), "marquee 0.3 X 108 on");

    // Without a front file the front channel gets no rate.
    PlayFile(4);
    controller.Faster();
    EXPECT_EQ(front.Count("rate"), 0);
    EXPECT_EQ(rear.Last("rate"), "rate 1.2");
}

TEST_F(PlaybackControllerTest, SliderSeekWaitsForTheSeekTimerAndTimeEventsDoNotMoveTheSlider) {
    PlayFile(1);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 1000);  // queued before the seek
    Send(WM_SEEK_TO_SLIDER, 500);
    EXPECT_EQ(controller.PendingSeekMs(), 30000);
    EXPECT_EQ(view.slider, -1);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 2000);
    EXPECT_TRUE(view.TakePosted().empty());
    EXPECT_EQ(front.Count("time"), 0);

    controller.OnTimer(IDT_SEEK);
    EXPECT_EQ(front.Take(), (Calls{"time 30000"}));
    EXPECT_EQ(rear.Take(), (Calls{"time 30000"}));
    EXPECT_EQ(controller.PendingSeekMs(), 0);
    controller.OnTimer(IDT_SEEK);
    EXPECT_FALSE(view.Running(IDT_SEEK));
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 31000);
    view.Pump(controller);
    EXPECT_EQ(view.slider, 516);

    // The slider's left end is a target like any other.
    Send(WM_SEEK_TO_SLIDER, 0);
    EXPECT_TRUE(controller.SeekPending());
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 32000);
    EXPECT_EQ(view.Queued(), 0u);
    controller.OnTimer(IDT_SEEK);
    EXPECT_EQ(front.Take(), (Calls{"time 0"}));
    EXPECT_EQ(rear.Take(), (Calls{"time 0"}));
    EXPECT_FALSE(controller.SeekPending());
}

TEST_F(PlaybackControllerTest, TheClockFollowsTheMasterAndADriftingRearIsSeekedBackWithoutTouchingTheFront) {
    PlayFile(1);
    // The rear runs 400 ms ahead; both report every 300 ms.
    auto both = [&](std::int64_t frontMs) {
        nowMs += 300;
        rear.Fire(VlcEventType::MediaPlayerTimeChanged, frontMs + 400);
        front.Fire(VlcEventType::MediaPlayerTimeChanged, frontMs);
        view.Pump(controller);
    };
    for (std::int64_t t = 1000; t < 1900; t += 300) both(t);
    EXPECT_EQ(rear.Count("time"), 0) << "the start's first samples and one sample beyond are not acted on";
    both(1900);
    EXPECT_EQ(rear.Take(), (Calls{"time 1900"}));
    EXPECT_EQ(front.Count("time"), 0);
    EXPECT_EQ(controller.Drift().LastDriftMs(), 400);

    EXPECT_TRUE(controller.Clock().Running());
    nowMs += 120;
    EXPECT_EQ(controller.Clock().TimeMs(), 2020);
    controller.PlayPause();
    nowMs += 500;
    EXPECT_FALSE(controller.Clock().Running());
    EXPECT_EQ(controller.Clock().TimeMs(), 2020);

    // Switched off, the rear is only measured.
    controller.PlayPause();
    controller.SetDriftCorrection(false);
    for (std::int64_t t = 5000; t < 8000; t += 300) both(t);
    EXPECT_EQ(rear.Count("time"), 0);
    EXPECT_EQ(controller.Drift().LastDriftMs(), 400);
    // A seek of both channels is no drift; the clock restarts from its target.
    controller.SetDriftCorrection(true);
    controller.SeekFromSliderScroll(500);
    controller.OnTimer(IDT_SEEK);
    EXPECT_EQ(controller.Clock().TimeMs(), 30000);
    controller.Stop();
    EXPECT_FALSE(controller.Clock().Anchored());
}

// The keys' seeks go from the picture (the clock, or a seek still waiting) and wait for the seek
// timer; frame steps act at once, only while paused, and step back picture by picture.
TEST_F(PlaybackControllerTest, KeySeeksAddUpWithinTheRecordingAndFrameStepsOnlyWhilePaused) {
    PlayFile(1);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 10000);
    view.Pump(controller);
    controller.StepFrame(true);
    EXPECT_TRUE(front.Take().empty()) << "stepped while playing";

    controller.SeekBy(5000);
    controller.SeekBy(5000);
    EXPECT_EQ(controller.PendingSeekMs(), 20000);
    EXPECT_EQ(view.slider, 333);
    EXPECT_EQ(front.Count("time"), 0);
    controller.OnTimer(IDT_SEEK);
    EXPECT_EQ(front.Take(), (Calls{"time 20000"}));
    EXPECT_EQ(rear.Take(), (Calls{"time 20000"}));

    // Paused at 30 fps (picture 600 starts at 20000 ms): three pictures on, then back to the
    // middle of each picture before, down to the first one.
    controller.PlayPause();
    front.Take();
    rear.Take();
    front.frameRate = 30;
    for (int i = 0; i < 3; ++i) controller.StepFrame(true);
    EXPECT_EQ(front.Take(), (Calls{"next frame", "next frame", "next frame"}));
    EXPECT_EQ(rear.Take(), (Calls{"next frame", "next frame", "next frame"}));
    EXPECT_EQ(controller.Clock().TimeMs(), 20117);
    EXPECT_EQ(view.slider, 335);
    for (int i = 0; i < 4; ++i) controller.StepFrame(false);
    EXPECT_EQ(front.Take(), (Calls{"time 20083", "time 20050", "time 20017", "time 19983"}));
    EXPECT_EQ(rear.Take(), (Calls{"time 20083", "time 20050", "time 20017", "time 19983"}));
    EXPECT_FALSE(controller.SeekPending());

    // Within the recording, and nothing once stopped.
    controller.SeekBy(-60000);
    controller.OnTimer(IDT_SEEK);
    controller.StepFrame(false);
    EXPECT_EQ(front.Take(), (Calls{"time 0", "time 17"}));
    controller.SeekBy(120000);
    EXPECT_EQ(controller.PendingSeekMs(), 60000);
    controller.Stop();
    front.Take();
    controller.SeekBy(5000);
    controller.StepFrame(true);
    EXPECT_FALSE(controller.SeekPending());
    EXPECT_TRUE(front.Take().empty());
}

TEST_F(PlaybackControllerTest, TimeUpdatesCoalesceIntoOneQueuedMessageThatShowsTheLatestTime) {
    PlayFile(1);
    for (int t = 0; t < 100; ++t) front.Fire(VlcEventType::MediaPlayerTimeChanged, t * 100);
    EXPECT_EQ(view.Queued(), 1u);
    view.Pump(controller);
    EXPECT_EQ(view.slider, 165);  // 9900 of 60000 ms
    // An update of an earlier start is dropped; the next one is posted again.
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 12000);
    Send(WM_PLAY_FILE, 3);
    EXPECT_EQ(view.slider, 165);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 30000);
    EXPECT_EQ(view.Queued(), 1u);
    view.Pump(controller);
    EXPECT_EQ(view.slider, 500);
}

TEST_F(PlaybackControllerTest, GroupSelectionWaitsForTheOpeningGuard) {
    OpenFolder();
    front.Take();
    Send(WM_PLAY_GROUP, 2);
    EXPECT_EQ(front.Count("stop"), 0);
    EXPECT_EQ(m.CurrentIndex(), 0);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 0);
    view.Pump(controller);
    Send(WM_PLAY_GROUP, -1);
    EXPECT_EQ(front.Count("stop"), 0);

    Send(WM_PLAY_GROUP, 2);
    const int first = m.Groups().at(2).firstIndex;
    EXPECT_EQ(m.CurrentIndex(), first);
    EXPECT_EQ(front.Last("open"), "open " + m.FullPath(first));
    EXPECT_TRUE(controller.OpeningGuard());
    controller.OnTimer(IDT_OPEN_GUARD);
    EXPECT_FALSE(controller.OpeningGuard());
}

TEST_F(PlaybackControllerTest, TheOpeningEndsWhenTheRecordingEndsEarlyOrNothingPlays) {
    OpenFolder();
    EXPECT_TRUE(controller.OpeningGuard());
    // Ended before its first time update.
    front.Fire(VlcEventType::MediaPlayerEndReached);
    EXPECT_FALSE(controller.OpeningGuard());
    view.Pump(controller);

    // Without libVLC no channel plays and no event will ever come: lists and OPEN stay usable.
    front.loaded = false;
    rear.loaded = false;
    Send(WM_PLAY_FILE, 3);
    EXPECT_EQ(m.CurrentIndex(), 3);
    EXPECT_FALSE(controller.OpeningGuard());
    EXPECT_FALSE(view.Running(IDT_OPEN_GUARD));
    Send(WM_PLAY_GROUP, 1);
    EXPECT_EQ(m.CurrentIndex(), m.Groups().at(1).firstIndex);
    view.source = SourceChoice{SourceKind::Disk, dir.Path()};
    controller.Open();
    EXPECT_EQ(view.sourceDialogs, 1);
    EXPECT_FALSE(controller.OpeningGuard());
}

TEST_F(PlaybackControllerTest, PlayerErrorsShowOneBoxAtATimeAndLeavePlaybackAndOpenAlone) {
    PlayFile(1);
    EXPECT_TRUE(controller.OpeningGuard());
    // More errors arrive while the box's own event loop runs.
    view.duringMessage = [&, nested = 0]() mutable {
        if (nested++ > 0) return;
        front.Fire(VlcEventType::MediaPlayerEncounteredError);
        front.Fire(VlcEventType::MediaPlayerEncounteredError);
        view.Pump(controller);
    };
    front.Fire(VlcEventType::MediaPlayerEncounteredError);
    view.Pump(controller);
    EXPECT_EQ(view.messages, (std::vector<std::pair<int, int>>{{102, 0}}));
    EXPECT_TRUE(front.Take().empty());
    EXPECT_TRUE(rear.Take().empty());
    view.duringMessage = nullptr;
    front.Fire(VlcEventType::MediaPlayerEncounteredError);
    view.Pump(controller);
    EXPECT_EQ(view.messages.size(), 2u);

    EXPECT_FALSE(controller.OpeningGuard());
    view.source = SourceChoice{SourceKind::Folder, dir.Path()};
    controller.Open();
    EXPECT_EQ(view.sourceDialogs, 1);
    EXPECT_EQ(controller.AutoStartCountdown(), 5);
}

TEST_F(PlaybackControllerTest, TheRearFollowsTheMastersPlayPauseButAnEndedRearStaysEnded) {
    PlayFile(1);
    // The rear file is the shorter one: it ends while the front plays on.
    rear.Fire(VlcEventType::MediaPlayerEndReached);
    view.Pump(controller);
    controller.PlayPause();
    controller.PlayPause();
    view.snapshotPath = dir / "shot.png";
    controller.Snapshot();
    EXPECT_EQ(front.Take(), (Calls{"pause", "play", "pause", "snapshot " + (dir / "shot_f.png"), "play"}));
    EXPECT_TRUE(rear.Take().empty());

    // Out of step (the rear paused on its own while the front plays): the master's decision counts.
    PlayFile(2);
    rear.SetPause(true);
    rear.Take();
    controller.PlayPause();
    EXPECT_EQ(front.Take(), (Calls{"pause"}));
    EXPECT_EQ(rear.Take(), (Calls{"pause"}));
    controller.PlayPause();
    EXPECT_EQ(front.Take(), (Calls{"play"}));
    EXPECT_EQ(rear.Take(), (Calls{"play"}));
}

TEST_F(PlaybackControllerTest, CancelledOpenKeepsPlayingAndStartsStopOrOpenCancelTheAutoStart) {
    PlayFile(1);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 0);
    view.Pump(controller);
    controller.Faster();
    front.Take();
    rear.Take();
    controller.Open();  // the dialog is cancelled
    EXPECT_EQ(view.sourceDialogs, 1);
    EXPECT_TRUE(front.Take().empty());
    EXPECT_TRUE(rear.Take().empty());
    EXPECT_EQ(controller.SpeedIndex(), kNormalSpeedIndex + 1);

    front.Fire(VlcEventType::MediaPlayerTimeChanged, 0);
    view.Pump(controller);
    controller.OpenSource({SourceKind::Folder, dir.Path()});
    Send(WM_PLAY_FILE, 3);
    for (int i = 0; i < 5; ++i) controller.OnTimer(IDT_AUTOSTART);
    EXPECT_EQ(m.CurrentIndex(), 3);
    EXPECT_EQ(front.Count("open"), 1);

    front.Fire(VlcEventType::MediaPlayerTimeChanged, 0);
    view.Pump(controller);
    controller.OpenSource({SourceKind::Folder, dir.Path()});
    controller.Stop();
    EXPECT_FALSE(controller.OpeningGuard());
    for (int i = 0; i < 5; ++i) controller.OnTimer(IDT_AUTOSTART);
    EXPECT_EQ(front.Count("open"), 1);
    EXPECT_FALSE(view.Running(IDT_AUTOSTART));
}

TEST_F(PlaybackControllerTest, SnapshotAsksAboutEachFileItWritesAndReportsAFailure) {
    PlayFile(1);
    const std::string folder = dir / "shots.d";
    test::MakeFolder(folder);
    test::WriteText(folder + "/day_f", "earlier");
    // No extension: none is added, and the folder's dot is not one.
    view.snapshotPath = folder + "/day";
    controller.Snapshot();
    EXPECT_EQ(view.overwriteQuestions, std::vector<std::string>{folder + "/day_f"});
    EXPECT_EQ(front.Take(), (Calls{"pause", "play"}));
    EXPECT_EQ(rear.Take(), (Calls{"pause", "snapshot " + folder + "/day_r", "play"}));

    view.overwrite = true;
    rear.snapshotResult = -1;
    controller.Snapshot();
    EXPECT_EQ(front.Last("snapshot"), "snapshot " + folder + "/day_f");
    EXPECT_EQ(view.pathMessages, std::vector<std::string>{"147 131 " + folder + "/day_r"});

    view.snapshotPath.clear();  // cancelled: the channels play on
    front.Take();
    controller.Snapshot();
    EXPECT_EQ(front.Take(), (Calls{"pause", "play"}));
}

TEST_F(PlaybackControllerTest, AnOpenThatFindsNothingLeavesNothingOfTheLastRecordingOnShow) {
    test::RecordingMapHost map;
    test::RecordingOwner owner;
    m.SetMapHost(&map);
    m.SetOwnerWindow(&owner);
    PlayFile(1);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 0);
    view.Pump(controller);
    map.scripts.clear();
    owner.speeds.clear();
    owner.compass.clear();
    view.gps = 1;

    TempDir empty;
    view.source = SourceChoice{SourceKind::Folder, empty.Path()};
    controller.Open();
    EXPECT_TRUE(m.Entries().empty());
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()"}));
    EXPECT_EQ(view.mapResets, 1);
    EXPECT_EQ(owner.speeds, std::vector<int>{0});
    EXPECT_EQ(owner.compass, std::vector<int>{0});
    EXPECT_EQ(view.gps, 0);
    EXPECT_FALSE(view.surfaces[kFrontChannel] || view.surfaces[kRearChannel]);
    EXPECT_FALSE(controller.OpeningGuard());

    view.source = SourceChoice{SourceKind::File, dir / "GONE0001F.MOV"};
    controller.Open();
    EXPECT_EQ(view.mapResets, 2);
    m.SetMapHost(nullptr);
    m.SetOwnerWindow(nullptr);
}

// The front-only recording being played is deleted: the entry that took its place starts afresh
// on Play/Pause (a Stop in between included) instead of the deleted file coming back.
TEST_F(PlaybackControllerTest, ADroppedRecordingIsNeverPlayedAgain) {
    PlayFile(3);
    m.MutableEntries().erase(m.MutableEntries().begin() + 3);
    controller.DropRecording();
    EXPECT_EQ(front.Take(), (Calls{"stop", "rate 1.0", "open "}));
    EXPECT_EQ(rear.Take(), (Calls{"stop", "rate 1.0", "open "}));
    EXPECT_FALSE(view.surfaces[kFrontChannel] || view.surfaces[kRearChannel]);
    controller.Stop();
    controller.PlayPause();
    EXPECT_EQ(m.CurrentIndex(), 3);
    EXPECT_EQ(rear.Last("open"), Open("FILE0003R.MOV"));
    EXPECT_EQ(front.Count("open"), 0);
    EXPECT_FALSE(controller.FrontIsMaster());
    // From then on Play/Pause pauses and resumes as always.
    rear.Take();
    controller.PlayPause();
    EXPECT_EQ(rear.Take(), (Calls{"pause"}));
}

TEST_F(PlaybackControllerTest, EventsOfAnEarlierStartAreDropped) {
    PlayFile(1);
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 45000);
    front.Fire(VlcEventType::MediaPlayerEndReached);
    // The user's double click is handled before the end that was already queued.
    controller.HandleMessage(WM_PLAY_FILE, 3, 0);
    view.Pump(controller);
    EXPECT_EQ(m.CurrentIndex(), 3);
    EXPECT_EQ(front.Count("open"), 1);
    EXPECT_EQ(view.slider, -1);
}

TEST_F(PlaybackControllerTest, SinksOnlyPostFromLibvlcThreadsAndShutdownDetachesThem) {
    PlayFile(1);
    std::thread libvlc([&] {
        for (VlcEventType type :
             {VlcEventType::MediaPlayerOpening, VlcEventType::MediaPlayerPlaying, VlcEventType::MediaPlayerPaused,
              VlcEventType::MediaPlayerStopped, VlcEventType::MediaPlayerEndReached,
              VlcEventType::MediaPlayerEncounteredError, VlcEventType::MediaPlayerTimeChanged,
              VlcEventType::MediaPlayerBuffering}) {
            front.Fire(type, 1500);
            rear.Fire(type, 1500);
        }
    });
    libvlc.join();
    EXPECT_EQ(view.TakePosted(),
              (std::vector<Posted>{{WM_PLAY_STATE, 5}, {WM_PLAY_STATE, 3}, {WM_PLAY_STATE, 3}, {WM_PLAY_STATE, 4},
                                   {WM_PLAY_STATE, 6}, {WM_END_REACHED, 1}, {WM_PLAYER_ERROR, 1}, {WM_PLAY_TIME, 1500}}));
    controller.HandleMessage(WM_PLAY_TIME, 1500, 0);  // the window took the time message (stale here)

    // Events keep coming while the window seeks and handles them.
    std::atomic<bool> done{false};
    std::thread busy([&] {
        for (std::int64_t t = 0; !done.load(); t += 40) {
            front.Fire(VlcEventType::MediaPlayerTimeChanged, t % 60000);
            rear.Fire(VlcEventType::MediaPlayerTimeChanged, t % 60000);
        }
    });
    for (int i = 1; i <= 200; ++i) {
        controller.HandleMessage(WM_SEEK_TO_SLIDER, static_cast<std::uintptr_t>(i), 0);
        controller.OnTimer(IDT_SEEK);
        view.Pump(controller);
    }
    done = true;
    busy.join();
    EXPECT_FALSE(front.CalledOffThread() || rear.CalledOffThread() || view.CalledOffThread());

    front.Take();
    rear.Take();
    controller.Shutdown();
    EXPECT_EQ(front.Take(), (Calls{"detach", "stop"}));
    EXPECT_EQ(rear.Take(), (Calls{"detach", "stop"}));
}

}  // namespace
}  // namespace trivane
