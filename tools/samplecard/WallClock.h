#pragma once

#include <cstdint>
#include <string>

namespace trivane::samplecard {

// A camera's clock reading: local date and time fields as the recorder writes them into names,
// fixes and the burnt-in caption. Arithmetic on it is pure calendar arithmetic, independent of TZ.
struct WallClock {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    // The fields read as if they were UTC: the same number for every TZ, for calendar steps and
    // for ffmpeg's gmtime caption.
    std::int64_t FieldSeconds() const;
    static WallClock FromFieldSeconds(std::int64_t seconds);
    WallClock Plus(int seconds) const { return FromFieldSeconds(FieldSeconds() + seconds); }

    std::string NameStamp() const;  // "FILE240315-081500", the camera's naming
    bool operator==(const WallClock&) const = default;
};

}  // namespace trivane::samplecard
