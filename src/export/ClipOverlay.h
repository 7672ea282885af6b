#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "export/ClipSpan.h"
#include "library/TelemetryTrack.h"

namespace trivane {

// One segment of a clip with the telemetry of its recording.
struct OverlaySource {
    const TelemetryTrack* track = nullptr;  // none: the recording's clock only
    std::int64_t startTime = 0;             // Unix seconds of the recording's start; 0 when unknown
    ClipSegment segment;
};

// The overlay changes at most this often; the G-force shown is the strongest reading of each axis
// in that time.
inline constexpr std::int64_t kOverlayStepMs = 200;

// The overlay's lines at `timeMs` of a recording, joined by '\n': local date and time, speed and
// coordinates (or that there is no fix), and the G-force on each axis when the recording has any.
std::string OverlayText(const TelemetryTrack* track, std::int64_t startTime, std::int64_t timeMs);

// An ASS subtitle document for a picture of `width` x `height`: the lines in a translucent box at
// the bottom left, following the clip's time.
std::string OverlayDocument(std::span<const OverlaySource> sources, int width, int height);

}  // namespace trivane
