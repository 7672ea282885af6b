#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "telemetry/GpsFix.h"

namespace trivane {

// Telemetry of the loaded recording; fixes are contiguous so the sync can index them by time.
struct TelemetryTrack {
    std::vector<GpsFix> fixStore;
    std::vector<std::uint8_t> gsensorStore;  // 3 bytes per sample; its size tells whether there is G-sensor data
    double fixRate = 0;                      // fixes per second; 0 before the first load, read as 1
    // How the G-sensor samples read, as the curve is told: raw v is v * gsensorRange / 1024 G and
    // sample i lies at i / gsensorSamplesPerMs ms. Both 0 after a load that found no samples.
    double gsensorRange = 0;
    double gsensorSamplesPerMs = 0;
    int currentIndex = -1;
    // Full path of the recording the track was loaded from; empty when nothing is loaded. Entries
    // move when others are removed, so only the path tells whose route this is.
    std::string sourcePath;

    double EffectiveFixRate() const { return fixRate == 0 ? 1.0 : fixRate; }

    // Index of the fix shown at playback time `timeMs`, or -1 when it lies outside the store.
    std::int64_t FixIndexAt(double timeMs) const {
        const double index = std::trunc(timeMs * EffectiveFixRate() / 1000.0);
        if (!(index >= 0) || index >= static_cast<double>(fixStore.size())) return -1;
        return static_cast<std::int64_t>(index);
    }
};

// Map filter on the stored values: both below the limit after dividing by 100. Values that are
// not finite (a side file may hold "nan" or "1e400") are never plotted.
inline bool IsMappable(const GpsFix& fix) {
    const double latitude = fix.latitudeNmea / 100;
    const double longitude = fix.longitudeNmea / 100;
    return std::isfinite(latitude) && std::isfinite(longitude) && latitude < kCoordinateLimit &&
           longitude < kCoordinateLimit;
}

}  // namespace trivane
