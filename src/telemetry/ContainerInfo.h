#pragma once

#include <array>
#include <cstdint>

namespace trivane {

// What a container parser reports for one recording.
struct ContainerInfo {
    std::uint64_t gpsOffset = 0;
    std::uint32_t gpsSize = 0;
    std::uint64_t gsensorOffset = 0;
    std::uint32_t gsensorSize = 0;
    std::uint16_t videoWidth = 0;
    std::uint16_t videoHeight = 0;
    std::int64_t startTime = 0;        // Unix seconds; 0 when none was found
    std::int64_t durationSeconds = 0;  // AVI only
    std::uint32_t durationMs = 0;
    std::uint64_t fileSize = 0;
    std::array<std::uint8_t, 4> gpsRateWord{};      // [0] = fixes per second
    std::array<std::uint8_t, 4> gsensorRateWord{};  // [0] = rate code (/500 = samples per ms), [1] = G range (0 means 8)

    bool operator==(const ContainerInfo&) const = default;
};

}  // namespace trivane
