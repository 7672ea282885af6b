#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "telemetry/GpsFix.h"

namespace trivane {

// One recording's route as a GPX 1.1 track: valid, mappable fixes only, with elevation, time and
// speed (m/s, Garmin TrackPointExtension v2).
struct GpxTrack {
    std::string name;
    const std::vector<GpsFix>* fixes = nullptr;
    double fixRate = 1;          // fixes per second
    std::int64_t startTime = 0;  // Unix seconds; 0 when unknown
    // When given, the UTC time of each fix in Unix seconds (NaN: none) instead of GpxFixTime's.
    const std::vector<double>* times = nullptr;
};

// UTC time of fix `index`: its own date and time (local) when it carries a date, else the
// recording's start plus index / fixRate seconds; nothing when neither is known.
std::optional<double> GpxFixTime(const GpsFix& fix, std::size_t index, double fixRate, std::int64_t startTime);

std::string GpxDocument(const GpxTrack& track);

// Writes the document under a temporary name and renames it into place.
bool WriteGpxFile(const std::string& path, const GpxTrack& track);

}  // namespace trivane
