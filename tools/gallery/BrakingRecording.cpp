#include "BrakingRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace trivane::gallery {
namespace {

std::int8_t Raw(double g) {
    return static_cast<std::int8_t>(std::clamp(std::lround(g * 128.0), -128L, 127L));
}

}  // namespace

std::vector<GSensorSample> BrakingRecording() {
    std::vector<GSensorSample> samples;
    std::uint32_t seed = 12345;
    const auto noise = [&seed](double amplitude) {
        seed = seed * 1664525u + 1013904223u;
        return ((seed >> 8) / 16777216.0 - 0.5) * 2.0 * amplitude;
    };
    for (int i = 0; i < 600; ++i) {
        const double t = i / 10.0;
        double x = 0.05 + noise(0.04);   // along the car
        double y = noise(0.05) + 0.08 * std::sin(t * 0.7);  // across
        double z = 0.1 + noise(0.06);   // vertical, gravity removed
        if (t >= 35.0 && t < 37.5) {
            const double k = (t - 35.0) / 2.5;
            x = -0.85 * std::sin(k * 3.14159) - 0.1 + noise(0.05);
            z = 0.1 + 0.35 * std::sin(k * 6.28318) + noise(0.05);
            y += 0.15 * std::sin(k * 9.0);
        } else if (t >= 37.5 && t < 42.0) {
            x = noise(0.01);
            y = noise(0.01);
            z = 0.1 + noise(0.01);
        } else if (t >= 42.0 && t < 47.0) {
            x = 0.25 * std::sin((t - 42.0) / 5.0 * 3.14159) + noise(0.04);
        }
        samples.push_back({Raw(x), Raw(y), Raw(z)});
    }
    return samples;
}

}  // namespace trivane::gallery
