#pragma once

#include <vector>

#include "telemetry/GSensorSample.h"

namespace trivane::gallery {

// A minute of G-sensor readings at 10 Hz (range factor 8, so raw 128 is 1 G): steady driving with
// road noise, a hard stop at 35 s with the nose dipping, and a slow pull-away afterwards.
std::vector<GSensorSample> BrakingRecording();
inline constexpr double kBrakingRatePerMs = 0.01;
inline constexpr int kBrakingRange = 8;

}  // namespace trivane::gallery
