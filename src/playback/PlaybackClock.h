#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>

namespace trivane {

// The media time of the master channel between libVLC's time events, which come only 2-4 times
// a second. Anchored on each real event (the value snaps to it), on seeks, rate changes, pauses
// and the end; between anchors it advances at the playback rate on a monotonic clock, but never
// further past the last event (or seek target) than one event interval: the largest gap between
// recent events, measured on arrival and scaled by the rate. Paused, ended or before its first
// event it stands still. Window thread only; no Qt.
class PlaybackClock {
public:
    using Monotonic = std::chrono::steady_clock;
    using NowFunction = std::function<Monotonic::time_point()>;

    // Lead allowed before any gap between events has been measured.
    static constexpr std::chrono::milliseconds kDefaultInterval{400};
    // A longer gap is a stall (a busy window thread, a stream hiccup), not an event interval.
    static constexpr std::chrono::milliseconds kLongestInterval{1500};

    explicit PlaybackClock(NowFunction now = Monotonic::now);

    // A time event of the master channel: the value snaps to it and runs from there.
    void OnTimeEvent(std::int64_t mediaMs, double rate, std::int64_t lengthMs);
    // A jump; the clock keeps running or standing as it was.
    void Seek(std::int64_t mediaMs);
    // Continues from the current value at the new rate.
    void SetRate(double rate);
    // Stands at the current value until the next time event.
    void Pause();
    // Stands at the end: the length when known, else the current value.
    void End();
    // Nothing known about the position (a new start, a stop). Measured intervals are kept.
    void Reset();
    // Told when Running() changes (the window animates only while the clock runs).
    void SetRunningObserver(std::function<void(bool running)> observer) { observer_ = std::move(observer); }

    bool Anchored() const { return anchored_; }
    bool Running() const { return anchored_ && running_; }
    // Interpolated media time, -1 before the first anchor.
    std::int64_t TimeMs() const;
    std::int64_t LengthMs() const { return lengthMs_; }
    double Rate() const { return rate_; }
    // How far past the last event the value may go at the current rate.
    std::int64_t LeadLimitMs() const;

private:
    void Anchor(std::int64_t mediaMs);
    void SetRunning(bool running);
    Monotonic::duration Interval() const;

    NowFunction now_;
    std::function<void(bool)> observer_;
    bool anchored_ = false;
    bool running_ = false;
    std::int64_t anchorMs_ = 0;
    Monotonic::time_point anchorAt_{};
    std::int64_t limitBaseMs_ = 0;  // the last event or seek target
    double rate_ = 1.0;
    std::int64_t lengthMs_ = -1;

    bool previousEventValid_ = false;  // the next event's gap is an interval
    Monotonic::time_point previousEventAt_{};
    std::array<Monotonic::duration, 8> intervals_{};
    std::size_t intervalCount_ = 0;
    std::size_t nextInterval_ = 0;
};

}  // namespace trivane
