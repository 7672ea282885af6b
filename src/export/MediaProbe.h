#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivane {

// What a clip needs to know of one recording's media.
struct MediaInfo {
    std::int64_t durationMs = 0;
    int width = 0;  // of the first video stream
    int height = 0;
    bool hasAudio = false;
};

// ffprobe's arguments for ParseProbeJson: the file's streams and duration as JSON.
std::vector<std::string> ProbeArgs(const std::string& ffprobe, const std::string& path);

// Nothing unless the document names a video stream with a size and a positive duration.
std::optional<MediaInfo> ParseProbeJson(std::string_view json);

// `path` as an ffmpeg input or output that is always a local file, whatever its characters
// (a name with a colon would otherwise be read as a protocol, one starting with '-' as an option).
std::string FileUrl(const std::string& path);

}  // namespace trivane
