// LoadTelemetry of a one-hour recording (36,000 fixes at 10 per second, G-sensor at 100 Hz) with a
// counting map host, and the cost of one UpdateTelemetryAt without a map.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "library/CRecordingManager.h"
#include "library/IMapHost.h"
#include "OneHourMov.h"

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

    if (!bench::WriteOneHourMov(root + "/FILE0001.MOV")) return 1;

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
