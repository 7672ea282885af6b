#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "TestCard.h"

// trivane-inspect prints what the player's own code computes; these check the documents' shape
// and a few values worked out by hand.
namespace trivane {
namespace {

using test::Fix;

nlohmann::json Inspect(const std::string& arguments, int* exitStatus = nullptr) {
    std::string output;
    const std::string command = std::string(TRIVANE_INSPECT) + " " + arguments;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        const int status = ::pclose(pipe);
        if (exitStatus != nullptr) *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

TEST(Inspect, EventsOfARecordingOrAFailureWithAnErrorStatus) {
    test::TempDir dir;
    writer::Telemetry t;
    t.samples.assign(300, GSensorSample{0, 0, 64});
    for (std::size_t i = 120; i < 140; ++i) t.samples[i].x = -48;  // 0.75 G braking from 12 s
    t.samples[250].z = 100;                                         // and a 0.5625 G pothole at 25 s
    t.gsensorRateCode = 5;
    t.gsensorRange = 16;
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 30, t);
    int status = -1;
    EXPECT_EQ(Inspect("events " + (dir / "FILE0001.MOV"), &status),
              nlohmann::json::parse(R"({"result": true, "thresholdG": 0.5, "samples": 300, "events": [
                  {"timeMs": 12000, "peakG": -0.75, "axis": "x"}, {"timeMs": 25000, "peakG": 0.5625, "axis": "z"}]})"));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Inspect("events --threshold 0.6 " + (dir / "FILE0001.MOV"))["events"].size(), 1u);

    test::WriteText(dir / "notes.txt", "not a recording");
    for (const auto& [name, error] : {std::pair{"notes.txt", "not a recording"}, {"FILE0002.MOV", "no such file"}}) {
        const nlohmann::json failed = Inspect("events " + (dir / name), &status);
        EXPECT_EQ(failed["result"], false) << name;
        EXPECT_EQ(failed["error"], error);
        EXPECT_TRUE(failed["events"].empty());
        EXPECT_EQ(status, 1);
    }
    Inspect("events " + (dir / "FILE0001.MOV") + " --threshold -1 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace trivane
