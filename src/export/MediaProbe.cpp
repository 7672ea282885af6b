#include "export/MediaProbe.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace trivane {

namespace {

// ffprobe writes numbers as strings ("15.000000").
double NumberIn(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end()) return 0;
    if (it->is_number()) return it->get<double>();
    if (!it->is_string()) return 0;
    try {
        const double value = std::stod(it->get<std::string>());
        return std::isfinite(value) ? value : 0;
    } catch (...) {
        return 0;
    }
}

}  // namespace

std::vector<std::string> ProbeArgs(const std::string& ffprobe, const std::string& path) {
    return {ffprobe, "-v", "error", "-of", "json", "-show_entries",
            "format=duration:stream=codec_type,width,height,duration", FileUrl(path)};
}

std::optional<MediaInfo> ParseProbeJson(std::string_view json) {
    const nlohmann::json document = nlohmann::json::parse(json, nullptr, false);
    if (!document.is_object()) return std::nullopt;
    MediaInfo info;
    bool video = false;
    double seconds = 0;
    if (const auto format = document.find("format"); format != document.end() && format->is_object()) {
        seconds = NumberIn(*format, "duration");
    }
    if (const auto streams = document.find("streams"); streams != document.end() && streams->is_array()) {
        for (const nlohmann::json& stream : *streams) {
            if (!stream.is_object()) continue;
            const auto type = stream.find("codec_type");
            if (type == stream.end() || !type->is_string()) continue;
            if (*type == "audio") info.hasAudio = true;
            if (*type != "video" || video) continue;
            const double width = NumberIn(stream, "width");
            const double height = NumberIn(stream, "height");
            if (width < 2 || height < 2 || width > 16384 || height > 16384) continue;
            video = true;
            info.width = static_cast<int>(width);
            info.height = static_cast<int>(height);
            if (seconds <= 0) seconds = NumberIn(stream, "duration");
        }
    }
    if (!video || !(seconds > 0) || seconds > 1e7) return std::nullopt;
    info.durationMs = std::llround(seconds * 1000);
    return info;
}

std::string FileUrl(const std::string& path) { return "file:" + path; }

}  // namespace trivane
