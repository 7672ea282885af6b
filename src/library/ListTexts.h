#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "library/RecordingEntry.h"

namespace trivane {

// Texts of one group-list row: "G%d", resolution, local start, length, size. A start that local
// time cannot show gives an empty start text.
std::array<std::string, 5> GroupColumnTexts(std::int32_t number, const std::string& resolution,
                                            std::uint64_t totalDurationMs, std::uint64_t totalSize,
                                            std::int64_t startTime);

// Date and time that a recording's name carries, read around its first '-' without range checks.
struct NameTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
NameTime ReadNameTime(std::string_view fileName);

// Texts of one file-list row: name, time of day, date and time (both read from the name).
std::array<std::string, 3> FileColumnTexts(const std::string& fileName);

}  // namespace trivane
