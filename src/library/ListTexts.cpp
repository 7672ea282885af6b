#include "library/ListTexts.h"

#include <cinttypes>
#include <cstdio>

#include "telemetry/LocalTime.h"

namespace trivane {

std::array<std::string, 5> GroupColumnTexts(std::int32_t number, const std::string& resolution,
                                            std::uint64_t totalDurationMs, std::uint64_t totalSize,
                                            std::int64_t startTime) {
    std::array<std::string, 5> texts;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "G%d", static_cast<int>(number));
    texts[0] = buffer;
    texts[1] = resolution;
    texts[2] = FormatLocal(startTime, "%Y-%m-%d %H:%M:%S").value_or(std::string());
    std::snprintf(buffer, sizeof buffer, " %lld s ", static_cast<long long>(totalDurationMs / 1000));
    texts[3] = buffer;
    std::snprintf(buffer, sizeof buffer, " %lld MB", static_cast<long long>(totalSize >> 20));
    texts[4] = buffer;
    return texts;
}

namespace {

// Integer value of up to two characters from `start` (clamped to 0), read like wcstol: leading
// white space and a sign allowed, no digits give 0.
int Field(std::string_view name, long long start) {
    const std::size_t from = start < 0 ? 0 : static_cast<std::size_t>(start);
    if (from >= name.size()) return 0;
    const std::string_view part = name.substr(from, 2);
    std::size_t i = 0;
    while (i < part.size() && (part[i] == ' ' || (part[i] >= '\t' && part[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < part.size() && (part[i] == '+' || part[i] == '-')) {
        negative = part[i] == '-';
        ++i;
    }
    int value = 0;
    while (i < part.size() && part[i] >= '0' && part[i] <= '9') {
        value = value * 10 + (part[i] - '0');
        ++i;
    }
    return negative ? -value : value;
}

}  // namespace

NameTime ReadNameTime(std::string_view fileName) {
    const std::size_t dash = fileName.find('-');
    const long long p = dash == std::string_view::npos ? -1 : static_cast<long long>(dash);
    NameTime t;
    t.hour = Field(fileName, p + 1);
    t.minute = Field(fileName, p + 3);
    t.second = Field(fileName, p + 5);
    t.year = 2000 + Field(fileName, p - 6);
    t.month = Field(fileName, p - 4);
    t.day = Field(fileName, p - 2);
    return t;
}

std::array<std::string, 3> FileColumnTexts(const std::string& fileName) {
    const NameTime t = ReadNameTime(fileName);
    char buffer[96];
    std::array<std::string, 3> texts;
    texts[0] = fileName;
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    texts[1] = buffer;
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    texts[2] = buffer;
    return texts;
}

}  // namespace trivane
