#include "samplecard/DriveModel.h"

#include <algorithm>
#include <cmath>

namespace trivane::samplecard {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGravity = 9.81;
constexpr double kMetresPerDegree = 111320.0;

// Small deterministic generator: the card must come out byte-identical on every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed != 0 ? seed : 1) {}
    double Next(double amplitude) {  // uniform in [-amplitude, amplitude]
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (static_cast<double>(state_ % 2001) / 1000.0 - 1.0) * amplitude;
    }

private:
    std::uint32_t state_;
};

std::int8_t Raw(double g) {
    const double raw = std::round(g * 1024.0 / kGsensorRange);
    return static_cast<std::int8_t>(std::clamp(raw, -128.0, 127.0));
}

// Vertical kick of a pothole: up, then down, over 0.4 s.
double BumpAt(const std::vector<double>& bumps, double t) {
    double g = 0;
    for (double b : bumps) {
        const double dt = t - b;
        if (dt >= 0 && dt < 0.2) g += 0.45;
        else if (dt >= 0.2 && dt < 0.4) g -= 0.3;
    }
    return g;
}

}  // namespace

double Interpolate(const std::vector<Knot>& knots, double t) {
    if (knots.empty()) return 0;
    if (t <= knots.front().t) return knots.front().value;
    for (std::size_t i = 1; i < knots.size(); ++i) {
        if (t <= knots[i].t) {
            const Knot& a = knots[i - 1];
            const Knot& b = knots[i];
            return b.t > a.t ? a.value + (b.value - a.value) * (t - a.t) / (b.t - a.t) : b.value;
        }
    }
    return knots.back().value;
}

double DegreesToNmea(double degrees) {
    const double whole = std::floor(degrees);
    return std::round((whole * 100 + (degrees - whole) * 60) * 10000) / 10000;
}

DriveData Simulate(const Drive& drive) {
    DriveData data;
    Noise noise(drive.seed);
    double latitude = drive.latitude;
    double longitude = drive.longitude;
    double heading = drive.heading;
    constexpr double step = 1.0 / kSamplesPerSecond;
    const int steps = drive.seconds * kSamplesPerSecond;
    for (int k = 0; k < steps; ++k) {
        const double t = k * step;
        const double speed = Interpolate(drive.speedKmh, t) / 3.6;  // m/s
        const double turn = Interpolate(drive.turnDegPerSecond, t);
        const double accel = (Interpolate(drive.speedKmh, t + step) - Interpolate(drive.speedKmh, t)) / 3.6 / step;
        const double lateral = speed * turn * kPi / 180.0;
        // Road noise grows with speed; a standing car only feels the engine.
        const double roughness = 0.015 + 0.02 * std::min(speed / 25.0, 1.0);
        const std::array<double, 3> g{accel / kGravity + noise.Next(roughness),
                                      lateral / kGravity + noise.Next(roughness),
                                      1.0 + BumpAt(drive.bumps, t) + noise.Next(roughness * 1.5)};
        data.samples.push_back({Raw(g[0]), Raw(g[1]), Raw(g[2])});

        if (k % kSamplesPerSecond == 0) {
            const int i = k / kSamplesPerSecond;
            const WallClock at = drive.start.Plus(i);
            const bool undated = i < drive.undatedFixes;
            const bool lost = undated || (i >= drive.lostFrom && i < drive.lostTo);
            GpsFix fix;
            if (!lost) {
                fix.latitudeNmea = DegreesToNmea(latitude);
                fix.longitudeNmea = DegreesToNmea(longitude);
                fix.altitude = 520 + static_cast<std::int32_t>(std::lround(std::sin(t / 40.0) * 8));
                fix.speedKmh = static_cast<std::uint16_t>(std::lround(speed * 3.6));
                fix.fixFlags = FIX_VALID;
            }
            if (!undated) {
                fix.yearSince2000 = static_cast<std::uint8_t>(at.year - 2000);
                fix.month = static_cast<std::uint8_t>(at.month);
                fix.day = static_cast<std::uint8_t>(at.day);
                fix.hour = static_cast<std::uint8_t>(at.hour);
                fix.minute = static_cast<std::uint8_t>(at.minute);
                fix.second = static_cast<std::uint8_t>(at.second);
            }
            data.fixes.push_back(fix);
            data.gAtSecond.push_back(g);
        }

        const double distance = speed * step;
        const double rad = heading * kPi / 180.0;
        latitude += distance * std::cos(rad) / kMetresPerDegree;
        longitude += distance * std::sin(rad) / (kMetresPerDegree * std::cos(latitude * kPi / 180.0));
        heading += turn * step;
    }
    return data;
}

}  // namespace trivane::samplecard
