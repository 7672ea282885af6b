#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "TestCard.h"

// trivane-inspect prints what the player's own code computes; these check the documents' shape
// and a few values worked out by hand.
namespace trivane {
namespace {

using test::Fix;

nlohmann::json Inspect(const std::string& arguments) {
    std::string output;
    const std::string command = std::string(TRIVANE_INSPECT) + " " + arguments;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        ::pclose(pipe);
    }
    return nlohmann::json::parse(output, nullptr, false);
}

TEST(Inspect, ScanListsEntriesGroupsAndColumnTexts) {
    test::TempDir dir;
    test::MakeFolder(dir / "DCIM");
    test::WriteMov(dir / "DCIM/FILG0001.MOV", "2020-06-01 10:00:00", 90);
    test::WriteText(dir / "FILE0002.TS", "");
    const nlohmann::json scan = Inspect("scan " + dir.Path());
    ASSERT_FALSE(scan.is_discarded());
    EXPECT_EQ(scan["result"], 1);
    ASSERT_EQ(scan["entries"].size(), 2u);
    EXPECT_EQ(scan["entries"][0]["fileName"], "FILE0002.TS");
    EXPECT_EQ(scan["entries"][1]["relativeFolder"], "DCIM/");
    EXPECT_EQ(scan["entries"][1]["lockFlags"], 1);
    EXPECT_EQ(scan["entries"][1]["groupStart"], 1);
    EXPECT_EQ(scan["entries"][1]["info"]["durationMs"], 90000);
    ASSERT_EQ(scan["groups"].size(), 2u);
    EXPECT_EQ(scan["groups"][1]["columns"],
              (std::vector<std::string>{"G1", "FHD", "2020-06-01 10:00:00", " 90 s ", " 0 MB"}));
    EXPECT_EQ(scan["files"][1]["columns"][0], "FILG0001.MOV");
    EXPECT_EQ(Inspect("scan " + (dir / "missing"))["result"], 0);
}

TEST(Inspect, TrackAndSyncReportScriptsSpeedsAndTheCurve) {
    test::TempDir dir;
    writer::Telemetry t;
    t.fixes = {Fix(2233.81, 11357.34, 36, true), Fix(2233.81, 11357.34, 612, true), Fix(1000, 1000, 5, false)};
    t.samples = {{1, 2, 3}};
    t.gsensorRateCode = 50;
    t.gsensorRange = 4;
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);

    const nlohmann::json track = Inspect("track " + (dir / "FILE0001.MOV"));
    ASSERT_FALSE(track.is_discarded());
    EXPECT_EQ(track["result"], true);
    EXPECT_EQ(track["fixRate"], 1.0);
    ASSERT_EQ(track["fixes"].size(), 3u);
    EXPECT_EQ(track["fixes"][1]["speedKmh"], 612);
    EXPECT_EQ(track["fixes"][2]["valid"], false);
    EXPECT_EQ(track["gsensorBytes"], 3);
    EXPECT_EQ(track["curve"]["gRange"], 4);
    EXPECT_EQ(track["curve"]["samples"], nlohmann::json::parse("[[1,2,3]]"));
    EXPECT_EQ(track["scripts"], (std::vector<std::string>{"pathdrived_delete()", "path_delete()",
                                                          "path_plot(22.563500,113.955667)",
                                                          "path_plot(22.563500,113.955667)"}));

    const nlohmann::json sync = Inspect("sync " + (dir / "FILE0001.MOV") + " --seek 2500 0 1000 2000");
    ASSERT_FALSE(sync.is_discarded());
    ASSERT_EQ(sync["calls"].size(), 3u);
    EXPECT_EQ(sync["calls"][0]["speed"], 36);
    EXPECT_EQ(sync["calls"][0]["scripts"], std::vector<std::string>{"movpos(22.563500, 113.955667)"});
    EXPECT_TRUE(sync["calls"][1]["speed"].is_null());  // 612 km/h is not shown
    EXPECT_EQ(sync["calls"][1]["result"], 1);
    EXPECT_EQ(sync["calls"][2]["result"], 0);
    EXPECT_EQ(sync["calls"][2]["speed"], 0);
    EXPECT_EQ(sync["seekScripts"].size(), 3u);  // delete, then fixes 0 and 1
}

TEST(Inspect, KmlAndGpxWriteIntoTheGivenFolder) {
    test::TempDir dir;
    writer::Telemetry t;
    t.fixes = {Fix(2233.81, 11357.34, 36, true)};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    const nlohmann::json kml = Inspect("kml " + (dir / "FILE0001.MOV") + " --out " + (dir / "out"));
    EXPECT_EQ(kml["result"], true);
    EXPECT_EQ(kml["path"], dir / "out/FILE0001_2020_06_01_10-00-00.KML");
    const nlohmann::json gpx = Inspect("gpx " + dir.Path() + " --out " + (dir / "gpx"));
    EXPECT_EQ(gpx["result"], true);
    ASSERT_EQ(gpx["files"].size(), 1u);
    EXPECT_EQ(gpx["files"][0]["path"], dir / "gpx/FILE0001.gpx");
}

}  // namespace
}  // namespace trivane
