#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trivane {

// Reads what `ffmpeg -progress` writes: blocks of key=value lines, each closed by a "progress"
// line ("continue", or "end" for the last).
class FfmpegProgress final {
public:
    // Takes output as it arrives, in pieces of any size; true when at least one block closed.
    bool Feed(std::string_view data);
    // The output time reached, in microseconds; 0 before ffmpeg reports one.
    std::int64_t OutTimeUs() const { return outTimeUs_; }
    bool Ended() const { return ended_; }

private:
    bool Line(std::string_view line);

    std::string partial_;
    std::int64_t outTimeUs_ = 0;
    bool ended_ = false;
};

}  // namespace trivane
