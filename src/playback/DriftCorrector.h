#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace trivane {

// Keeps the rear channel on the front one's time. Each sample compares the two channels' latest
// time events, each carried forward to the same moment at the playback rate (libVLC's time
// moves in steps, so two GetTime calls side by side can differ by a whole step). A drift beyond
// the threshold on consecutive samples asks for a seek of the rear; the front is never touched.
// After a seek the corrector waits for the rear to settle, and learns how far behind its target
// a seek lands, so the next one aims that much ahead. Below the release level the count of
// samples over the threshold starts again, so a drift near the threshold does not set off
// seek after seek. Window thread only; no Qt.
class DriftCorrector {
public:
    using Monotonic = std::chrono::steady_clock;

    struct ChannelTime {
        std::int64_t mediaMs = -1;
        Monotonic::time_point at{};  // arrival of the event
    };

    static constexpr std::int64_t kThresholdMs = 150;
    static constexpr std::int64_t kReleaseMs = 75;
    static constexpr int kConfirmations = 2;
    static constexpr int kWarmUpSamples = 2;  // a start's first events are rough
    static constexpr std::chrono::milliseconds kSettle{1500};
    static constexpr std::chrono::milliseconds kStale{1500};
    static constexpr std::int64_t kLongestLeadMs = 1000;

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    // A new start or a seek of both channels: samples start again; the learnt lead is kept.
    void Reset();

    // The rear's seek target when it should be brought back, else nothing.
    std::optional<std::int64_t> OnSample(const ChannelTime& front, const ChannelTime& rear, double rate,
                                         Monotonic::time_point now);

    // Rear minus front of the last usable sample (0 before any).
    std::int64_t LastDriftMs() const { return lastDriftMs_; }
    int Corrections() const { return corrections_; }
    std::int64_t SeekLeadMs() const { return seekLeadMs_; }

private:
    bool enabled_ = true;
    int warmUp_ = kWarmUpSamples;
    int overThreshold_ = 0;
    bool settling_ = false;
    Monotonic::time_point settledAt_{};
    std::int64_t lastDriftMs_ = 0;
    std::int64_t seekLeadMs_ = 0;
    int corrections_ = 0;
};

}  // namespace trivane
