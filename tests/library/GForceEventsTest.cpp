#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "TestCard.h"
#include "library/CRecordingManager.h"
#include "library/GForceEvents.h"

namespace trivane {
namespace {

constexpr double kRate = 0.1;   // 100 samples a second
constexpr double kRange = 16;   // 64 raw = 1 G
constexpr double kG = 1024 / kRange;

// `seconds` of road at 100 Hz: gravity on z and up to 0.05 G of noise on every axis.
std::vector<GSensorSample> Road(int seconds) {
    std::vector<GSensorSample> samples(static_cast<std::size_t>(seconds * 100));
    std::uint32_t seed = 7;
    const auto noise = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::int8_t>(static_cast<int>(seed >> 24) % 7 - 3);
    };
    for (GSensorSample& s : samples) s = {noise(), noise(), static_cast<std::int8_t>(64 + noise())};
    return samples;
}

// Adds `g` to one axis ('x', 'y' or 'z') over [from, to) seconds.
void Add(std::vector<GSensorSample>& samples, char axis, double g, double from, double to) {
    for (auto i = static_cast<std::size_t>(from * 100); i < static_cast<std::size_t>(to * 100); ++i) {
        std::int8_t& v = axis == 'x' ? samples[i].x : axis == 'y' ? samples[i].y : samples[i].z;
        v = static_cast<std::int8_t>(v + std::lround(g * kG));
    }
}

std::vector<GForceEvent> Detect(const std::vector<GSensorSample>& samples, double thresholdG = 0.5) {
    return DetectGForceEvents(samples, kRate, kRange, thresholdG);
}

TEST(GForceEvents, StepIsOneEventAtItsStartAndSlowChangesAreNone) {
    auto samples = Road(60);
    EXPECT_TRUE(Detect(samples).empty());
    EXPECT_TRUE(Detect(samples, 0.1).empty());  // the noise stays within 0.05 G of the baseline

    Add(samples, 'x', -0.75, 20, 60);  // braking that never ends: the baseline catches up
    const auto events = Detect(samples);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].timeMs, 20000);
    EXPECT_EQ(events[0].axis, GAxis::X);
    EXPECT_NEAR(events[0].peakG, -0.75, 0.06);

    // The camera tilting by 0.8 G over 20 s, a long 0.4 G turn: the baseline follows.
    auto slow = Road(60);
    for (int k = 0; k < 20; ++k) Add(slow, 'z', -0.04, 10 + k, 60);
    Add(slow, 'y', 0.4, 30, 45);
    EXPECT_TRUE(Detect(slow).empty());
}

TEST(GForceEvents, SpikesCountAboveTheThresholdAndMergeWithin2s) {
    auto samples = Road(60);
    Add(samples, 'z', 0.35, 5, 5.01);  // a small bump
    Add(samples, 'x', 0.6, 10, 10.01);  // one sample is enough
    Add(samples, 'y', -0.9, 11.5, 11.51);
    Add(samples, 'z', 0.8, 30, 30.01);
    Add(samples, 'z', 0.8, 32.5, 32.51);
    Add(samples, 'x', 0.7, 45, 45.01);
    Add(samples, 'x', 0.7, 47, 47.01);  // exactly 2 s later: still the same event
    const auto events = Detect(samples);
    ASSERT_EQ(events.size(), 4u);
    // The first sample over the threshold gives the time, the largest one the peak and the axis.
    EXPECT_EQ(events[0].timeMs, 10000);
    EXPECT_EQ(events[0].axis, GAxis::Y);
    EXPECT_NEAR(events[0].peakG, -0.9, 0.06);
    EXPECT_EQ(events[1].timeMs, 30000);
    EXPECT_EQ(events[2].timeMs, 32500);
    EXPECT_EQ(events[3].timeMs, 45000);
}

TEST(GForceEvents, RangeFactorScalesAndRateTimesTheSamples) {
    std::vector<GSensorSample> samples(200, GSensorSample{0, 0, 64});
    samples[55].x = 40;
    EXPECT_EQ(DetectGForceEvents(samples, 0.01, 16, 0.5), (std::vector<GForceEvent>{{5500, 0.625, GAxis::X}}));
    EXPECT_TRUE(DetectGForceEvents(samples, 0.01, 8, 0.5).empty());  // 0.3125 G
    // Rate code 8 (0.016 per ms): the nearest millisecond, at which the curve shows sample 55.
    EXPECT_EQ(DetectGForceEvents(samples, 0.016, 16, 0.5).at(0).timeMs, 3438);
    // Nothing to compare with, or no time to give.
    EXPECT_TRUE(DetectGForceEvents(std::vector<GSensorSample>{}, 0.01, 16, 0.5).empty());
    EXPECT_TRUE(DetectGForceEvents(std::vector<GSensorSample>{{127, -128, 127}}, 0.01, 16, 0.5).empty());
    for (const double rate : {0.0, -0.01, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_TRUE(DetectGForceEvents(samples, rate, 16, 0.5).empty()) << rate;
    }
}

TEST(GForceEvents, LoadedTrackReadsWithItsRecordingsRangeAndRate) {
    test::TempDir dir;
    writer::Telemetry t;
    t.samples.assign(200, GSensorSample{0, 0, 64});
    t.samples[55].x = -40;
    t.gsensorRateCode = 5;  // 10 a second
    t.gsensorRange = 16;
    test::WriteAvi(dir / "A0000001.AVI", "2020-06-01 10:00:00", 20, t);
    t.gsensorRateCode = 0;  // 200 samples over 20 s
    t.gsensorRange = 0;     // read as 8
    test::WriteAvi(dir / "A0000002.AVI", "2020-06-01 10:00:20", 20, t);
    // A side file: one sample a second, range 2, so 0.25 G at most.
    std::string lines;
    for (int i = 0; i < 20; ++i) lines += i == 7 ? "$GSENSORD,0.2,0,0\n" : "$GSENSORD,0,0,0\n";
    test::WriteText(dir / "A0000003F.TS", "");
    test::WriteText(dir / "A0000003F.NMEA", lines);

    CRecordingManager m;
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(DetectGForceEvents(m.Track(), 0.5), (std::vector<GForceEvent>{{5500, -0.625, GAxis::X}}));
    ASSERT_TRUE(m.LoadTelemetry(1));
    EXPECT_TRUE(DetectGForceEvents(m.Track(), 0.5).empty());
    EXPECT_EQ(DetectGForceEvents(m.Track(), 0.3), (std::vector<GForceEvent>{{5500, -0.3125, GAxis::X}}));
    ASSERT_TRUE(m.LoadTelemetry(2));
    EXPECT_EQ(DetectGForceEvents(m.Track(), 0.1), (std::vector<GForceEvent>{{7000, 102 / 512.0, GAxis::X}}));
}

}  // namespace
}  // namespace trivane
