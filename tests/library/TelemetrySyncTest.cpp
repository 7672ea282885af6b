#include <gtest/gtest.h>

#include "TestCard.h"
#include "library/CRecordingManager.h"

namespace trivane {
namespace {

using test::Fix;

constexpr const char* kMove = "movpos(35.681233, 139.767125)";
constexpr const char* kDriven = "pathdrived_plot(35.681233,139.767125)";

class SyncTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSyncStateForTests(); }

    // One recording whose fix i has speed i (unless given), loaded with every collaborator attached.
    void Load(std::vector<GpsFix> fixes, std::uint8_t perSecond, bool withSamples = true) {
        writer::Telemetry t;
        t.fixes = std::move(fixes);
        t.fixesPerSecond = perSecond;
        if (withSamples) t.samples = {{1, 1, 1}};
        test::WriteMov(dir / ("FILE000" + std::to_string(++files) + ".MOV"), "2020-06-01 10:00:00", 60, t);
        ASSERT_EQ(m.OpenSource(dir.Path(), "FILE000" + std::to_string(files) + ".MOV"), 1);
        m.SetMapHost(&map);
        m.SetGSensorCurve(&curve);
        m.SetOwnerWindow(&owner);
        ASSERT_TRUE(m.LoadTelemetry(0));
        map.scripts.clear();
        curve.log.clear();
    }

    static std::vector<GpsFix> Run(int count) {
        std::vector<GpsFix> fixes;
        for (int i = 0; i < count; ++i) fixes.push_back(Fix(3540.8740, 13946.0275, static_cast<std::uint16_t>(i), true));
        return fixes;
    }

    test::TempDir dir;
    int files = 0;
    CRecordingManager m;
    test::RecordingMapHost map;
    test::RecordingCurve curve;
    test::RecordingOwner owner;
};

TEST_F(SyncTest, FindsTheFixByTimeAndShowsIt) {
    Load(Run(20), 10);
    EXPECT_EQ(m.UpdateTelemetryAt(1234, true, true), 1);  // 1234 ms at 10 per second: fix 12
    EXPECT_EQ(owner.speeds, std::vector<int>{12});
    EXPECT_EQ(map.scripts, std::vector<std::string>{kMove});
    EXPECT_EQ(curve.log, (std::vector<std::string>{"running", "position 1234"}));
    EXPECT_EQ(CurrentSyncState().lastFixIndex, 12);
    EXPECT_EQ(CurrentSyncState().lastSpeed, 12);
}

TEST_F(SyncTest, SameIndexTwiceSendsOnceButIndexZeroAlwaysSends) {
    Load(Run(20), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(5000, true, true), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(5999, true, true), 1);
    EXPECT_EQ(map.scripts.size(), 1u);
    EXPECT_EQ(owner.speeds, std::vector<int>{5});

    map.scripts.clear();
    EXPECT_EQ(m.UpdateTelemetryAt(0, true, true), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(999, true, true), 1);
    EXPECT_EQ(map.scripts, (std::vector<std::string>{kMove, kMove}));
}

TEST_F(SyncTest, NewRecordingAtTheLastShownIndexDoesNotMoveTheMarker) {
    Load(Run(20), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(7000, true, true), 1);
    Load(Run(20), 1);  // the process-wide index survives the load
    EXPECT_EQ(m.UpdateTelemetryAt(7500, true, true), 1);
    EXPECT_TRUE(map.scripts.empty());
}

TEST_F(SyncTest, ClearingForgetsTheTrackAndEverythingItShowed) {
    Load(Run(20), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(7000, true, true), 1);
    map.scripts.clear();
    curve.log.clear();
    owner.compass.clear();
    m.ClearTelemetry();
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "path_delete()"}));
    EXPECT_EQ(curve.log, std::vector<std::string>{"reset"});
    EXPECT_EQ(owner.speeds, (std::vector<int>{7, 0}));
    EXPECT_EQ(owner.compass, std::vector<int>{0});
    // The old fixes are gone, and a new recording's fix at the index shown before is sent again.
    EXPECT_EQ(m.UpdateTelemetryAt(7000, true, true), 0);
    Load(Run(20), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(7500, true, true), 1);
    EXPECT_EQ(map.scripts, std::vector<std::string>{kMove});
}

TEST_F(SyncTest, ImplausibleSpeedLeavesTheReadOutButMovesTheMarker) {
    std::vector<GpsFix> fixes = Run(3);
    fixes[1].speedKmh = 612;
    fixes[2].speedKmh = 499;
    Load(fixes, 1);
    EXPECT_EQ(m.UpdateTelemetryAt(1000, true, true), 1);
    EXPECT_TRUE(owner.speeds.empty());
    EXPECT_EQ(map.scripts, std::vector<std::string>{kMove});
    EXPECT_EQ(CurrentSyncState().lastSpeed, 300);
    EXPECT_EQ(m.UpdateTelemetryAt(2000, true, true), 1);
    EXPECT_EQ(owner.speeds, std::vector<int>{499});
}

TEST_F(SyncTest, OutOfRangeLatitudeShowsSpeedOnly) {
    std::vector<GpsFix> fixes = Run(2);
    fixes[1].latitudeNmea = 20000;
    Load(fixes, 1);
    EXPECT_EQ(m.UpdateTelemetryAt(1000, true, true), 0);
    EXPECT_EQ(owner.speeds, std::vector<int>{1});
    EXPECT_TRUE(owner.compass.empty());
    EXPECT_TRUE(map.scripts.empty());
}

TEST_F(SyncTest, LosingTheFixClearsTheSpeedOnce) {
    std::vector<GpsFix> fixes = Run(3);
    fixes[1].fixFlags = 0;
    Load(fixes, 1);
    EXPECT_EQ(m.UpdateTelemetryAt(2000, true, true), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(1000, true, true), 0);  // invalid fix
    EXPECT_EQ(m.UpdateTelemetryAt(3000, true, true), 0);  // past the last fix
    EXPECT_EQ(owner.speeds, (std::vector<int>{2, 0}));
    EXPECT_EQ(owner.compass, (std::vector<int>{0, 0}));
    EXPECT_EQ(CurrentSyncState().lastSpeed, 0);
}

TEST_F(SyncTest, FirstCallWithoutGpsClearsTheStartUpSpeed) {
    Load({}, 1, false);
    EXPECT_EQ(m.UpdateTelemetryAt(0, true, true), 0);
    EXPECT_EQ(m.UpdateTelemetryAt(1000, true, true), 0);
    EXPECT_EQ(owner.speeds, std::vector<int>{0});
    EXPECT_EQ(owner.compass, (std::vector<int>{0, 0}));
    EXPECT_TRUE(curve.log.empty());  // no G-sensor data: the cursor stays
}

TEST_F(SyncTest, FlagsKeepTheCurveAndTheMarkerStill) {
    Load(Run(5), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(3000, false, false), 1);
    EXPECT_TRUE(curve.log.empty());
    EXPECT_TRUE(map.scripts.empty());
    EXPECT_EQ(owner.speeds, std::vector<int>{3});
}

TEST_F(SyncTest, SeekRebuildsTheDrivenPathUpToTheTime) {
    std::vector<GpsFix> fixes = Run(40);
    fixes[3].fixFlags = 0;
    fixes[4].longitudeNmea = 20000;
    Load(fixes, 1);
    m.ReplotDrivenPath(30000);
    ASSERT_EQ(map.scripts.size(), 1u + 28u);  // fixes 0-29 without 3 and 4
    EXPECT_EQ(map.scripts[0], "pathdrived_delete()");
    EXPECT_EQ(map.scripts[1], kDriven);

    map.scripts.clear();
    m.ReplotDrivenPath(UINT32_MAX);  // beyond the end: every fix
    EXPECT_EQ(map.scripts.size(), 1u + 38u);
    map.scripts.clear();
    m.ReplotDrivenPath(999);
    EXPECT_EQ(map.scripts, std::vector<std::string>{"pathdrived_delete()"});
}

// -1 is the player's time without media; neither it nor a time past 32 bits may wrap around.
TEST_F(SyncTest, NegativeAndHugeTimesNeverWrap) {
    Load(Run(40), 1);
    EXPECT_EQ(m.UpdateTelemetryAt(-1, true, true), 1);  // the first fix, as at 0
    EXPECT_EQ(m.UpdateTelemetryAt(INT64_MIN, true, true), 1);
    EXPECT_EQ(map.scripts, (std::vector<std::string>{kMove, kMove}));
    m.UpdateTelemetryAt((INT64_C(1) << 32) + 5000, true, false);
    EXPECT_EQ(curve.log, (std::vector<std::string>{"running", "position 0", "running", "position 0", "running",
                                                   "position 4294967295"}));
    map.scripts.clear();

    m.ReplotDrivenPath(-1);
    m.ReplotDrivenPath(INT64_MIN);
    EXPECT_EQ(map.scripts, (std::vector<std::string>{"pathdrived_delete()", "pathdrived_delete()"}));
    map.scripts.clear();
    m.ReplotDrivenPath((INT64_C(1) << 32) + 5000);  // wrapped, this would be fixes 0-4
    EXPECT_EQ(map.scripts.size(), 1u + 40u);
    map.scripts.clear();
    m.ReplotDrivenPath(INT64_MAX);
    EXPECT_EQ(map.scripts.size(), 1u + 40u);
}

TEST_F(SyncTest, SeekAtTenFixesPerSecond) {
    Load(Run(100), 10);
    m.ReplotDrivenPath(2050);  // fix index 20: fixes 0-19
    EXPECT_EQ(map.scripts.size(), 21u);
}

}  // namespace
}  // namespace trivane
