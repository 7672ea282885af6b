// The binding's calls into libVLC, checked against a recording stand-in library.
#include "playback/CVlcPlayer.h"

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TRIVANE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TRIVANE_SANITIZED 1
#endif
#endif

using trivane::CVlcPlayer;
using trivane::VlcEvent;
using trivane::VlcEventType;
using trivane::test::TempDir;

namespace {

// Opens the stand-in too, so its log outlives every player in the test.
class FakeVlc {
public:
    explicit FakeVlc(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL))
    {
        if (handle_ == nullptr) {
            ADD_FAILURE() << "cannot load " << path << ": " << dlerror();
            return;
        }
        log_ = reinterpret_cast<const char* (*)()>(dlsym(handle_, "fake_vlc_log"));
        clear_ = reinterpret_cast<void (*)()>(dlsym(handle_, "fake_vlc_clear"));
        failNew_ = reinterpret_cast<void (*)(int)>(dlsym(handle_, "fake_vlc_fail_new"));
        rateResult_ = reinterpret_cast<void (*)(int)>(dlsym(handle_, "fake_vlc_rate_result"));
        fire_ = reinterpret_cast<void (*)(int, long long)>(dlsym(handle_, "fake_vlc_fire"));
        snapshotMode_ = reinterpret_cast<void (*)(int)>(dlsym(handle_, "fake_vlc_snapshot_mode"));
        callFormat_ = reinterpret_cast<unsigned (*)(unsigned, unsigned)>(dlsym(handle_, "fake_vlc_call_format"));
        startFiring_ = reinterpret_cast<void (*)()>(dlsym(handle_, "fake_vlc_start_firing"));
        fired_ = reinterpret_cast<long long (*)()>(dlsym(handle_, "fake_vlc_fired"));
        stopFiring_ = reinterpret_cast<long long (*)()>(dlsym(handle_, "fake_vlc_stop_firing"));
        clear_();
        failNew_(0);
        rateResult_(0);
        snapshotMode_(0);
    }
    ~FakeVlc()
    {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    FakeVlc(const FakeVlc&) = delete;
    FakeVlc& operator=(const FakeVlc&) = delete;

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(log_());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
    void Clear() { clear_(); }
    void FailNew(bool fail) { failNew_(fail ? 1 : 0); }
    void RateResult(int result) { rateResult_(result); }
    void Fire(int type, long long value) { fire_(type, value); }
    enum SnapshotMode { kWholePng, kWritesNothing, kCutPng, kFails };
    void Snapshots(SnapshotMode mode) { snapshotMode_(mode); }
    // Calls the format callback the binding registered, as a starting video output does.
    unsigned CallFormat(unsigned width, unsigned height) { return callFormat_(width, height); }
    // Threads of the library fire time events and display pictures until stopped; Fired counts both.
    void StartFiring() { startFiring_(); }
    long long Fired() { return fired_(); }
    long long StopFiring() { return stopFiring_(); }

private:
    void* handle_;
    const char* (*log_)() = nullptr;
    void (*clear_)() = nullptr;
    void (*failNew_)(int) = nullptr;
    void (*rateResult_)(int) = nullptr;
    void (*fire_)(int, long long) = nullptr;
    void (*snapshotMode_)(int) = nullptr;
    unsigned (*callFormat_)(unsigned, unsigned) = nullptr;
    void (*startFiring_)() = nullptr;
    long long (*fired_)() = nullptr;
    long long (*stopFiring_)() = nullptr;
};

struct Recorder final : trivane::IVlcEventSink {
    std::vector<VlcEvent> events;
    void OnVlcEvent(const VlcEvent& event) noexcept override { events.push_back(event); }
};

struct NullFrames final : trivane::IVideoFrameSink {
    void OnVideoFrame(const std::uint8_t*, unsigned, unsigned, unsigned) noexcept override {}
};

using Lines = std::vector<std::string>;

const std::string kStandardNew = "new 3 [-I] [dummy] [--ignore-config]";

const Lines kAttachAll = {"attach 268", "attach 269", "attach 267", "attach 5",   "attach 256",
                          "attach 258", "attach 259", "attach 260", "attach 261", "attach 262",
                          "attach 265", "attach 266", "attach 273"};

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The paths libVLC was asked to write snapshots to, from the log.
Lines SnapshotPaths(const Lines& log)
{
    Lines paths;
    for (const std::string& line : log) {
        if (line.starts_with("snapshot 0 [")) {
            paths.push_back(line.substr(12, line.rfind("] ") - 12));
        }
    }
    return paths;
}

// Receivers are numbered in creation order and retired (deleted) in the same order; one that is
// still called once retired counts a late call. Its members are written on every call, so a
// call into a deleted one is a real heap access for the sanitizers.
std::atomic<long long> g_retiredUpTo{0};
std::atomic<long long> g_lateCalls{0};

class HeapReceiver final : public trivane::IVlcEventSink, public trivane::IVideoFrameSink {
public:
    explicit HeapReceiver(long long number) : number_(number) {}
    ~HeapReceiver() { g_retiredUpTo = number_; }
    HeapReceiver(const HeapReceiver&) = delete;
    HeapReceiver& operator=(const HeapReceiver&) = delete;

    void OnVlcEvent(const VlcEvent& event) noexcept override { Touch(eventSeen_, event.timeMs); }
    void OnVideoFrame(const std::uint8_t*, unsigned width, unsigned, unsigned) noexcept override
    {
        Touch(frameSeen_, width);
    }

private:
    // Events and pictures come on different threads: each writes its own members.
    void Touch(std::array<long long, 8>& seen, long long value) noexcept
    {
        const long long me = number_;
        seen[0] = value;
        std::this_thread::yield();  // real sinks take a while; let a swap come meanwhile
        for (long long& slot : seen) {
            slot = value;
        }
        if (me <= g_retiredUpTo.load()) {
            ++g_lateCalls;
        }
    }

    long long number_;
    std::array<long long, 8> eventSeen_{};
    std::array<long long, 8> frameSeen_{};
};

Lines DetachAll()
{
    Lines lines;
    for (const std::string& attach : kAttachAll) {
        lines.push_back("detach " + attach.substr(7));
    }
    return lines;
}

// The play guard looks at DISPLAY; pin it for the test and restore it afterwards.
class ScopedDisplay {
public:
    explicit ScopedDisplay(const char* value)
    {
        if (const char* old = std::getenv("DISPLAY")) {
            saved_ = old;
            had_ = true;
        }
        if (value != nullptr) {
            setenv("DISPLAY", value, 1);
        } else {
            unsetenv("DISPLAY");
        }
    }
    ~ScopedDisplay()
    {
        if (had_) {
            setenv("DISPLAY", saved_.c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }
    ScopedDisplay(const ScopedDisplay&) = delete;
    ScopedDisplay& operator=(const ScopedDisplay&) = delete;

private:
    std::string saved_;
    bool had_ = false;
};

}  // namespace

TEST(VlcPlayerCalls, ConstructionBuildsStandardInstanceAndDestructionTearsDownInOrder)
{
    FakeVlc fake(FAKE_VLC_PATH);
    {
        CVlcPlayer player(FAKE_VLC_PATH, false);
        EXPECT_TRUE(player.IsLoaded());
        EXPECT_EQ(player.Playing(), 0);
        EXPECT_EQ(player.Paused(), 1);
        EXPECT_EQ(player.Volume(), 200);
        EXPECT_FLOAT_EQ(player.Rate(), 1.0f);
        EXPECT_EQ(fake.Lines(), (Lines{kStandardNew,
                                       "player_new", "event_manager", "volume 200"}));
        Recorder sink;
        player.AttachEvents(&sink);
        player.OpenMedia("/cards/a.MOV");
        fake.Clear();
    }
    EXPECT_EQ(fake.Lines(), Concat({{"stop"}, DetachAll(), {"player_release", "media_release", "release"}}));
}

TEST(VlcPlayerCalls, MissingLibraryOrEntryPointsOrInstanceLeaveAnInertChannel)
{
    FakeVlc fake(FAKE_VLC_PATH);
    fake.FailNew(true);
    CVlcPlayer noInstance(FAKE_VLC_PATH, false);
    EXPECT_FALSE(noInstance.IsLoaded());
    EXPECT_EQ(fake.Lines(), (Lines{kStandardNew}));
    fake.FailNew(false);

    CVlcPlayer noLibrary("libtrivane-no-such-vlc.so");
    CVlcPlayer noEntryPoints("libm.so.6");
    for (CVlcPlayer* player : {&noInstance, &noLibrary, &noEntryPoints}) {
        Recorder sink;
        NullFrames frames;
        EXPECT_FALSE(player->IsLoaded());
        player->AttachEvents(&sink);
        player->SetFrameSink(&frames);
        player->SetWindow(7);
        player->OpenMedia("/cards/a.MOV");
        player->Play();
        EXPECT_EQ(player->Playing(), 0);
        EXPECT_EQ(player->Paused(), 1);
        player->Stop();
        EXPECT_EQ(player->Paused(), 1);
        EXPECT_EQ(player->MediaPath(), "");
        EXPECT_EQ(player->GetLength(), -1);
        EXPECT_EQ(player->GetTime(), -1);
        EXPECT_EQ(player->SetRate(2.0f), -1);
        EXPECT_FLOAT_EQ(player->Rate(), 1.0f);
        EXPECT_EQ(player->SetMarquee("2.0 X", 48, true), 0);
        EXPECT_EQ(player->Recreate(1), 0);
        EXPECT_EQ(player->ArgumentSet(), 1);
        player->SetVolume(80);
        EXPECT_EQ(player->Volume(), 200);
        EXPECT_EQ(player->TakeSnapshot("/tmp/never.png"), -1);
        EXPECT_EQ(player->SetAudioOutput("adummy"), -1);
    }
    EXPECT_EQ(fake.Lines().size(), 1u) << "an inert channel made a call";
}

TEST(VlcPlayerCalls, OpenMediaSetsOptionAndDisablesInputAndReleasesReplacedMedia)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    player.SetVolume(60);
    fake.Clear();
    player.OpenMedia("/cards/Normal/20240101_120000_F.MOV");
    EXPECT_EQ(player.MediaPath(), "/cards/Normal/20240101_120000_F.MOV");
    EXPECT_EQ(fake.Lines(), (Lines{"volume 60", "media_new_path [/cards/Normal/20240101_120000_F.MOV]",
                                   "add_option :ffmpeg-hw", "set_media", "key_input 0", "mouse_input 0"}));
    fake.Clear();
    player.OpenMedia(nullptr);
    EXPECT_EQ(player.MediaPath(), "");
    EXPECT_EQ(fake.Lines(), (Lines{"volume 60", "media_new_path []", "add_option :ffmpeg-hw", "set_media",
                                   "media_release", "key_input 0", "mouse_input 0"}));
    player.OpenMedia("x");
    player.OpenMedia("");
    EXPECT_EQ(player.MediaPath(), "");
    // Through the channel interface an empty path leaves the player without media.
    fake.Clear();
    player.OpenMedia(std::string());
    EXPECT_EQ(fake.Lines(), (Lines{"set_media null", "media_release"}));
    EXPECT_EQ(player.Recreate(0), 0) << "nothing left to rebuild";
}

TEST(VlcPlayerCalls, PlayPauseStopMoveTheFlagPairAndPlayNeedsAPictureTarget)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    player.OpenMedia("/cards/a.MOV");
    {
        ScopedDisplay none(nullptr);
        fake.Clear();
        player.SetWindow(0x400007);
        player.Play();
        EXPECT_EQ(player.Playing(), 0);
        EXPECT_EQ(player.Paused(), 1);
        EXPECT_EQ(fake.Lines(), (Lines{"set_xwindow 4194311"})) << "played without a display";

        NullFrames frames;
        player.SetFrameSink(&frames);
        fake.Clear();
        player.Play();
        EXPECT_EQ(fake.Lines(), (Lines{"play"}));
        EXPECT_EQ(player.Playing(), 1);
        EXPECT_EQ(player.Paused(), 0);
        player.SetFrameSink(nullptr);
    }
    ScopedDisplay display(":99");
    fake.Clear();
    player.Pause();
    EXPECT_EQ(player.Playing(), 0);
    EXPECT_EQ(player.Paused(), 1);
    player.Play();
    player.Stop();
    EXPECT_EQ(player.Playing(), 0);
    EXPECT_EQ(player.Paused(), 0);
    EXPECT_EQ(fake.Lines(), (Lines{"pause", "play", "stop"}));

    // SetPause never toggles: asked twice, the player stays paused.
    fake.Clear();
    player.Play();
    player.SetPause(true);
    player.SetPause(true);
    EXPECT_EQ(player.Playing(), 0);
    EXPECT_EQ(player.Paused(), 1);
    player.SetPause(false);
    EXPECT_EQ(player.Playing(), 1);
    EXPECT_EQ(player.Paused(), 0);
    EXPECT_EQ(fake.Lines(), (Lines{"play", "set_pause 1", "set_pause 1", "set_pause 0"}));

    // A frame step leaves the player paused (libVLC pauses a playing one).
    fake.Clear();
    player.NextFrame();
    EXPECT_EQ(player.Playing(), 0);
    EXPECT_EQ(player.Paused(), 1);
    EXPECT_EQ(fake.Lines(), (Lines{"next_frame"}));
    // The frame rate is the video track's, whichever track comes first.
    EXPECT_DOUBLE_EQ(player.FrameRate(), 30000.0 / 1001.0);
}

TEST(VlcPlayerCalls, MarqueeOptionsGoInFixedOrderWithGreenColour)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    fake.Clear();
    EXPECT_EQ(player.SetMarquee("2.4 X", 108, true), 1);
    EXPECT_EQ(player.SetMarquee("1.0 X", 48, false), 1);
    // 0xFF00FF00 as a signed int is -16711936.
    EXPECT_EQ(fake.Lines(),
              (Lines{"marquee_string 1 [2.4 X]", "marquee_int 6 108", "marquee_int 3 255", "marquee_int 2 -16711936",
                     "marquee_int 7 -1", "marquee_int 8 0", "marquee_int 9 0", "marquee_int 0 1",
                     "marquee_string 1 [1.0 X]", "marquee_int 6 48", "marquee_int 3 255", "marquee_int 2 -16711936",
                     "marquee_int 7 -1", "marquee_int 8 0", "marquee_int 9 0", "marquee_int 0 0"}));
}

TEST(VlcPlayerCalls, RateIsStoredEvenWhenRejected)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    fake.RateResult(-1);
    EXPECT_EQ(player.SetRate(3.2f), -1);
    EXPECT_FLOAT_EQ(player.Rate(), 3.2f);
    fake.RateResult(0);
    EXPECT_EQ(player.SetRate(0.3f), 0);
    EXPECT_FLOAT_EQ(player.Rate(), 0.3f);
}

TEST(VlcPlayerCalls, VideoWithoutOpenGlRebuildsAtOnceAndLastsThroughRecreate)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    Recorder sink;
    player.AttachEvents(&sink);
    player.SetAudioOutput("adummy");
    fake.Clear();
    // Before a media: a new instance without OpenGL providers, the events and the output kept.
    EXPECT_EQ(player.SetOpenGlVideo(false), 1);
    const Lines withoutGl = fake.Lines();
    const auto made = std::find(withoutGl.begin(), withoutGl.end(),
                                "new 5 [-I] [dummy] [--ignore-config] [--gl=none] [--gles2=none]");
    ASSERT_NE(made, withoutGl.end()) << withoutGl.size();
    EXPECT_NE(std::find(made, withoutGl.end(), "audio_output adummy"), withoutGl.end());
    EXPECT_NE(std::find(made, withoutGl.end(), kAttachAll.front()), withoutGl.end());
    fake.Fire(0x10B, 1200);
    ASSERT_EQ(sink.events.size(), 1u);

    // With a media the player is left alone; every rebuild keeps the choice, in both argument sets.
    player.OpenMedia("/cards/a.MOV");
    fake.Clear();
    EXPECT_EQ(player.SetOpenGlVideo(false), 0);
    EXPECT_TRUE(fake.Lines().empty());
    for (const auto& [set, expected] : {std::pair{1, "new 3 [] [--gl=none] [--gles2=none]"},
                                        std::pair{0, "new 5 [-I] [dummy] [--ignore-config] [--gl=none] [--gles2=none]"}}) {
        player.OpenMedia("/cards/a.MOV");
        fake.Clear();
        EXPECT_EQ(player.Recreate(set), 1);
        const Lines rebuilt = fake.Lines();
        EXPECT_NE(std::find(rebuilt.begin(), rebuilt.end(), expected), rebuilt.end()) << set;
    }

    // Allowed again, the standard list.
    fake.Clear();
    EXPECT_EQ(player.SetOpenGlVideo(true), 1);
    const Lines standard = fake.Lines();
    EXPECT_NE(std::find(standard.begin(), standard.end(), kStandardNew), standard.end());
}

TEST(VlcPlayerCalls, RecreateRebuildsOnlyAnOpenedChannelAndKeepsEventsAndVolume)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    Recorder sink;
    player.AttachEvents(&sink);
    player.SetVolume(140);
    fake.Clear();
    EXPECT_EQ(player.Recreate(1), 0);
    EXPECT_EQ(player.ArgumentSet(), 1);
    EXPECT_TRUE(fake.Lines().empty());

    player.OpenMedia("/cards/a.MOV");
    fake.Clear();
    EXPECT_EQ(player.Recreate(1), 1);
    EXPECT_EQ(fake.Lines(), Concat({{"stop"}, DetachAll(),
                                    {"player_release", "media_release", "release", "new 1 []", "player_new",
                                     "event_manager", "volume 140"},
                                    kAttachAll, {"volume 140"}}));
    EXPECT_TRUE(player.IsLoaded());
    EXPECT_EQ(player.Volume(), 140);

    // The rebuilt player has no media: a second Recreate has nothing to rebuild.
    fake.Clear();
    EXPECT_EQ(player.Recreate(0), 0);
    EXPECT_TRUE(fake.Lines().empty());

    // The sink still hears the channel, once per event.
    fake.Fire(0x10B, 2500);
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].timeMs, 2500);

    // A chosen audio output survives the rebuild (else the default output floods stderr).
    player.SetAudioOutput("adummy");
    player.OpenMedia("/cards/a.MOV");
    fake.Clear();
    EXPECT_EQ(player.Recreate(0), 1);
    const Lines rebuilt = fake.Lines();
    const auto made = std::find(rebuilt.begin(), rebuilt.end(), "player_new");
    ASSERT_NE(made, rebuilt.end());
    EXPECT_NE(std::find(made, rebuilt.end(), "audio_output adummy"), rebuilt.end());

    // Argument set 0 and anything but 1 use the standard list.
    player.OpenMedia("/cards/a.MOV");
    fake.Clear();
    EXPECT_EQ(player.Recreate(7), 1);
    const Lines lines = fake.Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        kStandardNew),
              lines.end());
}

TEST(VlcPlayerCalls, EventsAreCopiedWithTheirValuesAndTheLatestLength)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    Recorder sink;
    player.AttachEvents(&sink);
    player.AttachEvents(&sink);  // a second attach must not double the events
    fake.Fire(0x10B, 400);
    fake.Fire(0x111, 10667);  // length: followed, not forwarded
    fake.Fire(0x10B, 800);
    fake.Fire(0x10D, 1);
    fake.Fire(0x100, 0);  // new media: length unknown again
    fake.Fire(0x109, 0);
    fake.Fire(0x107, 0);  // not subscribed
    ASSERT_EQ(sink.events.size(), 5u);
    EXPECT_EQ(sink.events[0].type, VlcEventType::MediaPlayerTimeChanged);
    EXPECT_EQ(sink.events[0].timeMs, 400);
    EXPECT_EQ(sink.events[0].lengthMs, -1);
    EXPECT_EQ(sink.events[1].timeMs, 800);
    EXPECT_EQ(sink.events[1].lengthMs, 10667);
    EXPECT_EQ(sink.events[1].channel, &player);
    EXPECT_EQ(sink.events[2].type, VlcEventType::MediaPlayerSeekableChanged);
    EXPECT_EQ(sink.events[2].seekable, 1);
    EXPECT_EQ(sink.events[3].type, VlcEventType::MediaPlayerMediaChanged);
    EXPECT_EQ(sink.events[3].lengthMs, -1);
    EXPECT_EQ(sink.events[4].type, VlcEventType::MediaPlayerEndReached);

    player.DetachEvents();
    fake.Fire(0x10B, 1200);
    EXPECT_EQ(sink.events.size(), 5u);
}

// A window replaces its receivers and deletes the old ones at once while libVLC's threads keep
// calling; after AttachEvents/SetFrameSink return, nothing may still run in the old one.
TEST(VlcPlayerCalls, ReplacedReceiversCanBeDeletedAtOnceWhileCallbacksRun)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    g_retiredUpTo = 0;
    g_lateCalls = 0;
    long long made = 1;
    auto* current = new HeapReceiver(made);
    player.AttachEvents(current);
    player.SetFrameSink(current);
    ASSERT_EQ(fake.CallFormat(64, 36), 1u);
    fake.StartFiring();
    while (fake.Fired() == 0) {
        std::this_thread::yield();
    }
    // Each swap waits for the library's threads to go round once more, so swaps land at every
    // point of their calls instead of starving them.
    // The count, not the clock, ends the loop, so a busy machine only makes it slower; the
    // deadline only keeps a stuck library from hanging the test.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    long long overlapped = 0;
    while (made < 1500 && std::chrono::steady_clock::now() < deadline) {
        const long long fired = fake.Fired();
        while (fake.Fired() == fired) {
            std::this_thread::yield();
        }
        ++overlapped;
        auto* next = new HeapReceiver(++made);
        if (made % 2 == 0) {
            player.AttachEvents(next);
            player.SetFrameSink(next);
        } else {
            player.SetFrameSink(next);
            player.AttachEvents(next);
        }
        delete current;
        current = next;
    }
    fake.StopFiring();
    player.DetachEvents();
    player.SetFrameSink(nullptr);
    delete current;
    EXPECT_EQ(g_lateCalls.load(), 0) << "callbacks ran in receivers already handed over";
    EXPECT_GE(overlapped, 1000) << "too few swaps to test anything";
}

#ifndef TRIVANE_SANITIZED
// Lowers the address space so an 8192x8192 picture buffer (256 MiB) cannot be had, asks for
// one through libVLC's format callback, and exits 0 only if the format was refused and the
// channel still takes a small picture afterwards.
[[noreturn]] void AskForPictureBeyondMemory(FakeVlc& fake)
{
    std::ifstream statm("/proc/self/statm");
    unsigned long long pages = 0;
    statm >> pages;
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = static_cast<rlim_t>(pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE))) + (64u << 20);
    if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) {
        std::_Exit(3);
    }
    if (fake.CallFormat(8192, 8192) != 0) {
        std::_Exit(1);
    }
    std::_Exit(fake.CallFormat(640, 360) == 1 ? 0 : 2);
}
#endif

// The picture buffer is allocated inside a call from libVLC (C): running out of memory there
// must refuse the format, not unwind into C and end the process.
TEST(VlcPlayerCalls, PictureBufferBeyondMemoryRefusesTheFormat)
{
#ifdef TRIVANE_SANITIZED
    GTEST_SKIP() << "sanitizer allocators abort on a failed allocation instead of throwing";
#else
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    NullFrames frames;
    player.SetFrameSink(&frames);
    EXPECT_EXIT(AskForPictureBeyondMemory(fake), ::testing::ExitedWithCode(0), "");
#endif
}

TEST(VlcPlayerCalls, SnapshotsGoThroughAnUnguessableTemporaryAndRestoreTheMarquee)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    TempDir dir;
    const mode_t savedMask = ::umask(027);
    player.SetMarquee("0.5 X", 72, true);
    Lines conversions;
    player.SetSnapshotConverter([&](const std::string& from, const std::string& to) {
        conversions.push_back(from + " -> " + to);
        trivane::test::WriteText(to, "\xFF\xD8\xFF converted");
        return true;
    });
    fake.Clear();
    ASSERT_EQ(player.TakeSnapshot(dir / "f.png"), 0);
    const Lines first = fake.Lines();
    ASSERT_EQ(first.size(), 9u);
    EXPECT_EQ(first[1], "marquee_string 1 [0.5 X]");
    EXPECT_EQ(first[8], "marquee_int 0 1");
    ASSERT_EQ(player.TakeSnapshot(dir / "f.png"), 0);
    ASSERT_EQ(player.TakeSnapshot(dir / "f.JPG"), 0);

    // Hidden, beside the target, random part in the name, different every time.
    const Lines temporaries = SnapshotPaths(fake.Lines());
    ASSERT_EQ(temporaries.size(), 3u);
    for (const std::string& temporary : temporaries) {
        EXPECT_TRUE(temporary.starts_with(dir.Path() + "/.f.")) << temporary;
        EXPECT_TRUE(temporary.ends_with(".png")) << temporary;
        EXPECT_EQ(temporary.size(), (dir / ".f.png.XXXXXX.png").size()) << temporary;
    }
    EXPECT_NE(temporaries[0], temporaries[1]);
    EXPECT_EQ(conversions, (Lines{temporaries[2] + " -> " + dir / "f.JPG"}));

    EXPECT_TRUE(trivane::test::ReadText(dir / "f.png").starts_with("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(trivane::test::ReadText(dir / "f.JPG"), "\xFF\xD8\xFF converted");
    EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (Lines{"f.JPG", "f.png"}));
    struct stat info {};
    ASSERT_EQ(::stat((dir / "f.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "not the mode of a new file under umask 027";
    ::umask(savedMask);
}

TEST(VlcPlayerCalls, FailedSnapshotsLeaveNothingBehindAndKeepAnOlderFile)
{
    FakeVlc fake(FAKE_VLC_PATH);
    CVlcPlayer player(FAKE_VLC_PATH, false);
    TempDir dir;
    trivane::test::WriteText(dir / "old.jpg", "older picture");
    const auto converts = [](const std::string&, const std::string&) { return true; };
    const struct {
        const char* what;
        FakeVlc::SnapshotMode mode;
        CVlcPlayer::SnapshotConverter converter;
    } cases[] = {
        {"conversion fails", FakeVlc::kWholePng, [](const std::string&, const std::string&) { return false; }},
        {"converter throws", FakeVlc::kWholePng,
         [](const std::string&, const std::string&) -> bool { throw std::runtime_error("no codec"); }},
        {"no converter", FakeVlc::kWholePng, nullptr},
        {"libVLC reports success but writes nothing", FakeVlc::kWritesNothing, converts},
        {"libVLC cuts the picture short", FakeVlc::kCutPng, converts},
        {"libVLC fails", FakeVlc::kFails, converts},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.Snapshots(c.mode);
        player.SetSnapshotConverter(c.converter);
        EXPECT_EQ(player.TakeSnapshot(dir / "old.jpg"), -1);
        EXPECT_EQ(player.TakeSnapshot(dir / "new.jpeg"), -1);
        if (c.mode != FakeVlc::kWholePng) {
            EXPECT_EQ(player.TakeSnapshot(dir / "new.png"), -1);
        }
        EXPECT_EQ(trivane::test::ReadText(dir / "old.jpg"), "older picture");
        EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (Lines{"old.jpg"}));
    }

    // Places that cannot take the picture: a missing folder, a file where a folder should be,
    // folders nobody may write, and a folder standing under the target name.
    fake.Snapshots(FakeVlc::kWholePng);
    player.SetSnapshotConverter(converts);
    ASSERT_EQ(::mkdir((dir / "taken").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir / "locked").c_str(), 0555), 0);
    Lines refused = {dir / "missing/x.png", dir / "missing/x.jpg", dir / "old.jpg/x.png", "/proc/x.png",
                     dir / "taken", ""};
    if (::geteuid() != 0) {
        refused.push_back(dir / "locked/x.png");
    }
    for (const std::string& target : refused) {
        EXPECT_EQ(player.TakeSnapshot(target), -1) << target;
    }
    EXPECT_EQ(trivane::test::FolderEntries(dir.Path()), (Lines{"locked", "old.jpg", "taken"}));
    EXPECT_TRUE(trivane::test::FolderEntries(dir / "taken").empty());
}

TEST(VlcPlayerCalls, MissingOptionalEntryPointsAreNeverCalled)
{
    FakeVlc fake(FAKE_VLC_PARTIAL_PATH);
    CVlcPlayer player(FAKE_VLC_PARTIAL_PATH, false);
    ASSERT_TRUE(player.IsLoaded());
    fake.Clear();
    EXPECT_EQ(player.SetMarquee("2.0 X", 48, true), 1);
    EXPECT_EQ(player.SetRate(2.0f), -1);
    EXPECT_FLOAT_EQ(player.Rate(), 2.0f);
    EXPECT_EQ(player.TakeSnapshot(testing::TempDir() + "partial.png"), -1);
    player.SetVolume(10);
    player.SetMute(true);
    player.SetTime(1000);
    EXPECT_EQ(player.GetTime(), 1234);
    EXPECT_EQ(player.GetLength(), 5000);
    player.NextFrame();
    EXPECT_EQ(player.FrameRate(), 0.0);
    EXPECT_EQ(fake.Lines(), (Lines{"volume 10", "mute 1", "set_time 1000"}));
}

TEST(VlcPlayerCalls, OneInstanceIsKeptForTheWholeProcessToHoldThePluginsLoaded)
{
    FakeVlc fake(FAKE_VLC_PATH);
    {
        CVlcPlayer front(FAKE_VLC_PATH, true);
        CVlcPlayer rear(FAKE_VLC_PATH, true);
    }
    const Lines lines = fake.Lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "new 3 [--ignore-config] [-I] [dummy]"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kStandardNew), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "release"), 2) << "the kept instance was released";
}
