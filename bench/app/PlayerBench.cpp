// Measures the player as a user runs it:
//   1. launch to first frame: start to the first time event of the first recording, 5 runs;
//   2. CPU of the whole program (its map browser processes included) playing both channels of a
//      pair, against the bare two-channel libVLC playback of the same files in the same run, with
//      the program's choice of video outputs and with libVLC's own; and within each program run,
//      against what its own channels took;
//   3. the instruments between libVLC's time events: how often the G-sensor cursor and the
//      position slider are painted at a new place, and the largest step of the cursor, against
//      the rate of the time events in the same run;
//   4. front/rear drift: the two channels' media times after minutes of looping the card, with
//      and without the drift correction.
//
//   trivane-bench-player CARD [CPU-SECONDS [DRIFT-SECONDS]]     (defaults 20 and 600)
//   trivane-bench-player --bare FRONT REAR SECONDS               (the baseline alone)
//   trivane-bench-player --cpu CARD SECONDS ROUNDS               (the CPU alone, in ROUNDS rounds)
//   trivane-bench-player --drift CARD SECONDS                    (the drift alone)
//   trivane-bench-player --instruments CARD SECONDS              (the instruments alone)
//
// Needs an X display (e.g. xvfb-run -a). Each measurement runs in a child process of its own.
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/CQENApp.h"
#include "app/CQENDlg.h"
#include "app/CSettingsFile.h"
#include "app/ControlIds.h"
#include "map/CMapHost.h"
#include "widgets/CGSensorCtrl.h"
#include "widgets/CTrackBar.h"
#include "playback/CVlcPlayer.h"
#include "playback/IPlaybackChannel.h"

// Last: Xlib defines macros (None, Status) that clash with names above.
#include <X11/Xlib.h>

using namespace trivane;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

struct TimeEvent {
    Clock::time_point at;
    std::int64_t mediaMs;
    std::string path;
};

// A real channel whose events are also kept, with their arrival time, before they go on to the
// window's sink.
class TappedChannel final : public IPlaybackChannel, public IVlcEventSink {
public:
    explicit TappedChannel(CVlcPlayer& inner) : inner_(inner) {}

    void OnVlcEvent(const VlcEvent& event) noexcept override
    {
        if (event.type == VlcEventType::MediaPlayerTimeChanged) {
            std::lock_guard lock(mutex_);
            times_.push_back({Clock::now(), event.timeMs, path_});
        }
        if (sink_ != nullptr) sink_->OnVlcEvent(event);
    }
    std::vector<TimeEvent> Times()
    {
        std::lock_guard lock(mutex_);
        return times_;
    }

    bool IsLoaded() const override { return inner_.IsLoaded(); }
    void AttachEvents(IVlcEventSink* sink) override
    {
        sink_ = sink;
        inner_.AttachEvents(this);
    }
    void DetachEvents() override
    {
        inner_.DetachEvents();
        sink_ = nullptr;
    }
    void SetWindow(std::uint32_t xwindow) override { inner_.SetWindow(xwindow); }
    void OpenMedia(const std::string& path) override
    {
        {
            std::lock_guard lock(mutex_);
            path_ = path;
        }
        inner_.OpenMedia(path);
    }
    void Play() override { inner_.Play(); }
    void SetPause(bool paused) override { inner_.SetPause(paused); }
    void Stop() override { inner_.Stop(); }
    void NextFrame() override { inner_.NextFrame(); }
    int Recreate(int argumentSet) override { return inner_.Recreate(argumentSet); }
    std::int64_t GetLength() const override { return inner_.GetLength(); }
    std::int64_t GetTime() const override { return inner_.GetTime(); }
    double FrameRate() const override { return inner_.FrameRate(); }
    void SetTime(std::int64_t ms) override { inner_.SetTime(ms); }
    int SetRate(float rate) override { return inner_.SetRate(rate); }
    int SetMarquee(const std::string& text, int size, bool enable) override { return inner_.SetMarquee(text, size, enable); }
    void SetVolume(int percent) override { inner_.SetVolume(percent); }
    void SetMute(bool mute) override { inner_.SetMute(mute); }
    int TakeSnapshot(const std::string& path) override { return inner_.TakeSnapshot(path); }
    int Playing() const override { return inner_.Playing(); }
    int Paused() const override { return inner_.Paused(); }

private:
    CVlcPlayer& inner_;
    IVlcEventSink* sink_ = nullptr;
    std::mutex mutex_;
    std::vector<TimeEvent> times_;
    std::string path_;
};

// What the program runs with; the parts can be left out to see what each costs.
struct Variant {
    bool map = true;
    bool instruments = true;  // the slider, cursor and speed moved between time events
};

// The program's window on `source` in this process for `seconds`; `setup` runs once the window
// is shown, `onTick` every 100 ms.
template <typename Tick>
int RunWindow(const std::string& source, double seconds, Tick onTick, const std::function<void(CQENDlg&)>& setup = {},
              Variant variant = {})
{
    if (!CQENApp::PrepareProcess()) return 1;
    int argc = 1;
    char name[] = "trivane";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    CQENApp::PrepareApplication();
    CVlcPlayer frontPlayer;
    CVlcPlayer rearPlayer;
    CQENApp::PrepareChannel(frontPlayer);
    CQENApp::PrepareChannel(rearPlayer);
    TappedChannel front(frontPlayer);
    TappedChannel rear(rearPlayer);

    const fs::path settings = fs::temp_directory_path() / ("trivane-bench-" + std::to_string(getpid()) + ".ini");
    CSettingsFile file(settings.string());
    CQENDlg::Seams seams;
    if (variant.map) seams.makeMapPane = [](QWidget* parent) -> std::unique_ptr<IMapPane> {
        CMapHost::Options options;
        options.pageFolder = QString::fromUtf8(TRIVANE_MAP_PAGES);
        return std::make_unique<CMapHost>(parent, std::move(options));
    };
    CQENDlg window(file, front, rear, std::move(seams));
    window.Initialise();
    // Without its observer the animation never starts.
    if (!variant.instruments) window.Controller().Clock().SetRunningObserver(nullptr);
    window.show();
    if (setup) setup(window);
    window.OpenPath(source);
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (Clock::now() >= end || onTick(front, rear)) QCoreApplication::quit();
    });
    ticker.start(100);
    app.exec();
    window.Shutdown();
    fs::remove(settings);
    return 0;
}

// CPU of this process and of every process below it (the map's browser processes), in seconds.
double OwnCpuSeconds()
{
    std::map<int, int> parents;
    std::map<int, double> seconds;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        std::getline(file, stat);
        const auto close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string state;
        int ppid = 0;
        fields >> state >> ppid;
        std::string skip;
        for (int i = 0; i < 9; ++i) fields >> skip;  // pgrp .. cmajflt
        unsigned long long utime = 0;
        unsigned long long stime = 0;
        fields >> utime >> stime;
        const int pid = std::stoi(name);
        parents[pid] = ppid;
        seconds[pid] = static_cast<double>(utime + stime) / tick;
    }
    const int self = static_cast<int>(getpid());
    double total = 0;
    for (const auto& [pid, cpu] : seconds) {
        for (int p = pid; p > 1; p = parents.count(p) != 0 ? parents[p] : 0) {
            if (p == self) {
                total += cpu;
                break;
            }
        }
    }
    return total;
}

// User and system seconds from a /proc stat line.
double StatCpuSeconds(const std::filesystem::path& statFile)
{
    std::ifstream file(statFile);
    std::string stat;
    std::getline(file, stat);
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(stat.substr(close + 2));
    std::string skip;
    for (int i = 0; i < 11; ++i) fields >> skip;  // state .. cmajflt
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    fields >> utime >> stime;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU of this process spent in the threads libVLC started for the channels, in seconds. libVLC
// leaves its threads unnamed and ends them with each recording, so they are the process's time
// less its main thread and its named threads (Qt's, the browser's), which live on.
double ChannelThreadsCpuSeconds()
{
    std::string own;
    std::getline(std::ifstream("/proc/self/comm"), own);
    const std::string self = std::to_string(getpid());
    double others = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(entry.path() / "comm"), comm);
        if (entry.path().filename().string() == self || comm != own) others += StatCpuSeconds(entry.path() / "stat");
    }
    return StatCpuSeconds("/proc/self/stat") - others;
}

constexpr double kSettleSeconds = 1.5;

// Notes the end of a recording, so that the bare channels loop as the player does.
struct EndFlag final : IVlcEventSink {
    std::atomic<bool> ended{false};
    void OnVlcEvent(const VlcEvent& event) noexcept override
    {
        if (event.type == VlcEventType::MediaPlayerEndReached) ended = true;
    }
};

// Two bare channels drawing into two X windows, as the player's surfaces would. Prints the CPU
// of `seconds` of steady playback (after the start has settled).
// With programOutputs the channels are prepared as the program prepares its own (on a machine
// without a GPU: video outputs without OpenGL); otherwise libVLC chooses.
int RunBare(const std::string& frontFile, const std::string& rearFile, double seconds, bool programOutputs = false)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 1;
    const int screen = DefaultScreen(display);
    CVlcPlayer front;
    CVlcPlayer rear;
    EndFlag frontEnd;
    EndFlag rearEnd;
    front.AttachEvents(&frontEnd);
    rear.AttachEvents(&rearEnd);
    if (programOutputs) {
        CQENApp::PrepareChannel(front);
        CQENApp::PrepareChannel(rear);
    }
    int slot = 0;
    for (auto [player, file] : {std::pair{&front, &frontFile}, std::pair{&rear, &rearFile}}) {
        const Window w = XCreateSimpleWindow(display, RootWindow(display, screen), 5 + slot * 270, 132, 263, 147, 0, 0, 0);
        XMapWindow(display, w);
        XFlush(display);
        player->SetAudioOutput("adummy");
        player->SetWindow(static_cast<std::uint32_t>(w));
        player->OpenMedia(*file);
        player->Play();
        ++slot;
    }
    // The sample recordings are shorter than a measurement: each channel starts its file again
    // at its end, as the player starts the next recording.
    const auto playFor = [&](double span) {
        const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(span));
        while (Clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (auto [player, flag, file] : {std::tuple{&front, &frontEnd, &frontFile}, std::tuple{&rear, &rearEnd, &rearFile}}) {
                if (!flag->ended.exchange(false)) continue;
                player->OpenMedia(*file);
                player->Play();
            }
        }
    };
    playFor(kSettleSeconds);
    const double before = OwnCpuSeconds();
    playFor(seconds);
    std::printf("%.3f\n", OwnCpuSeconds() - before);
    front.DetachEvents();
    rear.DetachEvents();
    front.Stop();
    rear.Stop();
    XCloseDisplay(display);
    return 0;
}

struct ChildResult {
    int status = -1;  // the exit status, or minus the signal that ended the child
    double cpuSeconds = 0;
    std::string output;
};

// Runs `body` in a child process; its standard output comes back with its CPU time.
template <typename Body>
ChildResult InChild(Body body)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return {};
    std::fflush(stdout);  // or the child writes the parent's buffered lines again
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], STDOUT_FILENO);
        std::fflush(stdout);
        const int status = body();
        std::fflush(stdout);
        _exit(status);
    }
    close(pipeFds[1]);
    ChildResult result;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    rusage usage{};
    int status = 0;
    wait4(pid, &status, 0, &usage);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? -WTERMSIG(status) : -1;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

// A run's printed figure; a run that failed is left out of the medians, and said so.
void AddFigure(std::vector<double>& runs, const ChildResult& r, const char* what)
{
    if (r.status == 0 && !r.output.empty()) runs.push_back(std::atof(r.output.c_str()));
    else std::printf("  a run of %s failed (status %d); left out\n", what, r.status);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void LaunchToFirstFrame(const std::string& card)
{
    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        const ChildResult r = InChild([&] {
            return RunWindow(card, 30, [&](TappedChannel& front, TappedChannel& rear) {
                const std::vector<TimeEvent> f = front.Times();
                const std::vector<TimeEvent> b = rear.Times();
                if (f.empty() && b.empty()) return false;
                Clock::time_point first = f.empty() ? b.front().at : f.front().at;
                if (!b.empty()) first = std::min(first, b.front().at);
                std::printf("%.0f\n", std::chrono::duration<double, std::milli>(first - start).count());
                return true;
            });
        });
        // From the parent's fork to the event's arrival in the child (one monotonic clock).
        if (r.status == 0 && !r.output.empty()) ms.push_back(std::atof(r.output.c_str()));
    }
    if (ms.empty()) {
        std::printf("launch to first time event: no run saw one\n");
        return;
    }
    std::printf("launch to first time event (ms, %zu runs): min %.0f  median %.0f  max %.0f\n", ms.size(),
                *std::min_element(ms.begin(), ms.end()), Median(ms), *std::max_element(ms.begin(), ms.end()));
}

void CpuAgainstBare(const std::string& card, double seconds, int rounds = 5)
{
    const fs::path pairFolder = fs::temp_directory_path() / ("trivane-bench-pair-" + std::to_string(getpid()));
    fs::create_directories(pairFolder);
    const fs::path front = fs::path(card) / "DCIM/MOVF/FILE240315-081500F.MOV";
    const fs::path rear = fs::path(card) / "DCIM/MOVR/FILE240315-081500R.MOV";
    fs::copy_file(front, pairFolder / front.filename(), fs::copy_options::overwrite_existing);
    fs::copy_file(rear, pairFolder / rear.filename(), fs::copy_options::overwrite_existing);

    const auto programRun = [&](Variant variant) {
        return InChild([&] {
            // The same steady stretch: from the first time event plus the settling time on.
            Clock::time_point from{};
            double before = -1;
            double channelsBefore = 0;
            return RunWindow(pairFolder.string(), seconds + 15, [&](TappedChannel& f, TappedChannel&) {
                const std::vector<TimeEvent> times = f.Times();
                if (times.empty()) return false;
                const auto now = Clock::now();
                if (before < 0) {
                    if (now - times.front().at < std::chrono::duration<double>(kSettleSeconds)) return false;
                    before = OwnCpuSeconds();
                    channelsBefore = ChannelThreadsCpuSeconds();
                    from = now;
                    return false;
                }
                if (now - from < std::chrono::duration<double>(seconds)) return false;
                std::printf("%.3f %.3f\n", OwnCpuSeconds() - before, ChannelThreadsCpuSeconds() - channelsBefore);
                return true;
            }, {}, variant);
        });
    };
    // Alternated rounds: the machine's speed drifts between runs by more than the difference
    // measured, so each side takes the median of its runs, and each round gives a ratio of its own
    // (its runs are a minute apart, not minutes).
    // The bare channels run twice: as libVLC chooses, and with the program's choice of outputs.
    std::vector<double> bareRuns, sameRuns, programRuns, channelRuns;
    for (int run = 0; run < rounds; ++run) {
        const ChildResult bare = InChild([&] { return RunBare(front.string(), rear.string(), seconds); });
        const ChildResult same = InChild([&] { return RunBare(front.string(), rear.string(), seconds, true); });
        const ChildResult program = programRun({});
        AddFigure(bareRuns, bare, "the bare channels");
        AddFigure(sameRuns, same, "the bare channels with the program's outputs");
        AddFigure(programRuns, program, "the program");
        double total = 0;
        double channels = 0;
        if (program.status == 0 && std::sscanf(program.output.c_str(), "%lf %lf", &total, &channels) == 2 && channels > 0)
            channelRuns.push_back(channels);
    }
    // What the parts cost: three more alternated runs of the program without them.
    std::vector<double> noMapRuns, plainRuns;
    for (int run = 0; run < 3; ++run) {
        AddFigure(noMapRuns, programRun({false, true}), "the program without the map");
        AddFigure(plainRuns, programRun({false, false}), "the program without the map and the animation");
    }
    fs::remove_all(pairFolder);
    const double libvlcSteady = Median(bareRuns);
    const double bareSteady = Median(sameRuns);
    const double programSteady = Median(programRuns);
    std::printf("CPU for %.0f s of steady playback of the 1080p/720p pair (median of %d alternated runs): bare "
                "channels %.2f s with the program's video outputs, %.2f s with libVLC's choice; the program %.2f s, "
                "ratio %.2f to the first, %.2f to the second\n",
                seconds, rounds, bareSteady, libvlcSteady, programSteady,
                bareSteady > 0 ? programSteady / bareSteady : 0.0, libvlcSteady > 0 ? programSteady / libvlcSteady : 0.0);
    std::vector<double> roundRatios;
    const bool split = channelRuns.size() == programRuns.size();
    std::vector<double> splitRatios;
    for (std::size_t i = 0; i < std::min({bareRuns.size(), sameRuns.size(), programRuns.size()}); ++i) {
        const double ratio = sameRuns[i] > 0 ? programRuns[i] / sameRuns[i] : 0.0;
        roundRatios.push_back(ratio);
        std::printf("  run %zu: bare %.2f s (libVLC's choice %.2f s), program %.2f s, ratio %.2f", i + 1, sameRuns[i],
                    bareRuns[i], programRuns[i], ratio);
        if (split) {
            splitRatios.push_back(programRuns[i] / channelRuns[i]);
            std::printf("; in the program the channels %.2f s, all else %.2f s, ratio %.2f", channelRuns[i],
                        programRuns[i] - channelRuns[i], splitRatios.back());
        }
        std::printf("\n");
    }
    if (!roundRatios.empty())
        std::printf("  median of the runs' own ratios to the bare channels with the program's outputs: %.2f\n",
                    Median(roundRatios));
    // The same question asked inside each program run: all its CPU against what its own two
    // channels took in the same seconds, free of the machine's drift between runs. It stands for
    // the bare playback as far as the channels in the program cost what the bare ones do.
    if (split && !splitRatios.empty())
        std::printf("  within the program's runs: channels %.2f s (the bare channels %.2f s), all else %.2f s; median of "
                    "the runs' ratios of all to the channels %.2f\n",
                    Median(channelRuns), bareSteady, Median(programRuns) - Median(channelRuns), Median(splitRatios));
    const double noMap = Median(noMapRuns);
    const double plain = Median(plainRuns);
    std::printf("  parts (median of 3): without the map pane %.2f s (ratio %.2f), without the map pane and the "
                "instruments' animation %.2f s (ratio %.2f): map %.2f s, animation %.2f s, the rest of the window "
                "%.2f s\n",
                noMap, bareSteady > 0 ? noMap / bareSteady : 0.0, plain, bareSteady > 0 ? plain / bareSteady : 0.0,
                programSteady - noMap, noMap - plain, plain - bareSteady);
}

// Front media time at `at`, interpolated between the two front events around it of one file.
bool FrontTimeAt(const std::vector<TimeEvent>& front, const TimeEvent& rear, double& ms)
{
    for (std::size_t i = 1; i < front.size(); ++i) {
        const TimeEvent& a = front[i - 1];
        const TimeEvent& b = front[i];
        if (a.at > rear.at || b.at < rear.at || b.mediaMs < a.mediaMs) continue;
        const double span = std::chrono::duration<double, std::milli>(b.at - a.at).count();
        const double part = std::chrono::duration<double, std::milli>(rear.at - a.at).count();
        ms = static_cast<double>(a.mediaMs) + (span > 0 ? static_cast<double>(b.mediaMs - a.mediaMs) * part / span : 0);
        return true;
    }
    return false;
}

// Paints of one widget at a new value of what it shows, with their time.
class PaintProbe final : public QObject {
public:
    explicit PaintProbe(std::function<double()> value) : value_(std::move(value)) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const double v = value_();
            if (samples.empty() || samples.back().second != v) samples.emplace_back(Clock::now(), v);
        }
        return false;
    }
    std::vector<std::pair<Clock::time_point, double>> samples;

private:
    std::function<double()> value_;
};

struct StepFigures {
    std::size_t updates = 0;
    double largestForward = 0;
    double largestBack = 0;
};

// Steps between consecutive values from `from` on; a fall of more than two seconds is the next
// recording starting, not a step.
StepFigures Steps(const std::vector<std::pair<Clock::time_point, double>>& samples, Clock::time_point from)
{
    StepFigures f;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].first < from) continue;
        ++f.updates;
        const double step = samples[i].second - samples[i - 1].second;
        if (step < -2000) continue;
        f.largestForward = std::max(f.largestForward, step);
        f.largestBack = std::max(f.largestBack, -step);
    }
    return f;
}

void Instruments(const std::string& card, double seconds)
{
    const ChildResult r = InChild([&] {
        // The probes outlive the window: their samples are read once it is gone.
        CGSensorCtrl* curve = nullptr;
        CTrackBar* bar = nullptr;
        PaintProbe cursor([&curve] { return curve->Position(); });
        PaintProbe slider([&bar] { return static_cast<double>(bar->GetPos()); });
        std::vector<TimeEvent> events;
        RunWindow(
            card, seconds,
            [&](TappedChannel& front, TappedChannel&) {
                events = front.Times();
                return false;
            },
            [&](CQENDlg& window) {
                curve = static_cast<CGSensorCtrl*>(window.Control(IDC_GSENSOR));
                bar = static_cast<CTrackBar*>(window.Control(IDC_POSITION_SLIDER));
                curve->installEventFilter(&cursor);
                bar->installEventFilter(&slider);
            });
        if (events.size() < 2 || curve == nullptr) {
            std::printf("instruments: no time events\n");
            return 0;
        }
        // From the first time event plus the settling time to the last event.
        const Clock::time_point from =
            events.front().at + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kSettleSeconds));
        const Clock::time_point to = events.back().at;
        const double span = std::chrono::duration<double>(to - from).count();
        std::size_t eventCount = 0;
        double eventStep = 0;
        for (std::size_t i = 1; i < events.size(); ++i) {
            if (events[i].at < from || events[i].at > to) continue;
            ++eventCount;
            if (events[i].path == events[i - 1].path && events[i].mediaMs >= events[i - 1].mediaMs)
                eventStep = std::max(eventStep, static_cast<double>(events[i].mediaMs - events[i - 1].mediaMs));
        }
        auto until = [&](std::vector<std::pair<Clock::time_point, double>> v) {
            v.erase(std::remove_if(v.begin(), v.end(), [&](const auto& s) { return s.first > to; }), v.end());
            return v;
        };
        const StepFigures c = Steps(until(cursor.samples), from);
        const StepFigures b = Steps(until(slider.samples), from);
        std::printf("instruments over %.0f s of playing the card: libVLC time events %.1f/s (largest media step "
                    "%.0f ms); G-sensor cursor painted at a new place %.1f/s, largest step %.0f ms forward, %.0f ms "
                    "back; position slider %.1f/s\n",
                    span, static_cast<double>(eventCount) / span, eventStep, static_cast<double>(c.updates) / span,
                    c.largestForward, c.largestBack, static_cast<double>(b.updates) / span);
        return 0;
    });
    if (r.status != 0) std::printf("instruments: the run failed (status %d)\n", r.status);
    std::printf("%s", r.output.c_str());
}

void Drift(const std::string& card, double seconds, bool correction)
{
    const ChildResult r = InChild([&] {
        std::vector<TimeEvent> f, b;
        int corrections = 0;
        RunWindow(
            card, seconds,
            [&](TappedChannel& fr, TappedChannel& re) {
                f = fr.Times();
                b = re.Times();
                return false;
            },
            [&](CQENDlg& window) {
                window.Controller().SetDriftCorrection(correction);
                // Counted as the window goes: the controller lives as long as the run.
                QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&corrections, w = &window] {
                    corrections = w->Controller().Drift().Corrections();
                });
            });
        // The last minute of pairs: rear events against the front's time at the same moment.
        const auto from = Clock::now() - std::chrono::seconds(60);
        std::vector<double> drifts;
        for (const TimeEvent& e : b) {
            double frontMs = 0;
            if (e.at >= from && FrontTimeAt(f, e, frontMs)) drifts.push_back(static_cast<double>(e.mediaMs) - frontMs);
        }
        if (drifts.empty()) {
            std::printf("no rear events beside front ones\n");
            return 0;
        }
        std::vector<double> sizes;
        for (double d : drifts) sizes.push_back(std::fabs(d));
        std::sort(sizes.begin(), sizes.end());
        const double p95 = sizes[std::min(sizes.size() - 1, sizes.size() * 95 / 100)];
        std::printf("%zu %.0f %.0f %.0f %zu %d\n", drifts.size(), Median(drifts), p95, sizes.back(), b.size(), corrections);
        return 0;
    });
    std::size_t samples = 0, rears = 0;
    double median = 0, p95 = 0, worst = 0;
    int corrections = 0;
    if (std::sscanf(r.output.c_str(), "%zu %lf %lf %lf %zu %d", &samples, &median, &p95, &worst, &rears, &corrections) == 6)
        std::printf("front/rear drift after %.0f s of looping, correction %s (last minute, %zu samples of %zu rear "
                    "events): median %.0f ms (rear minus front), 95%% within %.0f ms, largest %.0f ms; %d rear seeks\n",
                    seconds, correction ? "on" : "off", samples, rears, median, p95, worst, corrections);
    else
        std::printf("front/rear drift: %s\n", r.output.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "usage (with an X display): %s CARD [CPU-SECONDS [DRIFT-SECONDS]]\n", argv[0]);
        return 2;
    }
    // The bare playback alone, for profiling: --bare FRONT REAR SECONDS.
    if (std::string(argv[1]) == "--bare" && argc == 5) return RunBare(argv[2], argv[3], std::atof(argv[4]));
    // The drift alone, with and without the correction: --drift CARD SECONDS.
    if (std::string(argv[1]) == "--drift" && argc == 4) {
        const std::string card = fs::absolute(argv[2]).string();
        Drift(card, std::atof(argv[3]), false);
        Drift(card, std::atof(argv[3]), true);
        return 0;
    }
    // The CPU figures alone, with more rounds: --cpu CARD SECONDS ROUNDS.
    if (std::string(argv[1]) == "--cpu" && argc == 5) {
        CpuAgainstBare(fs::absolute(argv[2]).string(), std::atof(argv[3]), std::max(1, std::atoi(argv[4])));
        return 0;
    }
    // The instruments alone: --instruments CARD SECONDS.
    if (std::string(argv[1]) == "--instruments" && argc == 4) {
        Instruments(fs::absolute(argv[2]).string(), std::atof(argv[3]));
        return 0;
    }
    const std::string card = fs::absolute(argv[1]).string();
    const double cpuSeconds = argc > 2 ? std::atof(argv[2]) : 20;
    const double driftSeconds = argc > 3 ? std::atof(argv[3]) : 600;
    LaunchToFirstFrame(card);
    CpuAgainstBare(card, cpuSeconds);
    Instruments(card, cpuSeconds);
    Drift(card, driftSeconds, false);
    Drift(card, driftSeconds, true);
    return 0;
}
