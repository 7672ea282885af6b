#pragma once

#include <cstdint>

namespace trivane {

// One raw G-sensor reading; v stands for v * R / 1024 G, R being the recording's range factor.
#pragma pack(push, 1)
struct GSensorSample {
    std::int8_t x = 0;
    std::int8_t y = 0;
    std::int8_t z = 0;
};
#pragma pack(pop)

static_assert(sizeof(GSensorSample) == 3);

inline constexpr unsigned kGSensorSampleSize = sizeof(GSensorSample);

}  // namespace trivane
