#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "TestCard.h"
#include "library/CRecordingManager.h"
#include "files/FileSystem.h"
#include "library/RecordingName.h"
#include "library/ResolutionName.h"
#include "library/WalkFolder.h"

namespace trivane {
namespace {

using test::TempDir;

std::vector<std::string> Names(const CRecordingManager& m) {
    std::vector<std::string> names;
    for (const auto& e : m.Entries()) names.push_back(e.fileName);
    return names;
}

std::vector<std::uint32_t> Marks(const CRecordingManager& m) {
    std::vector<std::uint32_t> marks;
    for (const auto& e : m.Entries()) marks.push_back(e.groupStart);
    return marks;
}

TEST(NamingRule, AcceptsAndRejectsByTheCameraPattern) {
    EXPECT_TRUE(IsRecordingName("", "ABCD1234.AVI").accepted);
    EXPECT_TRUE(IsRecordingName("", "FIL_0001.MOV").accepted);
    EXPECT_TRUE(IsRecordingName("", "AB-_1234").accepted);  // exactly 8 characters, no extension
    const NameCheck event = IsRecordingName("", "NORG2301-1234.TS");
    EXPECT_TRUE(event.accepted);
    EXPECT_TRUE(event.eventFlag);
    EXPECT_FALSE(IsRecordingName("", "XYZg0001.MOV").eventFlag);

    EXPECT_FALSE(IsRecordingName("", "AB1234.MOV").accepted);     // digits 5-8 are not all digits
    EXPECT_FALSE(IsRecordingName("", "FILE001.MOV").accepted);    // '.' among characters 5-8
    EXPECT_FALSE(IsRecordingName("", "FILE0001A.AVI").accepted);  // .AVI must be 12 characters
    EXPECT_FALSE(IsRecordingName("", "ABCD12345.AVI").accepted);
    EXPECT_TRUE(IsRecordingName("", "ABCD12345.MOV").accepted);
    EXPECT_TRUE(IsRecordingName("", "ABCD12345.avi").accepted);  // the length rule is case-sensitive
    EXPECT_FALSE(IsRecordingName("", "AB D1234.MOV").accepted);
    EXPECT_FALSE(IsRecordingName("", "ABC.1234.MOV").accepted);
    EXPECT_FALSE(IsRecordingName("", "1234567").accepted);
    EXPECT_FALSE(IsRecordingName("", "").accepted);
    EXPECT_TRUE(IsRecordingName("", "FILE0001.JPG").accepted);  // the extension is not part of the rule
}

TEST(NamingRule, ReadOnlyFileSetsTheManualFlag) {
    TempDir dir;
    test::WriteText(dir / "FILE0001.MOV", "x");
    test::WriteText(dir / "FILE0002.MOV", "x");
    ::chmod((dir / "FILE0001.MOV").c_str(), 0444);
    EXPECT_TRUE(IsRecordingName(dir.Path(), "FILE0001.MOV").manualFlag);
    EXPECT_FALSE(IsRecordingName(dir.Path(), "FILE0002.MOV").manualFlag);
}

TEST(CatalogueOrder, FoldsAsciiCaseAndPutsPrefixesAndUnderscoresFirst) {
    EXPECT_TRUE(RecordingNameLess("abc", "ABD"));
    EXPECT_FALSE(RecordingNameLess("ABC", "abc"));
    EXPECT_FALSE(RecordingNameLess("abc", "ABC"));
    EXPECT_TRUE(RecordingNameLess("FILE", "file0"));
    EXPECT_TRUE(RecordingNameLess("NOR_0001", "NORG0001"));  // '_' (0x5F) below 'g' (0x67)
    // '_' is above 'Z' as a byte; folding puts it below upper-case letters as well.
    EXPECT_TRUE(RecordingNameLess("NOR_0001", "NORZ0001"));
}

TEST(Resolution, TableLookupAndFallbacks) {
    EXPECT_EQ(ResolutionName(1920, 1080), "FHD");
    EXPECT_EQ(ResolutionName(2048, 1600), "QXGA");
    EXPECT_EQ(ResolutionName(2048, 1536), "QXGA");
    EXPECT_EQ(ResolutionName(1280, 720), "HD");
    EXPECT_EQ(ResolutionName(320, 240), "CIF");
    EXPECT_EQ(ResolutionName(1440, 1080), "1440x1080");
    EXPECT_EQ(ResolutionName(1366, 768), "1366x768");
    EXPECT_EQ(ResolutionName(0, 720), "");
    EXPECT_EQ(ResolutionName(0, 0), "");
    EXPECT_EQ(ResolutionName(-1, -1), "");
}

TEST(Catalogue, ScanSortsAcceptsAndDropsLikeTheCamera) {
    TempDir dir;
    test::MakeFolder(dir / "DCIM/Movie");
    test::MakeFolder(dir / ".hidden");
    test::WriteMov(dir / "DCIM/Movie/FILE0003.MOV", "2020-06-01 10:10:00");
    test::WriteMov(dir / "DCIM/file0002.MOV", "2020-06-01 10:05:00");
    test::WriteAvi(dir / "FILE0001.AVI", "2020-06-01 10:00:00");
    test::WriteMov(dir / ".hidden/FILE0009.MOV", "2020-06-01 11:00:00");  // hidden folder
    test::WriteMov(dir / "DCIM/.FILE0008.MOV", "2020-06-01 11:00:00");    // hidden file
    test::WriteText(dir / "FILE0004.TS", "");                              // unparsable .TS stays
    test::WriteText(dir / "FILE0005.MOV", "garbage");                      // unparsable .MOV goes
    test::WriteText(dir / "FILE0006.ts", "");                              // lower-case .ts goes
    test::WriteText(dir / "README.TXT", "text");                           // name rule

    CRecordingManager m;
    test::RecordingSurface surface;
    m.SetVideoSurface(&surface);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(Names(m), (std::vector<std::string>{"FILE0001.AVI", "file0002.MOV", "FILE0003.MOV", "FILE0004.TS"}));
    // Every visible file is counted, accepted or not, from 0.
    EXPECT_EQ(m.ScanCount(), 7);
    EXPECT_EQ(surface.counters, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));

    const RecordingEntry& avi = m.Entries()[0];
    EXPECT_EQ(avi.rootFolder, dir.Path() + "/");
    EXPECT_EQ(avi.relativeFolder, "");
    EXPECT_EQ(m.Entries()[2].relativeFolder, "DCIM/Movie/");
    EXPECT_EQ(m.FullPath(2), dir.Path() + "/DCIM/Movie/FILE0003.MOV");
    EXPECT_EQ(avi.info.durationSeconds, 60);
    EXPECT_EQ(m.Entries()[3].info, ContainerInfo{});
    EXPECT_EQ(m.Rows().size(), 4u);
}

TEST(Catalogue, MissingAndEmptySources) {
    TempDir dir;
    CRecordingManager m;
    test::RecordingGroupList groups;
    test::RecordingFileList files;
    m.SetGroupList(&groups);
    m.SetFileList(&files);
    EXPECT_EQ(m.OpenSource(dir / "nope", ""), 0);
    EXPECT_EQ(m.OpenSource(dir.Path(), "FILE0001.MOV"), 0);
    EXPECT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_TRUE(m.Entries().empty());
    EXPECT_TRUE(groups.rows.empty());
    EXPECT_TRUE(files.rows.empty());
    EXPECT_EQ(m.SelectCurrent(0), 0);
    EXPECT_EQ(m.SelectCurrent(-1), 0);
}

TEST(Catalogue, SingleFileIgnoresTheNamingRule) {
    TempDir dir;
    test::WriteMov(dir / "movie.mp4", "2020-06-01 10:00:00");
    test::WriteText(dir / "junk.mp4", "x");
    test::WriteText(dir / "ABCG0001.TS", "");
    ::chmod((dir / "ABCG0001.TS").c_str(), 0444);
    CRecordingManager m;
    EXPECT_EQ(m.OpenSource(dir.Path(), "movie.mp4"), 1);
    ASSERT_EQ(Names(m), std::vector<std::string>{"movie.mp4"});
    EXPECT_EQ(m.Entries()[0].rootFolder, dir.Path());
    EXPECT_EQ(m.FullPath(0), dir / "movie.mp4");
    EXPECT_EQ(m.ScanCount(), 0);

    EXPECT_EQ(m.OpenSource(dir.Path(), "junk.mp4"), 1);  // exists, parse fails: empty catalogue
    EXPECT_TRUE(m.Entries().empty());

    EXPECT_EQ(m.OpenSource(dir.Path(), "ABCG0001.TS"), 1);
    ASSERT_EQ(m.Entries().size(), 1u);
    EXPECT_EQ(m.Entries()[0].lockFlags, LOCK_EVENT | LOCK_MANUAL);
}

TEST(Grouping, MovFilesJoinWithinTwoSecondsOfThePreviousStart) {
    TempDir dir;
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(dir / "FILE0002.MOV", "2020-06-01 10:00:02");  // +2: same group
    test::WriteMov(dir / "FILE0003.MOV", "2020-06-01 10:00:05");  // +3: new group
    test::WriteMov(dir / "FILE0004.MOV", "2020-06-01 10:00:03");  // -2: same group
    test::WriteMov(dir / "FILE0005.MOV", "2020-06-01 10:00:00");  // -3: new group
    CRecordingManager m;
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(Marks(m), (std::vector<std::uint32_t>{1, 0, 1, 0, 1}));
    ASSERT_EQ(m.Groups().size(), 3u);
    EXPECT_EQ(m.Groups()[1].number, 1);
    EXPECT_EQ(m.Groups()[1].firstIndex, 2);
    EXPECT_EQ(m.Groups()[1].count, 2);
    EXPECT_EQ(m.Groups()[1].totalDurationMs, 120000u);
    EXPECT_EQ(m.Rows()[3].groupNumber, 1);
    EXPECT_EQ(m.Rows()[3].indexInGroup, 1);
    EXPECT_EQ(m.Rows()[3].entryIndex, 3);
}

TEST(Grouping, AviFilesJoinWithinTwoSecondsOfThePreviousEnd) {
    TempDir dir;
    test::WriteAvi(dir / "FILE0001.AVI", "2020-06-01 10:00:00");  // 60 s: ends 10:01:00
    test::WriteAvi(dir / "FILE0002.AVI", "2020-06-01 10:01:02");  // end + 2: joins; ends 10:02:02
    test::WriteAvi(dir / "FILE0003.AVI", "2020-06-01 10:03:05");  // end + 3: new; ends 10:04:05
    test::WriteAvi(dir / "FILE0004.AVI", "2020-06-01 10:04:02");  // end - 3: new; ends 10:05:02
    test::WriteAvi(dir / "FILE0005.AVI", "2020-06-01 10:05:00");  // end - 2: joins
    CRecordingManager m;
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(Marks(m), (std::vector<std::uint32_t>{1, 0, 1, 1, 0}));
}

TEST(Grouping, MarksAreNeverClearedAndGroupsCarryLocks) {
    TempDir dir;
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(dir / "FILG0002.MOV", "2020-06-01 10:00:01");
    test::WriteMov(dir / "FILE0003.MOV", "2020-06-01 10:00:02");
    ::chmod((dir / "FILE0003.MOV").c_str(), 0444);
    CRecordingManager m;
    test::RecordingGroupList groups;
    m.SetGroupList(&groups);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.Groups().size(), 1u);
    EXPECT_EQ(m.Groups()[0].lockFlags, LOCK_EVENT | LOCK_MANUAL);
    EXPECT_EQ(groups.rows, std::vector<std::string>{"G0 FHD 3"});

    // A mark set earlier survives regrouping even when the times would join the entries.
    // Order: FILE0001, FILE0003 (read-only), FILG0002 (event).
    m.MutableEntries()[2].groupStart = 1;
    groups.DeleteAllRows();
    m.MarkGroups();
    EXPECT_EQ(Marks(m), (std::vector<std::uint32_t>{1, 0, 1}));
    EXPECT_EQ(groups.rows, (std::vector<std::string>{"G0 FHD 2", "G1 FHD 1"}));
}

TEST(Catalogue, SelectCurrentMovesBothHighlights) {
    TempDir dir;
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(dir / "FILE0002.MOV", "2020-06-01 11:00:00");
    test::WriteMov(dir / "FILE0003.MOV", "2020-06-01 11:00:01");
    CRecordingManager m;
    test::RecordingGroupList groups;
    test::RecordingFileList files;
    m.SetGroupList(&groups);
    m.SetFileList(&files);
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(files.rows.size(), 3u);
    groups.log.clear();
    files.log.clear();

    EXPECT_EQ(m.SelectCurrent(3), 0);
    EXPECT_TRUE(files.log.empty());
    EXPECT_EQ(m.SelectCurrent(2), 1);
    EXPECT_EQ(m.CurrentIndex(), 2);
    EXPECT_EQ(m.CurrentGroup(), 1);
    EXPECT_EQ(files.current, 2);
    EXPECT_EQ(groups.log, (std::vector<std::string>{"off 0", "on 1", "show 1"}));
    EXPECT_EQ(files.log, (std::vector<std::string>{"on 2", "show 2"}));

    files.log.clear();
    EXPECT_EQ(m.SelectCurrent(0), 1);
    EXPECT_EQ(files.log, (std::vector<std::string>{"off 2", "on 0", "show 0"}));
    EXPECT_EQ(m.CurrentGroup(), 0);

    m.ClearCatalogue();
    EXPECT_EQ(m.CurrentIndex(), -1);
    EXPECT_EQ(m.CurrentGroup(), 0);
    EXPECT_TRUE(files.rows.empty());
}

TEST(Catalogue, WorksWithoutAnyCollaborator) {
    TempDir dir;
    test::WriteMov(dir / "FILE0001.MOV", "2020-06-01 10:00:00");
    CRecordingManager m;
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(m.SelectCurrent(0), 1);
    EXPECT_TRUE(m.LoadTelemetry(0));
    EXPECT_EQ(m.UpdateTelemetryAt(0, true, true), 0);
    m.ReplotDrivenPath(1000);
    m.ClearCatalogue();
}

// Bad folder trees: each gives a defined result, none hangs.
TEST(FolderWalk, SymbolicLinkLoopsAreNotFollowed) {
    TempDir dir;
    test::MakeFolder(dir / "A/B");
    test::WriteMov(dir / "A/B/FILE0001.MOV", "2020-06-01 10:00:00");
    ASSERT_EQ(::symlink("..", (dir / "A/B/up").c_str()), 0);
    ASSERT_EQ(::symlink(dir.Path().c_str(), (dir / "A/root").c_str()), 0);
    ASSERT_EQ(::symlink("self", (dir / "A/self").c_str()), 0);  // a link to itself
    CRecordingManager m;
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    EXPECT_EQ(Names(m), std::vector<std::string>{"FILE0001.MOV"});
}

TEST(FolderWalk, DeepTreesAreWalkedCompletely) {
    TempDir dir;
    std::string rel;
    for (int level = 0; level < 60; ++level) rel += "d/";
    test::MakeFolder(dir / rel);
    test::WriteMov(dir / (rel + "FILE0060.MOV"), "2020-06-01 10:00:00");
    CRecordingManager m;
    ASSERT_EQ(m.OpenSource(dir.Path(), ""), 1);
    ASSERT_EQ(m.Entries().size(), 1u);
    EXPECT_EQ(m.Entries()[0].relativeFolder, rel);
}

TEST(FolderWalk, UnreadableFolderIsSkippedOnce) {
    TempDir dir;
    test::MakeFolder(dir / "locked");
    test::MakeFolder(dir / "open");
    test::WriteMov(dir / "locked/FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(dir / "open/FILE0002.MOV", "2020-06-01 10:00:00");
    ::chmod((dir / "locked").c_str(), 0);
    struct Seen {
        std::vector<std::string> entries;
    } seen;
    const bool walked = WalkFolder(
        dir.Path(),
        [](const std::string&, const std::string& rel, const std::string& name, bool, void* context) {
            static_cast<Seen*>(context)->entries.push_back(rel + name);
        },
        &seen);
    EXPECT_TRUE(walked);
    std::sort(seen.entries.begin(), seen.entries.end());
    // As root the folder stays readable; otherwise its contents are skipped. Never repeated.
    std::vector<std::string> expected{"locked", "open", "open/FILE0002.MOV"};
    if (::geteuid() == 0) expected.insert(expected.begin() + 1, "locked/FILE0001.MOV");
    EXPECT_EQ(seen.entries, expected);
}

TEST(FolderWalk, FolderThatVanishesBeforeItIsEnteredIsSkipped) {
    TempDir dir;
    test::MakeFolder(dir / "gone");
    test::WriteText(dir / "gone/FILE0001.MOV", "x");
    struct Context {
        std::string root;
        std::vector<std::string> entries;
    } context{dir.Path(), {}};
    // Renaming the folder when the walk announces it makes entering it fail, as a removed card would.
    const bool walked = WalkFolder(
        dir.Path(),
        [](const std::string&, const std::string& rel, const std::string& name, bool isDirectory, void* c) {
            auto* ctx = static_cast<Context*>(c);
            ctx->entries.push_back(rel + name);
            if (isDirectory && name == "gone") {
                std::filesystem::rename(ctx->root + "/gone", ctx->root + "/.moved");
            }
        },
        &context);
    EXPECT_TRUE(walked);
    EXPECT_EQ(context.entries, std::vector<std::string>{"gone"});
}

TEST(FolderWalk, RootThatIsAFileOrMissingIsReported) {
    TempDir dir;
    test::WriteText(dir / "file", "x");
    auto ignore = [](const std::string&, const std::string&, const std::string&, bool, void*) {};
    EXPECT_FALSE(WalkFolder(dir / "file", ignore, nullptr));
    EXPECT_FALSE(WalkFolder(dir / "missing", ignore, nullptr));
    EXPECT_FALSE(WalkFolder("", ignore, nullptr));
}

TEST(Folders, MakeDirectoriesCreatesEveryParent) {
    TempDir dir;
    MakeDirectories(dir / "a/b/c");
    EXPECT_TRUE(IsDirectory(dir / "a/b/c"));
    MakeDirectories(dir / "a/b/c/");  // existing: no harm
    EXPECT_TRUE(IsDirectory(dir / "a/b/c"));
    EXPECT_EQ(JoinPath("/x/", "y"), "/x/y");
    EXPECT_EQ(JoinPath("/x", "y"), "/x/y");
    EXPECT_EQ(JoinPath("", "y"), "y");
}

}  // namespace
}  // namespace trivane
