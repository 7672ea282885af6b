// G-force event detection over one hour of G-sensor samples at 100 Hz (360,000 samples): road
// noise on every axis, gravity on z, a slow tilt, and a hard braking every five minutes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "library/GForceEvents.h"

namespace {

using namespace trivane;
using Clock = std::chrono::steady_clock;

constexpr double kSamplesPerMs = 0.1;  // rate code 50
constexpr double kRange = 16;          // raw 64 = 1 G
constexpr std::size_t kSamples = 360'000;
constexpr int kRuns = 11;

std::vector<GSensorSample> OneHour() {
    std::vector<GSensorSample> samples(kSamples);
    std::uint32_t seed = 1;
    const auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>(seed >> 24) % 7 - 3;  // about 0.05 G
    };
    for (std::size_t i = 0; i < kSamples; ++i) {
        const double seconds = static_cast<double>(i) / 100;
        const int tilt = static_cast<int>(std::lround(6 * std::sin(seconds / 300)));
        const bool braking = std::fmod(seconds, 300) >= 150 && std::fmod(seconds, 300) < 152.5;
        samples[i] = {static_cast<std::int8_t>((braking ? -45 : 0) + noise() + tilt),
                      static_cast<std::int8_t>(noise()), static_cast<std::int8_t>(64 + noise() - tilt)};
    }
    return samples;
}

}  // namespace

int main() {
    const std::vector<GSensorSample> samples = OneHour();
    std::vector<double> ms;
    std::size_t events = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        events = DetectGForceEvents(samples, kSamplesPerMs, kRange, kDefaultGEventThresholdG).size();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("DetectGForceEvents: %zu samples (one hour at 100 Hz), %zu events, median of %d runs %.2f ms "
                "(min %.2f, max %.2f)\n",
                samples.size(), events, kRuns, ms[ms.size() / 2], ms.front(), ms.back());
    return events == 12 ? 0 : 1;
}
