// Opens, plays and closes channels one after another on one X window, as a long session
// does, and exits 0 only if every channel decoded pictures. Runs as a process of its own:
// the failure it guards against depends on what the process loaded before.
//
//   playback_channel_cycles <clip> <rounds>
#include "playback/CVlcPlayer.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// The clip has no sound, so its clock runs only while pictures are decoded.
struct LatestTime final : trivane::IVlcEventSink {
    std::atomic<long long> ms{-1};
    void OnVlcEvent(const trivane::VlcEvent& event) noexcept override
    {
        if (event.type == trivane::VlcEventType::MediaPlayerTimeChanged) {
            ms = event.timeMs;
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <clip> <rounds>\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[2]);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 640, 360, 0, 0,
                                              BlackPixel(display, screen));
    XMapWindow(display, window);
    XSync(display, False);
    int failed = 0;
    for (int round = 0; round < rounds && round < 100; ++round) {
        LatestTime time;
        trivane::CVlcPlayer player;
        player.SetAudioOutput("adummy");
        player.AttachEvents(&time);
        player.SetWindow(static_cast<std::uint32_t>(window));
        player.OpenMedia(argv[1]);
        player.Play();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        if (time.ms.load() <= 0) {
            std::printf("round %d: no pictures decoded\n", round);
            ++failed;
        }
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return failed == 0 ? 0 : 1;
}
