#include "telemetry/LocalTime.h"

#include <array>

namespace trivane {

std::optional<std::int64_t> LocalToUnix(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<std::int64_t>(t);
}

std::optional<std::tm> UnixToLocal(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return std::nullopt;
    return tm;
}

std::optional<std::string> FormatLocal(std::int64_t seconds, const char* format) {
    const auto tm = UnixToLocal(seconds);
    if (!tm) return std::nullopt;
    std::array<char, 256> buffer{};
    // The format is the caller's; the declaration has callers' formats checked instead.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const std::size_t length = std::strftime(buffer.data(), buffer.size(), format, &*tm);
#pragma GCC diagnostic pop
    if (length == 0 && format[0] != '\0') return std::nullopt;
    return std::string(buffer.data(), length);
}

}  // namespace trivane
