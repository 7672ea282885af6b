#include "playback/DriftCorrector.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trivane {

namespace {

double MediaAt(const DriftCorrector::ChannelTime& t, double rate, DriftCorrector::Monotonic::time_point now) {
    return static_cast<double>(t.mediaMs) + std::chrono::duration<double, std::milli>(now - t.at).count() * rate;
}

}  // namespace

void DriftCorrector::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Reset();
}

void DriftCorrector::Reset() {
    warmUp_ = kWarmUpSamples;
    overThreshold_ = 0;
    settling_ = false;
}

std::optional<std::int64_t> DriftCorrector::OnSample(const ChannelTime& front, const ChannelTime& rear, double rate,
                                                     Monotonic::time_point now) {
    if (front.mediaMs < 0 || rear.mediaMs < 0 || !(rate > 0)) return std::nullopt;
    if (now - front.at > kStale || now - rear.at > kStale) return std::nullopt;
    if (settling_ && now < settledAt_) return std::nullopt;

    const double frontMs = MediaAt(front, rate, now);
    const auto drift = static_cast<std::int64_t>(std::llround(MediaAt(rear, rate, now) - frontMs));
    lastDriftMs_ = drift;
    if (settling_) {
        // Where the last seek landed against where it aimed: half of the miss goes into the lead.
        settling_ = false;
        if (std::llabs(drift) < kLongestLeadMs) seekLeadMs_ = std::clamp<std::int64_t>(seekLeadMs_ - drift / 2, 0, kLongestLeadMs);
    }
    if (warmUp_ > 0) {
        --warmUp_;
        return std::nullopt;
    }
    if (!enabled_) return std::nullopt;

    const std::int64_t size = std::llabs(drift);
    if (size < kReleaseMs) overThreshold_ = 0;
    if (size <= kThresholdMs) return std::nullopt;
    if (++overThreshold_ < kConfirmations) return std::nullopt;

    overThreshold_ = 0;
    settling_ = true;
    settledAt_ = now + kSettle;
    ++corrections_;
    return static_cast<std::int64_t>(std::llround(frontMs)) + seekLeadMs_;
}

}  // namespace trivane
