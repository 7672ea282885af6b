#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace trivane {

// Local time follows the process's TZ.

// Seconds since 1970 of a local date and time (fields as written, month 1-12), normalised like
// mktime; nothing when the system cannot convert it.
std::optional<std::int64_t> LocalToUnix(int year, int month, int day, int hour, int minute, int second);

// Broken-down local time of Unix seconds; nothing when local time cannot show it.
std::optional<std::tm> UnixToLocal(std::int64_t seconds);

// strftime of the local time of `seconds`; nothing when local time cannot show it. Callers'
// formats are checked like strftime's own.
__attribute__((format(strftime, 2, 0))) std::optional<std::string> FormatLocal(std::int64_t seconds,
                                                                              const char* format);

}  // namespace trivane
