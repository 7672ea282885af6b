#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TestCard.h"
#include "library/CRecordingManager.h"
#include "library/ListTexts.h"

// Runs under two time zones; the expected local texts are worked out for both.
namespace trivane {
namespace {

bool InNewYork() {
    const char* tz = std::getenv("TZ");
    return tz != nullptr && std::strcmp(tz, "America/New_York") == 0;
}

TEST(GroupColumns, FormatsNumberSizeLengthAndLocalStart) {
    // 1591005600 is 2020-06-01 10:00:00 UTC: 19:00 in Tokyo, 06:00 in New York (daylight time).
    const auto texts = GroupColumnTexts(7, "FHD", 61999, 3 * 1048576 + 1048575, 1591005600);
    EXPECT_EQ(texts[0], "G7");
    EXPECT_EQ(texts[1], "FHD");
    EXPECT_EQ(texts[2], InNewYork() ? "2020-06-01 06:00:00" : "2020-06-01 19:00:00");
    EXPECT_EQ(texts[3], " 61 s ");
    EXPECT_EQ(texts[4], " 3 MB");
}

TEST(GroupColumns, RoundsDownAndShowsTheEpochForUnparsedFiles) {
    const auto texts = GroupColumnTexts(0, "", 999, 1048575, 0);
    EXPECT_EQ(texts[0], "G0");
    EXPECT_EQ(texts[2], InNewYork() ? "1969-12-31 19:00:00" : "1970-01-01 09:00:00");
    EXPECT_EQ(texts[3], " 0 s ");
    EXPECT_EQ(texts[4], " 0 MB");
    EXPECT_EQ(GroupColumnTexts(0, "", 1000, 1048576, 0)[4], " 1 MB");
}

TEST(GroupColumns, UnshowableStartLeavesTheRestOfTheRow) {
    const auto texts = GroupColumnTexts(2, "HD", 5000, 0, INT64_MAX);
    EXPECT_EQ(texts[0], "G2");
    EXPECT_EQ(texts[2], "");
    EXPECT_EQ(texts[3], " 5 s ");
}

TEST(FileColumns, ReadTheTimeAroundTheFirstDash) {
    auto texts = FileColumnTexts("FILE230101-120546F.MOV");
    EXPECT_EQ(texts[0], "FILE230101-120546F.MOV");
    EXPECT_EQ(texts[1], "12:05:46");
    EXPECT_EQ(texts[2], "2023-01-01 12:05:46");

    // No dash: everything counts from the start of the name.
    texts = FileColumnTexts("ABCD1234.AVI");
    EXPECT_EQ(texts[1], "00:00:12");
    EXPECT_EQ(texts[2], "2000-00-00 00:00:12");

    // Positions before the start are clamped to 0.
    texts = FileColumnTexts("AB-123456.MOV");
    EXPECT_EQ(texts[1], "12:34:56");
    EXPECT_EQ(texts[2], "2000-00-00 12:34:56");

    // Reading stops at the first non-digit.
    texts = FileColumnTexts("XXXX230101-12.TS");
    EXPECT_EQ(texts[1], "12:00:00");
    EXPECT_EQ(texts[2], "2023-01-01 12:00:00");
}

TEST(FileColumns, SignsSpacesAndShortNames) {
    const NameTime t = ReadNameTime("20-1 -2");  // p = 2: hour "1 ", minute "-2", second nothing
    EXPECT_EQ(t.hour, 1);
    EXPECT_EQ(t.minute, -2);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(t.year, 2020);
    EXPECT_EQ(FileColumnTexts("")[2], "2000-00-00 00:00:00");
    EXPECT_EQ(FileColumnTexts("- 7")[1], "07:00:00");
}

TEST(Lists, FilledInCatalogueOrder) {
    test::TempDir dir;
    test::WriteMov(dir / "FILE0002.MOV", "2020-06-01 10:00:00", 60, {}, 1280, 720);
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 09:00:00", 60, {}, 1366, 768);
    test::WriteText(dir / "FILE0003.TS", "");
    CRecordingManager m;
    test::RecordingGroupList groups;
    test::RecordingFileList files;
    m.SetGroupList(&groups);
    m.SetFileList(&files);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(groups.rows, (std::vector<std::string>{"G0 1366x768 0", "G1 HD 0", "G2  0"}));
    EXPECT_EQ(files.rows, (std::vector<std::string>{"FILE0001.MOV", "FILE0002.MOV", "FILE0003.TS"}));
    // The IDIT start is local time, so the group shows it back unchanged in any zone.
    const RecordingGroup& g = m.Groups()[1];
    EXPECT_EQ(GroupColumnTexts(g.number, "HD", g.totalDurationMs, g.totalSize,
                               m.Entries()[1].info.startTime)[2],
              "2020-06-01 10:00:00");
}

}  // namespace
}  // namespace trivane
