#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cmath>
#include <limits>

#include "TestCard.h"
#include "library/CRecordingManager.h"
#include "library/FrontCompanionPath.h"

namespace trivane {
namespace {

using test::Fix;
using test::TempDir;

// 3540.8740 / 100 -> 35 + 0.408740 * 100 / 60 = 35.681233; 13946.0275 -> 139.767125.
constexpr const char* kTokyoLine = "$GPRMC,120000,A,3540.8740,N,13946.0275,E,10.0,0.0,010620,,,A\r\n";
constexpr const char* kTokyoPlot = "path_plot(35.681233,139.767125)";

TEST(FrontCompanion, SameFolderSiblingFolderOrNone) {
    TempDir dir;
    test::MakeFolder(dir / "REAR");
    test::MakeFolder(dir / "REAF");
    test::MakeFolder(dir / "SOLO");
    test::WriteText(dir / "X0000001F.TS", "");
    test::WriteText(dir / "REAF/20200101_120000F.TS", "");
    test::WriteText(dir / "REAR/20200101_120000R.TS", "");
    // Only regular files count: a folder of the derived name would be opened as a playlist.
    test::MakeFolder(dir / "X0000002F.TS");
    test::MakeFolder(dir / "X0000002R.TS");
    test::WriteText(dir / "X0000002F.AVI", "");
    EXPECT_EQ(FrontCompanionPath(dir / "X0000002R.TS"), "");
    EXPECT_EQ(RearCompanionPath(dir / "X0000002F.TS"), "");
    EXPECT_EQ(RearCompanionPath(dir / "X0000002F.AVI"), "");
    // The rear rule mirrors the front one, in the same folder or the sibling folder.
    EXPECT_EQ(RearCompanionPath(dir / "REAF/20200101_120000F.TS"), dir / "REAR/20200101_120000R.TS");
    EXPECT_EQ(RearCompanionPath(dir / "X0000001F.TS"), "");
    // A name outside the pair rule has neither partner.
    test::WriteText(dir / "DRV_0101.AVI", "");
    EXPECT_EQ(FrontCompanionPath(dir / "DRV_0101.AVI"), "");
    EXPECT_EQ(RearCompanionPath(dir / "DRV_0101.AVI"), "");
    EXPECT_EQ(FrontCompanionPath(dir / "X0000001R.TS"), dir / "X0000001F.TS");
    EXPECT_EQ(FrontCompanionPath(dir / "X0000001F.TS"), dir / "X0000001F.TS");
    EXPECT_EQ(FrontCompanionPath(dir / "REAR/20200101_120000R.TS"), dir / "REAF/20200101_120000F.TS");
    EXPECT_EQ(FrontCompanionPath(dir / "SOLO/20200101_120000R.TS"), "");
    EXPECT_EQ(FrontCompanionPath(dir / "REAR////20200101_120000R.TS"), "");  // four separators: unchanged
    EXPECT_EQ(FrontCompanionPath(".TS"), "");
    EXPECT_EQ(FrontCompanionPath("NOEXTENSION"), "");
    EXPECT_EQ(FrontCompanionPath("/A.TS"), "");  // nothing before the separator run
}

class LoadTest : public ::testing::Test {
protected:
    void Attach() {
        m.SetMapHost(&map);
        m.SetGSensorCurve(&curve);
    }
    TempDir dir;
    CRecordingManager m;
    test::RecordingMapHost map;
    test::RecordingCurve curve;
};

TEST_F(LoadTest, SideFileOfTheFrontCameraFeedsTrackCurveAndMap) {
    test::MakeFolder(dir / "REAR");
    test::MakeFolder(dir / "REAF");
    test::WriteText(dir / "REAR/20200101_120000R.TS", "");
    test::WriteText(dir / "REAF/20200101_120000F.TS", "");
    test::WriteText(dir / "REAF/20200101_120000F.NMEA",
                    std::string("$GSENSORD,0.1,-0.05,0.98\r\n") + kTokyoLine +
                        "$GPRMC,120001,V,,,,,,,010620,,,N\r\n"  // invalid: counted, not plotted
                        "$GPRMC,120002\r\n"                      // malformed: not counted
                        "$GNRMC,120003,A,3540.8740,N,13946.0275,E,1,0\r\n"
                        "$GSENSORD,0.1\r\n"
                        "$GSENSORD,0,0,0");  // last line without a line end
    ASSERT_EQ(m.OpenSource(dir / "REAR", "20200101_120000R.TS"), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));

    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()", kTokyoPlot}));
    ASSERT_EQ(m.Track().fixStore.size(), 2u);
    EXPECT_EQ(m.Track().fixStore[0].speedKmh, 18);  // 10 kn * 1.852
    EXPECT_FALSE(m.Track().fixStore[1].IsValid());
    EXPECT_EQ(m.Track().fixRate, 1.0);
    EXPECT_EQ(m.Track().gsensorStore.size(), 6u);
    EXPECT_EQ(m.Track().currentIndex, 0);
    EXPECT_EQ(curve.log, (std::vector<std::string>{"reset", "range 2", "reset", "rate", "tracking on"}));
    EXPECT_DOUBLE_EQ(curve.sampleRate, 0.001);
    ASSERT_EQ(curve.samples.size(), 2u);
    EXPECT_EQ(curve.samples[0].x, 51);
    EXPECT_EQ(curve.samples[0].y, -25);
    EXPECT_EQ(curve.samples[1].x, 0);  // the last line, without a line end, is read too
}

TEST_F(LoadTest, MissingSideFileClearsEverythingAndStillSucceeds) {
    test::WriteText(dir / "FILE0001R.TS", "");  // 0 bytes, no front file, no side file
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()"}));
    EXPECT_TRUE(m.Track().fixStore.empty());
    EXPECT_TRUE(m.Track().gsensorStore.empty());
    EXPECT_EQ(m.Track().fixRate, 0.0);  // untouched by a load without fixes
    EXPECT_DOUBLE_EQ(curve.sampleRate, 0.001);
}

TEST_F(LoadTest, NoFrontFileMeansNoSideFileEvenInTheWorkingFolder) {
    // A stray ".NMEA" in the current folder must not be taken for the missing front file's side file.
    test::WriteText(dir / "FILE0001R.TS", "");
    test::WriteText(dir / ".NMEA", kTokyoLine);
    char* previous = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    EXPECT_TRUE(m.LoadTelemetry(0));
    EXPECT_TRUE(m.Track().fixStore.empty());
    ASSERT_EQ(::chdir(previous), 0);
    std::free(previous);
}

TEST_F(LoadTest, SideFileThatIsAFifoDoesNotBlock) {
    test::WriteText(dir / "FILE0001F.TS", "");
    ASSERT_EQ(::mkfifo((dir / "FILE0001F.NMEA").c_str(), 0600), 0);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    EXPECT_TRUE(m.LoadTelemetry(0));
    EXPECT_TRUE(m.Track().fixStore.empty());
}

TEST_F(LoadTest, HostileSideFilesGiveDefinedResults) {
    std::string text;
    text += std::string("$GPRMC,1,A,1") + '\0' + "00.0,N,200.0,E,1,0\n";  // NUL inside a field
    text += std::string("\0\0\0\n", 4);
    text += "$GPRMC," + std::string(1 << 20, '9') + ",A,1,N,1,E,1,0\n";  // 1 MiB line: ignored
    text += "$GPRMC,1,A,1e400,N,nan,E,1e400,0\n";  // unreadable numbers read as 0
    text += std::string(100000, ',') + "\n";
    text += kTokyoLine;
    test::WriteText(dir / "FILE0001F.TS", "");
    test::WriteText(dir / "FILE0001F.NMEA", text);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    ASSERT_EQ(m.Track().fixStore.size(), 3u);
    EXPECT_EQ(m.Track().fixStore[1].latitudeNmea, 0.0);
    EXPECT_EQ(m.Track().fixStore[1].speedKmh, 0);
    EXPECT_EQ(map.scripts.back(), kTokyoPlot);
}

TEST_F(LoadTest, LowerCaseTsNameTakesTheContainerRoute) {
    writer::Telemetry t;
    t.fixes = {Fix(3540.8740, 13946.0275, 30, true)};
    test::WriteMov(dir / "CLIP.ts", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), "CLIP.ts"), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    ASSERT_EQ(m.Track().fixStore.size(), 1u);
    EXPECT_EQ(map.scripts.back(), kTokyoPlot);
}

TEST_F(LoadTest, ContainerStreamsWithRateFallbacks) {
    writer::Telemetry t;
    t.fixes = {Fix(3540.8740, 13946.0275, 30, false), Fix(3540.8740, 13946.0275, 31, true)};
    t.samples = {{1, 2, 3}, {-1, -2, -3}, {4, 5, 6}};
    t.fixesPerSecond = 0;   // no rate: 1 fix per second
    t.gsensorRateCode = 0;  // no rate: samples / durationMs
    t.gsensorRange = 0;     // the curve takes 0 as 8
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()", kTokyoPlot}));
    EXPECT_EQ(m.Track().fixStore.size(), 2u);
    EXPECT_EQ(m.Track().fixStore[1].speedKmh, 31);
    EXPECT_EQ(m.Track().fixRate, 1.0);
    EXPECT_EQ(m.Track().gsensorStore.size(), 9u);
    EXPECT_EQ(curve.log, (std::vector<std::string>{"reset", "range 0", "reset", "rate", "tracking on"}));
    EXPECT_DOUBLE_EQ(curve.sampleRate, 3.0 / 60000.0);
    ASSERT_EQ(curve.samples.size(), 3u);
    EXPECT_EQ(curve.samples[1].y, -2);
}

TEST_F(LoadTest, ContainerRatesFromTheRateWords) {
    writer::Telemetry t;
    t.fixes = {Fix(1000, 1000, 0, true)};
    t.samples = {{0, 0, 0}};
    t.fixesPerSecond = 10;
    t.gsensorRateCode = 50;  // 50 / 500 = 0.1 samples per ms
    t.gsensorRange = 4;
    test::WriteAvi(dir / "FILE0001.AVI", "2150-01-01 00:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(m.Track().fixRate, 10.0);
    EXPECT_DOUBLE_EQ(curve.sampleRate, 0.1);
    EXPECT_EQ(curve.log, (std::vector<std::string>{"reset", "range 4", "reset", "rate", "tracking off"}));
}

TEST_F(LoadTest, PlotFilterWorksOnTheStoredValueDividedBy100) {
    writer::Telemetry t;
    // Stored 19999.99 / 100 < 200: plotted although it converts to 200.6665 degrees.
    t.fixes = {Fix(19999.99, 1000, 0, true), Fix(20000, 1000, 0, true), Fix(1000, 20000, 0, true)};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(map.scripts,
              (std::vector<std::string>{"pathdrived_delete()", "path_delete()", "path_plot(200.666500,10.000000)"}));
}

TEST_F(LoadTest, NonFiniteCoordinatesAreNeverPlotted) {
    writer::Telemetry t;
    const double inf = std::numeric_limits<double>::infinity();
    t.fixes = {Fix(std::nan(""), 1000, 0, true), Fix(-inf, 1000, 0, true), Fix(1000, -inf, 0, true)};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(m.Track().fixStore.size(), 3u);
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()"}));
    EXPECT_EQ(m.UpdateTelemetryAt(0, true, true), 0);
}

TEST_F(LoadTest, StreamsBeyondTheEndOfTheFileAreNotRead) {
    writer::Telemetry t;
    t.fixes = {Fix(1000, 1000, 0, true), Fix(1000, 1000, 0, true)};
    t.samples = {{1, 1, 1}};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ContainerInfo& info = m.MutableEntries()[0].info;
    const std::uint64_t length = info.fileSize;
    info.gpsSize = static_cast<std::uint32_t>(length - info.gpsOffset + 1);  // one byte past the end
    info.gsensorOffset = UINT64_MAX - 1;                                     // would overflow
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    EXPECT_TRUE(m.Track().fixStore.empty());
    EXPECT_TRUE(m.Track().gsensorStore.empty());
    EXPECT_EQ(map.scripts.size(), 2u);
    EXPECT_EQ(curve.log, std::vector<std::string>{"reset"});
}

TEST_F(LoadTest, UnopenableRecordingAndBadIndexes) {
    writer::Telemetry t;
    t.fixes = {Fix(1000, 1000, 0, true)};
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00", 60, t);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    ASSERT_TRUE(m.LoadTelemetry(0));
    map.scripts.clear();
    curve.log.clear();

    EXPECT_FALSE(m.LoadTelemetry(1));
    EXPECT_FALSE(m.LoadTelemetry(-1));
    EXPECT_TRUE(map.scripts.empty());
    EXPECT_EQ(m.Track().fixStore.size(), 1u);  // nothing changed

    ASSERT_EQ(::unlink((dir / "FILE0001.MOV").c_str()), 0);
    EXPECT_FALSE(m.LoadTelemetry(0));
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()"}));
    EXPECT_TRUE(m.Track().fixStore.empty());
    EXPECT_TRUE(curve.log.empty());  // the curve keeps what it showed
}

TEST_F(LoadTest, ScriptsUseAPointUnderADecimalCommaLocale) {
    test::WriteText(dir / "FILE0001F.TS", "");
    test::WriteText(dir / "FILE0001F.NMEA", kTokyoLine);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    Attach();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 locale missing";
    const bool loaded = m.LoadTelemetry(0);
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(map.scripts.back(), kTokyoPlot);
}

}  // namespace
}  // namespace trivane
