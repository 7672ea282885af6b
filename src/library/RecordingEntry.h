#pragma once

#include <cstdint>
#include <string>

#include "telemetry/ContainerInfo.h"

namespace trivane {

inline constexpr std::uint8_t LOCK_EVENT = 1;   // the camera locked the file (4th name character 'G')
inline constexpr std::uint8_t LOCK_MANUAL = 2;  // the file is read-only

// One accepted recording file.
struct RecordingEntry {
    std::uint32_t groupStart = 0;
    std::uint8_t lockFlags = 0;
    std::string fileName;
    std::string rootFolder;      // ends with '/' for a folder scan
    std::string relativeFolder;  // empty, or folder names each followed by '/'
    ContainerInfo info{};        // all zero when the parse failed
};

// A run of consecutive entries that follow each other in time.
struct RecordingGroup {
    std::int32_t number = 0;
    std::int32_t firstIndex = 0;
    std::int32_t count = 0;
    std::uint64_t totalDurationMs = 0;
    std::uint64_t totalSize = 0;
    std::uint8_t lockFlags = 0;
    std::uint32_t ticked = 0;
};

// One file-list row per entry, in entry order.
struct FileRow {
    std::int32_t groupNumber = 0;
    std::int32_t indexInGroup = 0;
    std::int32_t entryIndex = 0;
    std::uint64_t fileSize = 0;
    std::uint32_t durationMs = 0;
};

}  // namespace trivane
