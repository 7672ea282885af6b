// The binding against the real libVLC, on the sample card's recordings and a generated grey clip. Pictures go into memory
// (no display needed) except in the window test, which starts its own X server.
#include "FileText.h"
#include "LiveTestSupport.h"
#include "TempDir.h"
#include "playback/CVlcPlayer.h"
#ifdef TRIVANE_HAVE_JPEG
#include "app/SnapshotJpeg.h"
#endif

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using trivane::CVlcPlayer;
using trivane::VlcEventType;
using trivane::testing::Clock;
using trivane::testing::ClipPath;
using trivane::testing::EventLog;
using trivane::testing::FrameProbe;
using trivane::testing::TimedEvent;

namespace {

// Recordings of the sample card: a 15 s front MOV, a 12 s AVI loop file and a 12 s front TS.
constexpr const char* kFrontMov = "DCIM/MOVF/FILE240315-081500F.MOV";
constexpr const char* kLoopAvi = "DCIM/AVI/DRV_0101.AVI";
constexpr const char* kFrontTs = "DCIM/TSF/FILE240315-083000F.TS";

// One channel rendering into memory with silent audio. The player goes first on destruction.
struct Channel {
    EventLog events;
    FrameProbe frames;
    CVlcPlayer player;

    Channel()
    {
        player.SetAudioOutput("adummy");
        player.AttachEvents(&events);
        player.SetFrameSink(&frames);
    }

    void Start(const char* clip)
    {
        player.OpenMedia(ClipPath(clip).c_str());
        player.Play();
    }

    bool WaitForTime(std::int64_t atLeastMs, std::chrono::milliseconds timeout, TimedEvent* found = nullptr)
    {
        return events.WaitFor(
            [atLeastMs](const TimedEvent& e) {
                return e.event.type == VlcEventType::MediaPlayerTimeChanged && e.event.timeMs >= atLeastMs;
            },
            timeout, found);
    }
};

// A plain top-level X window, as the video surface would be.
class XWindow {
public:
    explicit XWindow(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str()))
    {
        if (display_ == nullptr) {
            return;
        }
        const int screen = DefaultScreen(display_);
        window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, 640, 360, 0, 0,
                                      BlackPixel(display_, screen));
        XMapWindow(display_, window_);
        XSync(display_, False);
    }
    ~XWindow()
    {
        if (display_ != nullptr) {
            XDestroyWindow(display_, window_);
            XCloseDisplay(display_);
        }
    }
    XWindow(const XWindow&) = delete;
    XWindow& operator=(const XWindow&) = delete;

    bool Valid() const { return display_ != nullptr; }
    Display* Connection() const { return display_; }
    std::uint32_t Id() const { return static_cast<std::uint32_t>(window_); }

private:
    Display* display_;
    Window window_ = 0;
};

long long MsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

class VlcPlayerLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No display unless a test starts its own: memory rendering must be enough.
        unsetenv("DISPLAY");
    }
    trivane::testing::Watchdog watchdog_{std::chrono::seconds(45)};
};

}  // namespace

TEST_F(VlcPlayerLive, FirstTimeChangedArrivesSoonInEveryContainer)
{
    for (const char* clip : {kFrontMov, kLoopAvi, kFrontTs}) {
        SCOPED_TRACE(clip);
        Channel channel;
        ASSERT_TRUE(channel.player.IsLoaded());
        const auto started = Clock::now();
        channel.Start(clip);
        EXPECT_EQ(channel.player.Playing(), 1);
        TimedEvent first;
        ASSERT_TRUE(channel.WaitForTime(0, 2000ms, &first)) << "no time event within 2 s";
        EXPECT_LE(MsBetween(started, first.at), 2000);
        EXPECT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerOpening, 0ms));
        EXPECT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerPlaying, 500ms));
        EXPECT_TRUE(channel.frames.WaitForGreen([](std::size_t) { return true; }, 1000ms)) << "no picture";
        // Stopped arrives on this thread, inside Stop.
        channel.player.Stop();
        EXPECT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerStopped, 0ms));
    }
}

TEST_F(VlcPlayerLive, SeekLandsNearTheTarget)
{
    Channel channel;
    channel.Start(kFrontMov);
    ASSERT_TRUE(channel.WaitForTime(0, 2000ms));
    EXPECT_NEAR(static_cast<double>(channel.player.GetLength()), 15000.0, 100.0);
    channel.events.Clear();
    channel.player.SetTime(5000);
    const std::int64_t now = channel.player.GetTime();
    EXPECT_GE(now, 4700);
    EXPECT_LE(now, 5300);
    TimedEvent after;
    ASSERT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerTimeChanged, 1000ms, &after));
    EXPECT_GE(after.event.timeMs, 4700);
    EXPECT_LE(after.event.timeMs, 5300);
}

TEST_F(VlcPlayerLive, DoubleRateAdvancesMediaTimeTwiceAsFast)
{
    Channel channel;
    EXPECT_EQ(channel.player.SetRate(2.0f), 0);
    channel.Start(kLoopAvi);
    TimedEvent first;
    ASSERT_TRUE(channel.WaitForTime(500, 3000ms, &first));
    TimedEvent last = first;
    channel.events.WaitFor(
        [&](const TimedEvent& e) {
            if (e.event.type == VlcEventType::MediaPlayerTimeChanged && e.at > first.at) {
                last = e;
            }
            return MsBetween(first.at, e.at) >= 2000;
        },
        4000ms);
    const long long wall = MsBetween(first.at, last.at);
    ASSERT_GE(wall, 1500) << "too few time events to measure";
    const double ratio = static_cast<double>(last.event.timeMs - first.event.timeMs) / static_cast<double>(wall);
    EXPECT_NEAR(ratio, 2.0, 0.2);
}

TEST_F(VlcPlayerLive, EndIsReachedWithinLengthPlusThreeSeconds)
{
    Channel channel;
    const auto started = Clock::now();
    channel.Start(kFrontTs);
    TimedEvent end;
    ASSERT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerEndReached, 15000ms, &end));
    EXPECT_GE(MsBetween(started, end.at), 11000) << "ended long before the clip's 12 s";
    EXPECT_FALSE(channel.events.WaitForType(VlcEventType::MediaPlayerEncounteredError, 0ms));
}

// How the controller holds a rewound recording at its start: paused once libVLC reports playing.
TEST_F(VlcPlayerLive, PauseAskedForWhenPlayingBeginsHoldsAndIsNoToggle)
{
    Channel channel;
    channel.Start(kLoopAvi);
    ASSERT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerPlaying, 2000ms));
    channel.player.SetPause(true);
    channel.player.SetPause(true);
    ASSERT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerPaused, 2000ms));
    const std::int64_t held = channel.player.GetTime();
    std::this_thread::sleep_for(1000ms);
    EXPECT_LE(channel.player.GetTime() - held, 100) << "the player went on after the pause";
    channel.player.SetPause(false);
    EXPECT_TRUE(channel.WaitForTime(std::max<std::int64_t>(held, 0) + 500, 3000ms)) << "did not resume";
}

// The number of the picture shown, read from count.MOV's eight columns.
class FrameNumbers final : public trivane::IVideoFrameSink {
public:
    void OnVideoFrame(const std::uint8_t* pixels, unsigned width, unsigned height, unsigned pitch) noexcept override
    {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(height / 2) * pitch;
        int number = 0;
        for (unsigned bit = 0; bit < 8; ++bit) {
            const std::uint8_t* pixel = row + static_cast<std::size_t>((bit * 2 + 1) * width / 16) * 4;
            if (pixel[0] + pixel[1] + pixel[2] > 3 * 128) number |= 1 << bit;
        }
        std::lock_guard lock(mutex_);
        shown_ = number;
        changed_.notify_all();
    }
    int Shown()
    {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    // Waits until the picture shown is `frame`; false after the timeout.
    bool WaitFor(int frame, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return shown_ == frame; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int shown_ = -1;
};

// A paused player steps one picture per call and stays paused; a seek while paused shows the
// picture its target falls in (at a picture's first millisecond either of the two).
TEST_F(VlcPlayerLive, NextFrameShowsTheFollowingPictureAndAPausedSeekThePictureItsTargetFallsIn)
{
    EventLog events;
    FrameNumbers frames;
    CVlcPlayer player;
    player.SetAudioOutput("adummy");
    player.AttachEvents(&events);
    player.SetFrameSink(&frames);
    player.OpenMedia(ClipPath("count.MOV").c_str());
    player.Play();
    ASSERT_TRUE(events.WaitFor(
        [](const TimedEvent& e) { return e.event.type == VlcEventType::MediaPlayerTimeChanged && e.event.timeMs >= 400; },
        3000ms));
    EXPECT_DOUBLE_EQ(player.FrameRate(), 25.0);
    player.SetPause(true);
    ASSERT_TRUE(events.WaitForType(VlcEventType::MediaPlayerPaused, 2000ms));
    std::this_thread::sleep_for(300ms);  // pictures already decoded are still shown
    const int paused = frames.Shown();
    const std::int64_t clock = player.GetTime();
    ASSERT_GT(paused, 0);
    for (int step = 1; step <= 3; ++step) {
        player.NextFrame();
        EXPECT_TRUE(frames.WaitFor(paused + step, 1000ms)) << "step " << step << " from " << paused << " shows " << frames.Shown();
    }
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(frames.Shown(), paused + 3) << "the player went on after the steps";
    EXPECT_EQ(player.GetTime(), clock) << "libVLC's clock moved on frame steps";

    for (const int picture : {60, 59, 30}) {
        player.SetTime(picture * 40 + 20);
        EXPECT_TRUE(frames.WaitFor(picture, 1000ms)) << picture << " shows " << frames.Shown();
    }
    player.Stop();
}

TEST_F(VlcPlayerLive, MarqueeShowsGreenTextAndHidesWhenDisabled)
{
    Channel channel;
    channel.Start("grey.MOV");
    ASSERT_TRUE(channel.WaitForTime(0, 2000ms));
    // A flat grey picture has no green of its own.
    EXPECT_TRUE(channel.frames.WaitForGreen([](std::size_t n) { return n == 0; }, 1000ms));
    ASSERT_EQ(channel.player.SetMarquee("2.0 X", 72, true), 1);
    EXPECT_TRUE(channel.frames.WaitForGreen([](std::size_t n) { return n > 300; }, 2000ms))
        << "marquee text did not appear";
    ASSERT_EQ(channel.player.SetMarquee("1.0 X", 72, false), 1);
    EXPECT_TRUE(channel.frames.WaitForGreen([](std::size_t n) { return n == 0; }, 2000ms))
        << "marquee text did not go away";
}

TEST_F(VlcPlayerLive, SnapshotsFollowTheNameAndKeepTheMarquee)
{
    Channel channel;
#ifdef TRIVANE_HAVE_JPEG
    channel.player.SetSnapshotConverter(&trivane::ConvertPngToJpeg);
#endif
    channel.Start("grey.MOV");
    ASSERT_TRUE(channel.WaitForTime(0, 2000ms));
    channel.player.SetMarquee("0.5 X", 72, true);
    ASSERT_TRUE(channel.frames.WaitForGreen([](std::size_t n) { return n > 300; }, 2000ms));

    trivane::test::TempDir dir;
    const std::string png = dir / "snap_f.png";
    const std::string jpg = dir / "snap_f.jpg";
    // As the window does it: pause, take both pictures, play again.
    channel.player.Pause();
    EXPECT_EQ(channel.player.TakeSnapshot(png), 0);
    EXPECT_EQ(trivane::testing::ReadPrefix(png, 8), std::string("\x89PNG\r\n\x1a\n", 8));
#ifdef TRIVANE_HAVE_JPEG
    EXPECT_EQ(channel.player.TakeSnapshot(jpg), 0);
    EXPECT_EQ(trivane::testing::ReadPrefix(jpg, 3), "\xFF\xD8\xFF");
    EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (std::vector<std::string>{"snap_f.jpg", "snap_f.png"}));
#else
    EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (std::vector<std::string>{"snap_f.png"}));
#endif
    channel.player.Play();
    EXPECT_TRUE(channel.frames.WaitForGreen([](std::size_t n) { return n > 300; }, 3000ms))
        << "marquee not back after the snapshot";
}

TEST_F(VlcPlayerLive, FrontAndRearChannelsPlayTogether)
{
    Channel front;
    Channel rear;
    front.Start(kFrontMov);
    rear.Start(kLoopAvi);
    ASSERT_TRUE(front.WaitForTime(0, 2000ms));
    ASSERT_TRUE(rear.WaitForTime(0, 2000ms));
    TimedEvent f;
    TimedEvent r;
    ASSERT_TRUE(front.WaitForTime(2000, 4000ms, &f));
    ASSERT_TRUE(rear.WaitForTime(2000, 4000ms, &r));
    // Both clocks run: reaching 2 s takes about as long on either channel. Time events come only
    // 2-4 times a second and two 1080p decodes share two cores, hence the wide margin.
    EXPECT_LT(std::llabs(MsBetween(f.at, r.at) - (f.event.timeMs - r.event.timeMs)), 1500);
    EXPECT_GT(front.frames.Frames(), 20u);
    EXPECT_GT(rear.frames.Frames(), 20u);
}

TEST_F(VlcPlayerLive, RecreateRebuildsOnlyAfterOpenAndKeepsTheEvents)
{
    Channel channel;
    channel.player.SetVolume(150);
    EXPECT_EQ(channel.player.Recreate(0), 0);

    channel.Start(kLoopAvi);
    ASSERT_TRUE(channel.WaitForTime(0, 2000ms));
    EXPECT_EQ(channel.player.Recreate(0), 1);
    EXPECT_TRUE(channel.player.IsLoaded());
    EXPECT_EQ(channel.player.Volume(), 150);
    EXPECT_EQ(channel.player.GetLength(), -1) << "the rebuilt player still has a media";

    // The new player needs its picture target and audio output again, then plays as before.
    channel.events.Clear();
    channel.player.SetAudioOutput("adummy");
    channel.player.SetFrameSink(&channel.frames);
    channel.Start(kFrontMov);
    EXPECT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerOpening, 1000ms));
    EXPECT_TRUE(channel.events.WaitForType(VlcEventType::MediaPlayerPlaying, 1500ms));
    EXPECT_TRUE(channel.WaitForTime(0, 2000ms));
}

TEST_F(VlcPlayerLive, ManyChannelsOneAfterAnotherKeepDecodingIntoAWindow)
{
    // Channels come and go (Recreate, a reopened window); decoding must not wear out. Drawing
    // into a window loads the most plug-ins, which is where reloading them used to fail.
    trivane::testing::Xvfb server;
    ASSERT_TRUE(server.Running());
    const std::string command = "DISPLAY=" + server.Display() + " '" + CHANNEL_CYCLES_PATH + "' '" +
                                ClipPath(kLoopAvi) + "' 9";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST_F(VlcPlayerLive, WithoutDisplayOrFrameSinkPlayIsRefused)
{
    EventLog events;
    CVlcPlayer player;
    player.SetAudioOutput("adummy");
    player.AttachEvents(&events);
    player.SetWindow(0x1234567);
    player.OpenMedia(ClipPath(kFrontMov).c_str());
    player.Play();  // would crash the process inside libVLC
    EXPECT_EQ(player.Playing(), 0);
    EXPECT_FALSE(events.WaitForType(VlcEventType::MediaPlayerOpening, 800ms));
}

namespace {

// Threads of this process that Mesa's software OpenGL renderer runs.
int SoftwareGlThreads()
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name.rfind("llvmpipe", 0) == 0) ++count;
    }
    return count;
}

}  // namespace

TEST_F(VlcPlayerLive, DrawsIntoAnXWindowWithAndWithoutOpenGl)
{
    trivane::testing::Xvfb server;
    ASSERT_TRUE(server.Running());
    setenv("DISPLAY", server.Display().c_str(), 1);
    XWindow surface(server.Display());
    ASSERT_TRUE(surface.Valid());
    Display* display = surface.Connection();
    // Without OpenGL first: no renderer thread of an earlier output can be left over.
    for (const bool openGl : {false, true}) {
        SCOPED_TRACE(openGl ? "OpenGL allowed" : "without OpenGL");
        EventLog events;
        CVlcPlayer player;
        if (!openGl) {
            EXPECT_EQ(player.SetOpenGlVideo(false), 1);
        }
        player.SetAudioOutput("adummy");
        player.AttachEvents(&events);
        player.SetWindow(surface.Id());
        player.OpenMedia(ClipPath(kFrontMov).c_str());
        player.Play();
        ASSERT_TRUE(events.WaitFor(
            [](const TimedEvent& e) {
                return e.event.type == VlcEventType::MediaPlayerTimeChanged && e.event.timeMs >= 1000;
            },
            4000ms));
        // The test pattern is colourful: most of the window must be lit. The window sits at the
        // root's origin; reading the root includes whatever libVLC drew in its own child window.
        XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, 640, 360, AllPlanes, ZPixmap);
        ASSERT_NE(image, nullptr);
        int lit = 0;
        for (int y = 0; y < 360; y += 4) {
            for (int x = 0; x < 640; x += 4) {
                if ((XGetPixel(image, x, y) & 0xFFFFFF) != 0) {
                    ++lit;
                }
            }
        }
        XDestroyImage(image);
        EXPECT_GT(lit, (160 * 90) / 2);
        if (!openGl) {
            EXPECT_EQ(SoftwareGlThreads(), 0);
        }
        player.Stop();
    }
}
