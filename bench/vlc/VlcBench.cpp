// Measures the libVLC channel: start-up latency, time-event rate per container and the CPU
// cost of two channels against a plain ffmpeg decode of the same files.
//
//   trivane_vlc_bench [work-folder]
//
// With DISPLAY set (e.g. under xvfb-run -a) the channels draw into X windows as in the
// player; without it they render into memory. Clips are generated with ffmpeg.
#include "playback/CVlcPlayer.h"

#include <X11/Xlib.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using trivane::CVlcPlayer;
using trivane::VlcEvent;
using trivane::VlcEventType;

namespace {

constexpr int kClipSeconds = 12;

struct Counter final : trivane::IVlcEventSink {
    std::mutex mutex;
    std::condition_variable changed;
    int timeEvents = 0;
    bool ended = false;
    Clock::time_point firstTime{};
    Clock::time_point lastTime{};

    void OnVlcEvent(const VlcEvent& event) noexcept override
    {
        {
            std::lock_guard lock(mutex);
            if (event.type == VlcEventType::MediaPlayerTimeChanged) {
                const auto now = Clock::now();
                if (timeEvents == 0) {
                    firstTime = now;
                }
                lastTime = now;
                ++timeEvents;
            } else if (event.type == VlcEventType::MediaPlayerEndReached) {
                ended = true;
            }
        }
        changed.notify_all();
    }

    template <typename Pred>
    bool Wait(Pred pred, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return pred(*this); });
    }
};

struct DiscardFrames final : trivane::IVideoFrameSink {
    void OnVideoFrame(const std::uint8_t*, unsigned, unsigned, unsigned) noexcept override {}
};

// The channels' picture target: X windows when a display exists, memory otherwise.
class Surfaces {
public:
    Surfaces()
    {
        const char* name = std::getenv("DISPLAY");
        if (name != nullptr && name[0] != '\0') {
            display_ = XOpenDisplay(name);
        }
    }
    ~Surfaces()
    {
        if (display_ != nullptr) {
            for (Window w : windows_) {
                XDestroyWindow(display_, w);
            }
            XCloseDisplay(display_);
        }
    }
    Surfaces(const Surfaces&) = delete;
    Surfaces& operator=(const Surfaces&) = delete;

    bool Windowed() const { return display_ != nullptr; }

    // Slot 0 is the front surface, slot 1 the rear one, side by side as in the player.
    void Attach(CVlcPlayer& player, std::size_t slot)
    {
        if (display_ == nullptr) {
            player.SetFrameSink(&frames_);
            return;
        }
        while (windows_.size() <= slot) {
            const int screen = DefaultScreen(display_);
            const Window w = XCreateSimpleWindow(display_, RootWindow(display_, screen),
                                                 static_cast<int>(windows_.size()) * 640, 0, 640, 360, 0, 0,
                                                 BlackPixel(display_, screen));
            XMapWindow(display_, w);
            XSync(display_, False);
            windows_.push_back(w);
        }
        player.SetWindow(static_cast<std::uint32_t>(windows_[slot]));
    }

private:
    Display* display_ = nullptr;
    std::vector<Window> windows_;
    DiscardFrames frames_;
};

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool MakeClips(const std::string& dir)
{
    const std::string src = " -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=" + std::to_string(kClipSeconds);
    const std::string audio = " -f lavfi -i sine=frequency=440:duration=" + std::to_string(kClipSeconds);
    const std::string x264 = " -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 30";
    const std::string ff = "ffmpeg -hide_banner -loglevel error -y";
    const std::vector<std::string> commands = {
        ff + src + audio + x264 + " -c:a aac -shortest '" + dir + "/bench_F.MOV'",
        ff + src + x264 + " '" + dir + "/bench_R.AVI'",
        ff + src + audio + x264 + " -c:a aac -shortest -f mpegts '" + dir + "/bench.TS'",
    };
    for (const std::string& command : commands) {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            return false;
        }
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    std::string dir;
    if (argc > 1) {
        dir = argv[1];
    } else {
        char pattern[] = "/tmp/trivane-vlc-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            return 1;
        }
        dir = pattern;
    }
    std::printf("clips in %s (1080p H.264, %d s)\n", dir.c_str(), kClipSeconds);
    if (!MakeClips(dir)) {
        return 1;
    }
    Surfaces surfaces;
    std::printf("picture target: %s\n\n", surfaces.Windowed() ? "X windows" : "memory (no DISPLAY)");

    std::printf("%-5s %28s %22s\n", "file", "play->first time (ms) min/med/max", "time events per s");
    for (const char* name : {"bench_F.MOV", "bench_R.AVI", "bench.TS"}) {
        const std::string path = dir + "/" + name;
        std::vector<double> latencies;
        double perSecond = 0.0;
        for (int run = 0; run < 5; ++run) {
            Counter counter;
            CVlcPlayer player;
            if (!player.IsLoaded()) {
                std::fprintf(stderr, "libVLC could not be loaded\n");
                return 1;
            }
            player.SetAudioOutput("adummy");
            player.AttachEvents(&counter);
            surfaces.Attach(player, 0);
            player.OpenMedia(path.c_str());
            const auto started = Clock::now();
            player.Play();
            if (!counter.Wait([](const Counter& c) { return c.timeEvents > 0; }, 5000ms)) {
                std::fprintf(stderr, "%s: no time event\n", name);
                break;
            }
            latencies.push_back(
                std::chrono::duration<double, std::milli>(counter.firstTime - started).count());
            if (run == 0) {
                // One full play for the event rate.
                counter.Wait([](const Counter& c) { return c.ended; }, std::chrono::seconds(kClipSeconds + 5));
                std::lock_guard lock(counter.mutex);
                const double span = std::chrono::duration<double>(counter.lastTime - counter.firstTime).count();
                perSecond = span > 0 ? (counter.timeEvents - 1) / span : 0.0;
            }
            player.Stop();
        }
        if (latencies.empty()) {
            continue;
        }
        std::printf("%-12s %8.0f / %4.0f / %4.0f %26.2f\n", name,
                    *std::min_element(latencies.begin(), latencies.end()), Median(latencies),
                    *std::max_element(latencies.begin(), latencies.end()), perSecond);
    }

    // CPU of two channels for 10 s, then ffmpeg decoding the same 10 s of both files.
    const std::string front = dir + "/bench_F.MOV";
    const std::string rear = dir + "/bench_R.AVI";
    double vlcCpu = 0.0;
    {
        Counter frontEvents;
        Counter rearEvents;
        CVlcPlayer frontPlayer;
        CVlcPlayer rearPlayer;
        frontPlayer.SetAudioOutput("adummy");
        rearPlayer.SetAudioOutput("adummy");
        surfaces.Attach(frontPlayer, 0);
        surfaces.Attach(rearPlayer, 1);
        frontPlayer.AttachEvents(&frontEvents);
        rearPlayer.AttachEvents(&rearEvents);
        frontPlayer.OpenMedia(front.c_str());
        rearPlayer.OpenMedia(rear.c_str());
        const double before = CpuSeconds(RUSAGE_SELF);
        frontPlayer.Play();
        rearPlayer.Play();
        std::this_thread::sleep_for(10s);
        frontPlayer.Stop();
        rearPlayer.Stop();
        vlcCpu = CpuSeconds(RUSAGE_SELF) - before;
    }
    const double beforeChildren = CpuSeconds(RUSAGE_CHILDREN);
    for (const std::string& file : {front, rear}) {
        const std::string command = "ffmpeg -hide_banner -loglevel error -t 10 -i '" + file + "' -f null -";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
        }
    }
    const double ffmpegCpu = CpuSeconds(RUSAGE_CHILDREN) - beforeChildren;
    std::printf("\nCPU, two channels for 10 s: %.2f s; ffmpeg -f null of the same 10 s of both files "
                "(clip generation excluded): %.2f s; ratio %.2f\n",
                vlcCpu, ffmpegCpu, ffmpegCpu > 0 ? vlcCpu / ffmpegCpu : 0.0);
    return 0;
}
