#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "library/TelemetryTrack.h"
#include "telemetry/GSensorSample.h"

namespace trivane {

enum class GAxis : std::uint8_t { X, Y, Z };

// A moment when the G-sensor readings leave the recording's baseline by more than a threshold:
// a hard braking, a swerve, a collision, a deep pothole.
struct GForceEvent {
    std::int64_t timeMs = 0;  // first sample over the threshold, from the recording's start
    double peakG = 0;         // largest deviation from the baseline in G, with its sign
    GAxis axis = GAxis::X;    // the axis of that deviation

    bool operator==(const GForceEvent&) const = default;
};

inline constexpr double kDefaultGEventThresholdG = 0.5;
// The baseline of a sample is the median of each axis over this span of samples ending with it (over
// the first span of the recording until one has passed): it follows gravity, a slope and a long
// turn, and the onset of an event stands out however long the event lasts.
inline constexpr double kGEventBaselineMs = 10000;
// Samples over the threshold this close to the previous one belong to the same event.
inline constexpr double kGEventMergeMs = 2000;

// Events in recording order. A sample is over the threshold when one axis deviates from its
// baseline by more than `thresholdG`; raw v reads v * rangeFactor / 1024 G and sample i lies at
// i / samplesPerMs ms. Nothing without a positive finite rate.
std::vector<GForceEvent> DetectGForceEvents(std::span<const GSensorSample> samples, double samplesPerMs,
                                            double rangeFactor, double thresholdG);
// The loaded recording's events, with its range factor and sample rate.
std::vector<GForceEvent> DetectGForceEvents(const TelemetryTrack& track, double thresholdG);

constexpr std::string_view GAxisName(GAxis axis) {
    return axis == GAxis::X ? "x" : axis == GAxis::Y ? "y" : "z";
}

}  // namespace trivane
