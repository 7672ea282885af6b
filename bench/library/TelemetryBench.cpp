// LoadTelemetry of a one-hour recording (36,000 fixes at 10 per second, G-sensor at 100 Hz) with a
// counting map host, and the cost of one UpdateTelemetryAt without a map.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "library/CRecordingManager.h"
#include "library/IMapHost.h"
#include "writer/MovWriter.h"
#include "writer/TelemetryRecords.h"

namespace {

using namespace trivane;
using Clock = std::chrono::steady_clock;

class CountingMap final : public IMapHost {
public:
    void RunScript(const std::string& script) override {
        ++calls;
        bytes += script.size();
    }
    void MovePosition(double, double) override { ++calls; }
    std::size_t calls = 0;
    std::size_t bytes = 0;
};

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

}  // namespace

int main() {
    char pattern[] = "/tmp/trivane-telbench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const std::string root = pattern;

    writer::MovRecording recording;
    recording.timescale = 1000;
    recording.duration = 3600 * 1000;
    recording.movieBytes = std::uint64_t{3} << 30;
    recording.telemetry.fixesPerSecond = 10;
    recording.telemetry.gsensorRateCode = 50;  // 0.1 per ms
    for (int i = 0; i < 36000; ++i) {
        recording.telemetry.fixes.push_back(
            writer::MakeFix(3540.0 + i * 0.0001, 13946.0 + i * 0.0001, static_cast<std::uint16_t>(i % 120), 2020, 6,
                            1, 10 + i / 36000, (i / 600) % 60, (i / 10) % 60, true));
    }
    recording.telemetry.samples.assign(360000, GSensorSample{1, -2, 64});
    recording.telemetry.idit = "2020-06-01 10:00:00";
    if (!writer::RenderBoxes(writer::BuildMov(recording)).WriteFile(root + "/FILE0001.MOV")) return 1;

    CRecordingManager manager;
    manager.OpenSource(root, "");
    CountingMap map;
    manager.SetMapHost(&map);
    manager.LoadTelemetry(0);  // warm
    double best = 1e9;
    for (int run = 0; run < 10; ++run) {
        map.calls = 0;
        const auto start = Clock::now();
        manager.LoadTelemetry(0);
        best = std::min(best, Seconds(start));
    }
    std::printf("LoadTelemetry: %zu fixes, %zu G-sensor bytes, %zu map calls, best of 10 %.2f ms (target < 30 ms)\n",
                manager.Track().fixStore.size(), manager.Track().gsensorStore.size(), map.calls, best * 1000);

    manager.SetMapHost(nullptr);
    constexpr int kCalls = 2'000'000;
    int shown = 0;
    const auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i) {
        shown += manager.UpdateTelemetryAt((static_cast<std::int64_t>(i) * 7919) % 3'600'000, true, false);
    }
    const double perCall = Seconds(start) / kCalls;
    std::printf("UpdateTelemetryAt: %.1f ns per call over %d calls (%d shown; target < 1 us)\n", perCall * 1e9, kCalls,
                shown);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
