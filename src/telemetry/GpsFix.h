#pragma once

#include <cstddef>
#include <cstdint>

namespace trivane {

inline constexpr std::uint8_t FIX_VALID = 1;

// One GPS fix: the same 32-byte little-endian layout in a container's GPS stream and in memory.
#pragma pack(push, 1)
struct GpsFix {
    double latitudeNmea = 0;   // ddmm.mmmm magnitude, no sign
    double longitudeNmea = 0;  // dddmm.mmmm magnitude, no sign
    std::int32_t altitude = 0;
    std::uint16_t speedKmh = 0;
    std::uint8_t yearSince2000 = 0;  // 0: the record carries no date
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;
    std::uint8_t reserved1 = 0;
    std::uint8_t fixFlags = 0;
    std::uint16_t reserved2 = 0;

    bool IsValid() const { return (fixFlags & FIX_VALID) != 0; }
};
#pragma pack(pop)

static_assert(sizeof(GpsFix) == 32);
static_assert(offsetof(GpsFix, longitudeNmea) == 8);
static_assert(offsetof(GpsFix, altitude) == 16);
static_assert(offsetof(GpsFix, speedKmh) == 20);
static_assert(offsetof(GpsFix, yearSince2000) == 22);
static_assert(offsetof(GpsFix, second) == 27);
static_assert(offsetof(GpsFix, fixFlags) == 29);

inline constexpr std::size_t kGpsFixSize = sizeof(GpsFix);

// Map calls and the KML export skip fixes whose stored value / 100 reaches this limit.
inline constexpr double kCoordinateLimit = 200.0;

}  // namespace trivane
