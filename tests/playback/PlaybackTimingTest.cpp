// The interpolated playback clock and the front/rear drift corrector, on a fake monotonic clock.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "playback/DriftCorrector.h"
#include "playback/PlaybackClock.h"

namespace trivane {
namespace {

using namespace std::chrono_literals;
using Monotonic = std::chrono::steady_clock;

class FakeTime {
public:
    Monotonic::time_point Now() const { return now_; }
    void Advance(std::chrono::milliseconds d) { now_ += d; }

private:
    Monotonic::time_point now_{std::chrono::hours(1)};
};

class PlaybackClockTest : public ::testing::Test {
protected:
    // Time events `stepMs` of media apart, arriving `gap` apart, from `fromMs`.
    void Events(std::int64_t fromMs, int count, std::int64_t stepMs, std::chrono::milliseconds gap, double rate = 1.0) {
        for (int i = 0; i < count; ++i) {
            if (i > 0) time.Advance(gap);
            clock.OnTimeEvent(fromMs + i * stepMs, rate, 60000);
        }
    }
    FakeTime time;
    PlaybackClock clock{[this] { return time.Now(); }};
};

TEST_F(PlaybackClockTest, RunsFromEachEventButNeverMoreThanTheLargestRecentIntervalAhead) {
    EXPECT_EQ(clock.TimeMs(), -1);
    EXPECT_FALSE(clock.Running());
    clock.OnTimeEvent(1000, 1.0, 60000);
    time.Advance(1000ms);
    EXPECT_EQ(clock.TimeMs(), 1000 + PlaybackClock::kDefaultInterval.count()) << "no interval measured yet";

    // Gaps of 250 and one of 450 (the pause makes the wait before them no interval): the lead
    // is the largest.
    clock.Pause();
    Events(5000, 3, 250, 250ms);
    time.Advance(450ms);
    clock.OnTimeEvent(5950, 1.0, 60000);
    EXPECT_EQ(clock.LeadLimitMs(), 450);
    time.Advance(100ms);
    EXPECT_EQ(clock.TimeMs(), 6050);
    time.Advance(2000ms);
    EXPECT_EQ(clock.TimeMs(), 5950 + 450);
    // A late event snaps the value back.
    clock.OnTimeEvent(6200, 1.0, 60000);
    EXPECT_EQ(clock.TimeMs(), 6200);
}

TEST_F(PlaybackClockTest, StallsAreNoIntervalAndTheLengthIsTheEnd) {
    Events(0, 3, 250, 250ms);
    time.Advance(3000ms);  // the window thread was busy
    clock.OnTimeEvent(3500, 1.0, 60000);
    EXPECT_EQ(clock.LeadLimitMs(), 250);
    Events(59700, 2, 250, 250ms);
    time.Advance(200ms);
    EXPECT_EQ(clock.TimeMs(), 60000) << "never past the length";
    clock.End();
    EXPECT_FALSE(clock.Running());
    time.Advance(1000ms);
    EXPECT_EQ(clock.TimeMs(), 60000);
}

TEST_F(PlaybackClockTest, DoubleRateAdvancesTwiceAsFastWithTwiceTheLead) {
    Events(10000, 4, 500, 250ms, 2.0);
    EXPECT_EQ(clock.LeadLimitMs(), 500);
    time.Advance(100ms);
    EXPECT_EQ(clock.TimeMs(), 11700);
    // Back to normal speed between events: on from the value reached, at the new rate.
    clock.SetRate(1.0);
    EXPECT_EQ(clock.LeadLimitMs(), 250);
    time.Advance(40ms);
    EXPECT_EQ(clock.TimeMs(), 11740);
    time.Advance(1000ms);
    EXPECT_EQ(clock.TimeMs(), 11750) << "one interval at the new rate past the last event";
}

TEST_F(PlaybackClockTest, PauseFreezesUntilTheNextEventAndSeeksJumpWithoutChangingThat) {
    std::vector<bool> changes;
    clock.SetRunningObserver([&](bool running) { changes.push_back(running); });
    Events(2000, 3, 250, 250ms);
    time.Advance(100ms);
    clock.Pause();
    EXPECT_FALSE(clock.Running());
    time.Advance(5000ms);
    EXPECT_EQ(clock.TimeMs(), 2600);
    clock.Seek(30000);
    time.Advance(500ms);
    EXPECT_EQ(clock.TimeMs(), 30000) << "a seek while paused stays put";
    // Playing again: the first event after the pause gives no interval.
    clock.OnTimeEvent(30000, 1.0, 60000);
    EXPECT_TRUE(clock.Running());
    EXPECT_EQ(clock.LeadLimitMs(), 250);
    // A seek while running runs on from the target, no further than one interval past it.
    time.Advance(100ms);
    clock.Seek(45000);
    time.Advance(100ms);
    EXPECT_EQ(clock.TimeMs(), 45100);
    time.Advance(1000ms);
    EXPECT_EQ(clock.TimeMs(), 45250);
    clock.Reset();
    EXPECT_EQ(clock.TimeMs(), -1);
    EXPECT_EQ(clock.LengthMs(), -1);
    EXPECT_EQ(changes, (std::vector<bool>{true, false, true, false}));
}

class DriftCorrectorTest : public ::testing::Test {
protected:
    // Both channels' last events, the front's just arrived and the rear's 100 ms ago.
    std::optional<std::int64_t> Sample(std::int64_t frontMs, std::int64_t rearMs) {
        time.Advance(300ms);
        const DriftCorrector::ChannelTime front{frontMs, time.Now()};
        const DriftCorrector::ChannelTime rear{rearMs, time.Now() - 100ms};
        return corrector.OnSample(front, rear, 1.0, time.Now());
    }
    FakeTime time;
    DriftCorrector corrector;
};

TEST_F(DriftCorrectorTest, SeeksTheRearOnlyAfterConsecutiveSamplesBeyondTheThreshold) {
    // The start's first samples are never acted on.
    EXPECT_FALSE(Sample(1000, 2000));
    EXPECT_FALSE(Sample(1300, 2300));
    EXPECT_FALSE(Sample(1600, 1650));
    EXPECT_EQ(corrector.LastDriftMs(), 150) << "the rear's event carried forward 100 ms";
    EXPECT_FALSE(Sample(1900, 2000)) << "one sample beyond is not enough";
    const std::optional<std::int64_t> target = Sample(2200, 2300);
    ASSERT_TRUE(target);
    EXPECT_EQ(*target, 2200);
    EXPECT_EQ(corrector.Corrections(), 1);
    // Settling: nothing is measured for a while after the seek.
    EXPECT_FALSE(Sample(2500, 1800));
    EXPECT_EQ(corrector.LastDriftMs(), 200);
    // The seek landed 120 ms behind its target: the next one aims 60 ms ahead.
    time.Advance(1000ms);
    EXPECT_FALSE(Sample(4000, 3780));
    EXPECT_EQ(corrector.LastDriftMs(), -120);
    EXPECT_EQ(corrector.SeekLeadMs(), 60);
    EXPECT_FALSE(Sample(4300, 4000));
    const std::optional<std::int64_t> again = Sample(4600, 4300);
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, 4660);
}

TEST_F(DriftCorrectorTest, NearTheThresholdOnlyASustainedDriftActs) {
    Sample(0, 0);
    Sample(300, 300);
    // Dipping well below in between: the count starts again each time.
    for (int i = 0; i < 6; ++i) {
        const std::int64_t t = 600 + i * 600;
        EXPECT_FALSE(Sample(t, t + 60));
        EXPECT_FALSE(Sample(t + 300, t + 250));
    }
    // Just below the threshold but above the release level does not undo the count.
    EXPECT_FALSE(Sample(5000, 5000 + 100));
    EXPECT_FALSE(Sample(5300, 5300 + 20));
    EXPECT_TRUE(Sample(5600, 5600 + 60));
}

TEST_F(DriftCorrectorTest, StaleEventsAndTheOffSwitchNeverSeek) {
    corrector.SetEnabled(false);
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(Sample(i * 300, i * 300 + 400));
    EXPECT_EQ(corrector.LastDriftMs(), 500) << "measured all the same";
    EXPECT_EQ(corrector.Corrections(), 0);

    corrector.SetEnabled(true);
    for (int i = 0; i < 4; ++i) {
        time.Advance(300ms);
        // A rear whose last event is two seconds old has stopped reporting (ended or stalled).
        const DriftCorrector::ChannelTime front{i * 300, time.Now()};
        const DriftCorrector::ChannelTime rear{0, time.Now() - 2000ms};
        EXPECT_FALSE(corrector.OnSample(front, rear, 1.0, time.Now()));
        EXPECT_FALSE(corrector.OnSample(front, {-1, time.Now()}, 1.0, time.Now()));
    }
    EXPECT_EQ(corrector.Corrections(), 0);
}

}  // namespace
}  // namespace trivane
