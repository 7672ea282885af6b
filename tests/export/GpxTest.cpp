#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "TestCard.h"
#include "XmlCheck.h"
#include "export/GpxWriter.h"
#include "telemetry/LocalTime.h"

// Runs under two time zones: fix dates are local time, GPX times are UTC.
namespace trivane {
namespace {

using test::Fix;

bool InNewYork() {
    const char* tz = std::getenv("TZ");
    return tz != nullptr && std::strcmp(tz, "America/New_York") == 0;
}

std::string Capture(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        if (::pclose(pipe) != 0) output += "\nexit status not 0";
    }
    return output;
}

GpsFix Dated(GpsFix fix, int year, int month, int day, int hour, int minute, int second) {
    fix.yearSince2000 = static_cast<std::uint8_t>(year - 2000);
    fix.month = static_cast<std::uint8_t>(month);
    fix.day = static_cast<std::uint8_t>(day);
    fix.hour = static_cast<std::uint8_t>(hour);
    fix.minute = static_cast<std::uint8_t>(minute);
    fix.second = static_cast<std::uint8_t>(second);
    return fix;
}

TEST(Gpx, TimesFromTheFixDateOrTheRecordingStart) {
    const std::int64_t start = *LocalToUnix(2020, 6, 1, 10, 0, 0);
    const GpsFix undated = Fix(2233.81, 11357.34, 36, true);
    EXPECT_EQ(GpxFixTime(undated, 25, 10, start), static_cast<double>(start) + 2.5);
    EXPECT_FALSE(GpxFixTime(undated, 25, 10, 0).has_value());
    const GpsFix dated = Dated(undated, 2021, 2, 3, 4, 5, 6);
    EXPECT_EQ(GpxFixTime(dated, 25, 10, start), static_cast<double>(*LocalToUnix(2021, 2, 3, 4, 5, 6)));
}

// The written track is read back with gpxpy, a GPX reader that validates the document's shape.
TEST(Gpx, ReadableByGpxpyWithTimesSpeedsAndOnlyValidFixes) {
    if (std::system("/usr/bin/python3 -c 'import gpxpy' 2>/dev/null") != 0) GTEST_SKIP() << "python3-gpxpy missing";
    test::TempDir dir;
    std::vector<GpsFix> fixes = {
        Fix(2233.81, 11357.34, 36, true, 12),                                     // start + 0 s
        Fix(2233.81, 11357.34, 72, false, 12),                                    // invalid: left out
        Fix(20000, 11357.34, 72, true, 12),                                       // out of range: left out
        Fix(3540.8740, 13946.0275, 18, true, -3),                                 // start + 1.5 s (at 2 per second)
        Dated(Fix(3540.8740, 13946.0275, 0, true, 0), 2020, 6, 1, 12, 30, 15),  // its own local time
    };
    GpxTrack track;
    track.name = "R&D <1>.MOV";
    track.fixes = &fixes;
    track.fixRate = 2;
    track.startTime = *LocalToUnix(2020, 6, 1, 10, 0, 0);
    const std::string path = dir / "track.gpx";
    ASSERT_TRUE(WriteGpxFile(path, track));

    const std::string script =
        "import sys, gpxpy\n"
        "g = gpxpy.parse(open(sys.argv[1]))\n"
        "t = g.tracks[0]\n"
        "print(t.name)\n"
        "for p in t.segments[0].points:\n"
        "    s = [e for e in p.extensions[0] if e.tag.endswith('speed')][0].text\n"
        "    print('%.6f %.6f %d %s %.3f' % (p.latitude, p.longitude, p.elevation, "
        "p.time.strftime('%Y-%m-%dT%H:%M:%S.%f'), float(s) * 3.6))\n";
    std::ofstream(dir / "read.py") << script;
    const std::string utc10 = InNewYork() ? "2020-06-01T14:00:00" : "2020-06-01T01:00:00";
    const std::string utc10b = InNewYork() ? "2020-06-01T14:00:01" : "2020-06-01T01:00:01";
    const std::string utc1230 = InNewYork() ? "2020-06-01T16:30:15" : "2020-06-01T03:30:15";
    EXPECT_EQ(Capture("/usr/bin/python3 " + dir / "read.py" + " " + path),
              "R&D <1>.MOV\n"
              "22.563500 113.955667 12 " + utc10 + ".000000 36.000\n"
              "35.681233 139.767125 -3 " + utc10b + ".500000 18.000\n"
              "35.681233 139.767125 0 " + utc1230 + ".000000 0.000\n");

    // gpsbabel, a second independent reader, agrees on the number of points.
    if (std::system("gpsbabel -V >/dev/null 2>&1") == 0) {
        const std::string csv = Capture("gpsbabel -t -i gpx -f '" + path + "' -o unicsv -F - 2>/dev/null");
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4) << csv;  // header and three points
    }
}

TEST(Gpx, AnyTrackNameGivesAWellFormedDocument) {
    test::TempDir dir;
    const test::NamePiece name = test::HostileName();
    std::vector<GpsFix> fixes = {Fix(2233.81, 11357.34, 36, true, 12)};
    GpxTrack track;
    track.name = name.bytes;
    track.fixes = &fixes;
    ASSERT_TRUE(WriteGpxFile(dir / "n.gpx", track));
    test::ParsedXml parsed = test::ParseXml(test::ReadText(dir / "n.gpx"));
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.texts["name"], std::vector<std::string>{name.text});
    EXPECT_EQ(parsed.texts["ele"], std::vector<std::string>{"12"});
}

TEST(Gpx, EmptyTrackIsStillADocument) {
    test::TempDir dir;
    std::vector<GpsFix> none;
    GpxTrack track;
    track.name = "x";
    track.fixes = &none;
    ASSERT_TRUE(WriteGpxFile(dir / "e.gpx", track));
    EXPECT_FALSE(WriteGpxFile(dir / "missing/e.gpx", track));
    if (std::system("/usr/bin/python3 -c 'import gpxpy' 2>/dev/null") != 0) return;
    EXPECT_EQ(Capture("/usr/bin/python3 -c 'import sys, gpxpy; g = gpxpy.parse(open(sys.argv[1])); "
                      "print(len(g.tracks[0].segments[0].points))' " + dir / "e.gpx"),
              "0\n");
}

}  // namespace
}  // namespace trivane
