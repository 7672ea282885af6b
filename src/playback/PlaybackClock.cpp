#include "playback/PlaybackClock.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace trivane {

PlaybackClock::PlaybackClock(NowFunction now) : now_(std::move(now)) {}

void PlaybackClock::Anchor(std::int64_t mediaMs) {
    anchorMs_ = mediaMs;
    anchorAt_ = now_();
    anchored_ = true;
}

void PlaybackClock::SetRunning(bool running) {
    const bool was = Running();
    running_ = running;
    if (Running() != was && observer_) observer_(Running());
}

void PlaybackClock::OnTimeEvent(std::int64_t mediaMs, double rate, std::int64_t lengthMs) {
    const Monotonic::time_point at = now_();
    if (previousEventValid_) {
        const Monotonic::duration gap = at - previousEventAt_;
        if (gap > Monotonic::duration::zero() && gap <= kLongestInterval) {
            intervals_[nextInterval_] = gap;
            nextInterval_ = (nextInterval_ + 1) % intervals_.size();
            intervalCount_ = std::min(intervalCount_ + 1, intervals_.size());
        }
    }
    previousEventValid_ = true;
    previousEventAt_ = at;
    if (rate > 0 && std::isfinite(rate)) rate_ = rate;
    if (lengthMs > 0) lengthMs_ = lengthMs;
    mediaMs = std::max<std::int64_t>(mediaMs, 0);
    Anchor(mediaMs);
    limitBaseMs_ = mediaMs;
    SetRunning(true);
}

void PlaybackClock::Seek(std::int64_t mediaMs) {
    mediaMs = std::max<std::int64_t>(mediaMs, 0);
    Anchor(mediaMs);
    limitBaseMs_ = mediaMs;
    previousEventValid_ = false;
}

void PlaybackClock::SetRate(double rate) {
    if (!(rate > 0) || !std::isfinite(rate)) return;
    // The gaps between events were measured on arrival, so the lead scales with the new rate.
    if (anchored_) Anchor(TimeMs());
    rate_ = rate;
    previousEventValid_ = false;
}

void PlaybackClock::Pause() {
    if (anchored_) Anchor(TimeMs());
    SetRunning(false);
    previousEventValid_ = false;
}

void PlaybackClock::End() {
    if (!anchored_ && lengthMs_ <= 0) return;
    Anchor(lengthMs_ > 0 ? lengthMs_ : TimeMs());
    SetRunning(false);
    previousEventValid_ = false;
}

void PlaybackClock::Reset() {
    SetRunning(false);
    anchored_ = false;
    lengthMs_ = -1;
    previousEventValid_ = false;
}

PlaybackClock::Monotonic::duration PlaybackClock::Interval() const {
    if (intervalCount_ == 0) return kDefaultInterval;
    return *std::max_element(intervals_.begin(), intervals_.begin() + static_cast<std::ptrdiff_t>(intervalCount_));
}

std::int64_t PlaybackClock::LeadLimitMs() const {
    const double ms = std::chrono::duration<double, std::milli>(Interval()).count() * rate_;
    return static_cast<std::int64_t>(std::llround(ms));
}

std::int64_t PlaybackClock::TimeMs() const {
    if (!anchored_) return -1;
    std::int64_t value = anchorMs_;
    if (running_) {
        const double elapsedMs = std::chrono::duration<double, std::milli>(now_() - anchorAt_).count();
        const auto advanced = anchorMs_ + static_cast<std::int64_t>(std::max(elapsedMs, 0.0) * rate_);
        value = std::max(anchorMs_, std::min(advanced, limitBaseMs_ + LeadLimitMs()));
    }
    if (lengthMs_ > 0) value = std::min(value, lengthMs_);
    return value;
}

}  // namespace trivane
