#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "samplecard/WallClock.h"
#include "telemetry/GSensorSample.h"
#include "telemetry/GpsFix.h"

namespace trivane::samplecard {

// A value that changes linearly between knots and stays flat before the first and after the last.
struct Knot {
    double t;  // seconds from the start of the drive
    double value;
};
double Interpolate(const std::vector<Knot>& knots, double t);

// One stretch of driving, simulated in 0.1 s steps.
struct Drive {
    WallClock start;
    int seconds = 0;
    double latitude = 0;   // degrees, north
    double longitude = 0;  // degrees, east
    double heading = 0;    // degrees clockwise from north
    std::vector<Knot> speedKmh;
    std::vector<Knot> turnDegPerSecond;
    std::vector<double> bumps;  // seconds at which a wheel hits a pothole
    int undatedFixes = 0;       // receiver still searching: no date, no fix
    int lostFrom = -1;          // fixes [lostFrom, lostTo) have no valid fix (tunnel)
    int lostTo = -1;
    std::uint32_t seed = 1;
};

inline constexpr int kSamplesPerSecond = 10;
inline constexpr std::uint8_t kGsensorRateCode = 5;  // 5 / 500 samples per ms = 10 per second
inline constexpr std::uint8_t kGsensorRange = 16;    // raw 64 = 1 G

struct DriveData {
    std::vector<GpsFix> fixes;                       // one per second, fix i at second i
    std::vector<GSensorSample> samples;              // kSamplesPerSecond per second
    std::vector<std::array<double, 3>> gAtSecond;    // x, y, z in G at each whole second
};

DriveData Simulate(const Drive& drive);

// Degrees to the NMEA ddmm.mmmm form, rounded to 4 decimals of a minute.
double DegreesToNmea(double degrees);

}  // namespace trivane::samplecard
