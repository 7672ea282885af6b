// Time to paint the G-sensor panel of a one-hour recording at 100 Hz into the 544 x 107 panel,
// and how many heap allocations one paint makes once the back buffer exists.
#include <QApplication>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "widgets/CGSensorCtrl.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    trivane::CGSensorCtrl panel;
    panel.resize(544, 107);
    panel.ResetSamples();
    panel.SetGRange(8);
    constexpr int kSamples = 3600 * 100;
    for (int i = 0; i < kSamples; ++i) {
        const double t = i / 100.0;
        panel.AppendSample({static_cast<std::int8_t>(std::lround(60 * std::sin(t * 0.5))),
                            static_cast<std::int8_t>(std::lround(40 * std::sin(t * 1.3))),
                            static_cast<std::int8_t>(std::lround(20 * std::cos(t * 0.2)))});
    }
    panel.SetSampleRate(0.1);
    panel.SetCursorTracking(true);

    for (int i = 0; i < 50; ++i) {  // warm up fonts, glyph caches and the back buffer
        panel.SetPosition(static_cast<std::uint32_t>(i * 1000));
        panel.Render();
    }
    constexpr int kPaints = 2000;
    long allocations = 0;
    double worstMs = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kPaints; ++i) {
        panel.SetPosition(static_cast<std::uint32_t>((i * 1777) % 3600000));
        const long before = g_allocations.load();
        const auto t0 = std::chrono::steady_clock::now();
        panel.Render();
        const auto t1 = std::chrono::steady_clock::now();
        allocations += g_allocations.load() - before;
        worstMs = std::max(worstMs, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    const double totalMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("G-sensor paint, 1 h at 100 Hz (%d samples) into 544x107:\n", kSamples);
    std::printf("  mean %.3f ms per paint, worst %.3f ms, %d paints\n", totalMs / kPaints, worstMs, kPaints);
    std::printf("  heap allocations per paint (operator new): %.2f\n",
                static_cast<double>(allocations) / kPaints);
    // Repaints without a change of position (window exposed, legend click, drag over the panel).
    panel.SetPosition(1234567);
    panel.Render();
    const long before = g_allocations.load();
    for (int i = 0; i < kPaints; ++i) panel.Render();
    std::printf("  heap allocations per repaint at an unchanged position: %.2f\n",
                static_cast<double>(g_allocations.load() - before) / kPaints);
    return 0;
}
