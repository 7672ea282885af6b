#include "export/FfmpegProgress.h"

#include <charconv>

namespace trivane {

bool FfmpegProgress::Feed(std::string_view data) {
    bool closed = false;
    for (;;) {
        const std::size_t newline = data.find('\n');
        if (newline == std::string_view::npos) break;
        if (partial_.empty()) {
            closed = Line(data.substr(0, newline)) || closed;
        } else {
            partial_.append(data.substr(0, newline));
            closed = Line(partial_) || closed;
            partial_.clear();
        }
        data.remove_prefix(newline + 1);
    }
    // A line longer than any ffmpeg writes is not kept whole.
    if (partial_.size() + data.size() <= 4096) partial_.append(data);
    return closed;
}

bool FfmpegProgress::Line(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    if (key == "out_time_us") {
        std::int64_t us = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), us);
        if (ec == std::errc{} && end == value.data() + value.size() && us >= 0) outTimeUs_ = us;
        return false;
    }
    if (key != "progress") return false;
    if (value == "end") ended_ = true;
    return true;
}

}  // namespace trivane
