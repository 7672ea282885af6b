// The card's building blocks without ffmpeg: the camera clock and the drive simulation.

#include <gtest/gtest.h>

#include "samplecard/CardPlan.h"
#include "samplecard/DriveModel.h"
#include "samplecard/WallClock.h"

namespace trivane::samplecard {
namespace {

TEST(WallClock, CalendarStepsCrossDaysMonthsAndLeapDays) {
    EXPECT_EQ((WallClock{2024, 3, 15, 8, 15, 0}.FieldSeconds()), 1710490500);
    EXPECT_EQ((WallClock{1970, 1, 1, 0, 0, 0}.FieldSeconds()), 0);
    EXPECT_EQ((WallClock{2024, 2, 28, 23, 59, 59}.Plus(1)), (WallClock{2024, 2, 29, 0, 0, 0}));
    EXPECT_EQ((WallClock{2024, 2, 29, 12, 0, 0}.Plus(86400)), (WallClock{2024, 3, 1, 12, 0, 0}));
    EXPECT_EQ((WallClock{2023, 2, 28, 12, 0, 0}.Plus(86400)), (WallClock{2023, 3, 1, 12, 0, 0}));
    EXPECT_EQ((WallClock{2023, 12, 31, 23, 59, 30}.Plus(45)), (WallClock{2024, 1, 1, 0, 0, 15}));
    EXPECT_EQ(WallClock::FromFieldSeconds(-1), (WallClock{1969, 12, 31, 23, 59, 59}));
    EXPECT_EQ((WallClock{2024, 3, 5, 8, 1, 9}.NameStamp()), "FILE240305-080109");
}

TEST(DriveModel, InterpolationHoldsTheEndsAndTakesStepsInOrder) {
    const std::vector<Knot> ramp{{0, 0}, {10, 100}};
    EXPECT_DOUBLE_EQ(Interpolate(ramp, 5), 50);
    EXPECT_DOUBLE_EQ(Interpolate(ramp, -3), 0);
    EXPECT_DOUBLE_EQ(Interpolate(ramp, 12), 100);
    EXPECT_DOUBLE_EQ(Interpolate({}, 1), 0);
    const std::vector<Knot> step{{0, 0}, {2, 10}, {2, 20}, {4, 20}};
    EXPECT_DOUBLE_EQ(Interpolate(step, 2), 10);
    EXPECT_DOUBLE_EQ(Interpolate(step, 3), 20);
}

TEST(DriveModel, DegreesBecomeNmeaMinutes) {
    EXPECT_DOUBLE_EQ(DegreesToNmea(48.137154), 4808.2292);  // 0.137154 deg = 8.22924 min
    EXPECT_DOUBLE_EQ(DegreesToNmea(11.5), 1130.0);
}

TEST(DriveModel, SimulationGivesDatedFixesSpeedsAndDistance) {
    Drive drive;
    drive.start = {2024, 3, 15, 23, 59, 55};
    drive.seconds = 12;
    drive.latitude = 48.0;
    drive.longitude = 11.0;
    drive.heading = 0;  // due north
    drive.speedKmh = {{0, 36}};
    drive.undatedFixes = 1;
    drive.lostFrom = 3;
    drive.lostTo = 5;
    const DriveData data = Simulate(drive);
    ASSERT_EQ(data.fixes.size(), 12u);
    ASSERT_EQ(data.samples.size(), 120u);

    EXPECT_EQ(data.fixes[0].yearSince2000, 0);
    EXPECT_FALSE(data.fixes[0].IsValid());
    for (int i : {3, 4}) {
        EXPECT_FALSE(data.fixes[static_cast<std::size_t>(i)].IsValid());
        EXPECT_EQ(data.fixes[static_cast<std::size_t>(i)].latitudeNmea, 0);
        EXPECT_EQ(data.fixes[static_cast<std::size_t>(i)].yearSince2000, 24);  // the clock still runs
    }
    // Fix 6 is six seconds after 23:59:55, past midnight.
    const GpsFix& f6 = data.fixes[6];
    EXPECT_TRUE(f6.IsValid());
    EXPECT_EQ(f6.day, 16);
    EXPECT_EQ(f6.hour, 0);
    EXPECT_EQ(f6.minute, 0);
    EXPECT_EQ(f6.second, 1);
    EXPECT_EQ(f6.speedKmh, 36);
    // 10 m/s north for 10 s: 100 m = 100 / 111320 deg = 0.0539 minutes of latitude.
    EXPECT_NEAR(data.fixes[10].latitudeNmea - data.fixes[2].latitudeNmea, 0.0539 * 8 / 10, 0.0002);
    EXPECT_NEAR(data.fixes[11].latitudeNmea, 4800.0 + 0.0539 * 11 / 10, 0.0002);
    EXPECT_DOUBLE_EQ(data.fixes[11].longitudeNmea, 1100.0);

    // Constant speed on a level road: x and y hover around 0 G, z around 1 G (raw 64).
    for (const GSensorSample& s : data.samples) {
        EXPECT_LE(std::abs(int{s.x}), 3);
        EXPECT_LE(std::abs(int{s.y}), 3);
        EXPECT_NEAR(int{s.z}, 64, 4);
    }
}

TEST(CardPlan, NamesPairUpAndLoopFilesFollowEachOther) {
    const CardPlan plan = BuildCardPlan();
    ASSERT_EQ(plan.videos.size(), 9u);
    int readOnly = 0;
    for (const PlannedVideo& video : plan.videos) readOnly += video.readOnly ? 1 : 0;
    for (std::size_t i = 0; i + 1 < plan.videos.size(); ++i) {
        const PlannedVideo& a = plan.videos[i];
        const PlannedVideo& b = plan.videos[i + 1];
        if (a.channel == Channel::Front && b.channel == Channel::Rear) {
            // Same name but the letter before the extension; folders differ in their last letter only.
            std::string front = a.relativePath;
            std::string rear = b.relativePath;
            ASSERT_EQ(front.size(), rear.size());
            front[front.rfind('.') - 1] = 'R';
            front[front.rfind('/') - 1] = 'R';
            EXPECT_EQ(front, rear);
            EXPECT_EQ(a.start, b.start);
        }
        if (a.container == ContainerKind::Avi && b.container == ContainerKind::Avi) {
            EXPECT_EQ(a.start.Plus(a.seconds), b.start);
            EXPECT_EQ(b.relativePath.size(), std::string("DCIM/AVI/").size() + 12);
        }
    }
    EXPECT_EQ(readOnly, 1);
}

}  // namespace
}  // namespace trivane::samplecard
