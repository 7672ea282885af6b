#include "library/GForceEvents.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "library/ByteMedianWindow.h"

namespace trivane {

namespace {

std::int64_t SampleTimeMs(std::size_t index, double samplesPerMs) {
    const double ms = std::round(static_cast<double>(index) / samplesPerMs);
    constexpr double kLimit = 9.2e18;  // below the largest int64
    return ms < kLimit ? static_cast<std::int64_t>(ms) : std::numeric_limits<std::int64_t>::max();
}

// `bytes` holds `count` samples of 3 bytes (x, y, z), read as signed.
std::vector<GForceEvent> Detect(const unsigned char* bytes, std::size_t count, double samplesPerMs,
                                double rangeFactor, double thresholdG) {
    std::vector<GForceEvent> events;
    if (count == 0 || !std::isfinite(samplesPerMs) || !(samplesPerMs > 0)) return events;
    const auto raw = [bytes](std::size_t i, std::size_t axis) {
        return static_cast<std::int8_t>(bytes[i * kGSensorSampleSize + axis]);
    };
    const double gPerRaw = rangeFactor / 1024;
    // An odd width: the median is one sample's value rather than the mean of two.
    const auto width = static_cast<std::size_t>(
        std::clamp(std::floor(kGEventBaselineMs * samplesPerMs / 2) * 2 + 1, 1.0, static_cast<double>(count)));

    std::array<ByteMedianWindow, 3> baseline;
    for (std::size_t i = 0; i < width; ++i) {
        for (std::size_t axis = 0; axis < 3; ++axis) baseline[axis].Add(raw(i, axis));
    }
    std::size_t first = 0;  // the window is [first, first + width)
    std::int64_t lastOverMs = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t wantedFirst = i >= width ? i + 1 - width : 0;
        for (; first < wantedFirst; ++first) {
            for (std::size_t axis = 0; axis < 3; ++axis) {
                baseline[axis].Remove(raw(first, axis));
                baseline[axis].Add(raw(first + width, axis));
            }
        }
        double peak = 0;
        std::size_t peakAxis = 0;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const double deviation = (raw(i, axis) - baseline[axis].Median()) * gPerRaw;
            if (std::fabs(deviation) > std::fabs(peak)) {
                peak = deviation;
                peakAxis = axis;
            }
        }
        if (!(std::fabs(peak) > thresholdG)) continue;
        const std::int64_t timeMs = SampleTimeMs(i, samplesPerMs);
        if (events.empty() || static_cast<double>(timeMs - lastOverMs) > kGEventMergeMs) {
            events.push_back({timeMs, peak, static_cast<GAxis>(peakAxis)});
        } else if (std::fabs(peak) > std::fabs(events.back().peakG)) {
            events.back().peakG = peak;
            events.back().axis = static_cast<GAxis>(peakAxis);
        }
        lastOverMs = timeMs;
    }
    return events;
}

}  // namespace

std::vector<GForceEvent> DetectGForceEvents(std::span<const GSensorSample> samples, double samplesPerMs,
                                            double rangeFactor, double thresholdG) {
    return Detect(reinterpret_cast<const unsigned char*>(samples.data()), samples.size(), samplesPerMs, rangeFactor,
                  thresholdG);
}

std::vector<GForceEvent> DetectGForceEvents(const TelemetryTrack& track, double thresholdG) {
    return Detect(track.gsensorStore.data(), track.gsensorStore.size() / kGSensorSampleSize,
                  track.gsensorSamplesPerMs, track.gsensorRange, thresholdG);
}

}  // namespace trivane
