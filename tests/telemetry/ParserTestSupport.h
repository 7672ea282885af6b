#pragma once

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "telemetry/CQen3gpParser.h"
#include "telemetry/CQenAviParser.h"
#include "writer/AviWriter.h"
#include "writer/MovWriter.h"

namespace trivane::testing {

using test::TempDir;

// Unix seconds of a local date and time, straight from the C library.
inline std::int64_t Local(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

struct ParseOutcome {
    int result = -1;
    ContainerInfo info{};
    ReadStats stats{};
};

template <typename Parser>
ParseOutcome ParseWith(const std::string& path) {
    ParseOutcome outcome;
    Parser parser;
    parser.SetInfo(&outcome.info);
    outcome.result = parser.Parse(path);
    outcome.stats = parser.LastReadStats();
    return outcome;
}

inline ParseOutcome ParseAviBlob(const TempDir& dir, const writer::Blob& blob, const std::string& name = "TEST0001.AVI") {
    const std::string path = dir.File(name);
    EXPECT_TRUE(blob.WriteFile(path));
    return ParseWith<CQenAviParser>(path);
}

inline ParseOutcome ParseAvi(const TempDir& dir, const writer::RiffNode& file) { return ParseAviBlob(dir, file.Render()); }

inline ParseOutcome ParseMov(const TempDir& dir, const std::vector<writer::Box>& boxes) {
    const std::string path = dir.File("TEST0001.MOV");
    EXPECT_TRUE(writer::RenderBoxes(boxes).WriteFile(path));
    return ParseWith<CQen3gpParser>(path);
}

}  // namespace trivane::testing
