// Unlock, delete and copy of ticked groups on real temporary cards.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <random>
#include <set>

#include "TestCard.h"
#include "files/SafeCopy.h"
#include "library/CRecordingManager.h"
#include "library/IFileOperationHost.h"
#include "library/IStatusBoard.h"
#include "writer/MovWriter.h"

namespace trivane {
namespace {

using test::TempDir;

class TickableGroupList final : public IGroupList {
public:
    void DeleteAllRows() override { rows.clear(); }
    bool AddGroupRow(std::int32_t number, const std::string&, std::uint64_t, std::uint64_t, std::uint8_t lockFlags,
                     std::int64_t) override {
        rows.push_back("G" + std::to_string(number) + " lock " + std::to_string(lockFlags));
        return true;
    }
    void SetCurrentHighlight(int, bool) override {}
    void EnsureRowVisible(int) override {}
    bool IsRowChecked(int row) const override { return checked.count(row) != 0; }
    std::set<int> checked;
    std::vector<std::string> rows;  // "G<number> lock <flags>"
};

class LockFileList final : public IFileList {
public:
    void DeleteAllRows() override { rows.clear(); }
    bool AddFileRow(const std::string& fileName, std::uint8_t lockFlags) override {
        rows.push_back(fileName + " " + std::to_string(lockFlags));
        return true;
    }
    void SetCurrentHighlight(int, bool) override {}
    void EnsureRowVisible(int) override {}
    void SetCurrentItem(int) override {}
    int CurrentItem() const override { return -1; }
    std::vector<std::string> rows;  // "<name> <lock flags>"
};

class BoardOwner final : public IOwnerWindow, public IStatusBoard {
public:
    ISpeedReadout* SpeedReadout() override { return nullptr; }
    ICompass* Compass() override { return nullptr; }
    IStatusBoard* StatusBoard() override { return this; }
    void ShowBoard(bool visible) override { log.push_back(visible ? "show" : "hide"); }
    void SetProgress(int percent, const std::string& caption) override {
        log.push_back(std::to_string(percent) + ":" + caption);
    }
    std::vector<std::string> log;
};

class ScriptedHost final : public IFileOperationHost {
public:
    bool ConfirmOverwrite(const std::string& targetPath) override {
        asked.push_back(targetPath);
        return approve.count(targetPath) != 0;
    }
    void KeepResponsive() override { ++responsive; }
    std::set<std::string> approve;
    std::vector<std::string> asked;
    int responsive = 0;
};

// A catalogue wired to the fakes above.
struct Card {
    TempDir dir;
    CRecordingManager manager;
    TickableGroupList groups;
    LockFileList files;
    BoardOwner owner;
    ScriptedHost host;

    Card() {
        manager.SetGroupList(&groups);
        manager.SetFileList(&files);
        manager.SetOwnerWindow(&owner);
        manager.SetFileOperationHost(&host);
    }
    std::string operator/(const std::string& name) const { return dir / name; }
    void Open() { ASSERT_EQ(manager.OpenSource(dir.Path(), ""), 1); }
    void Tick(std::set<int> rows) { groups.checked = std::move(rows); }
};

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::vector<std::string> Names(const CRecordingManager& m) {
    std::vector<std::string> names;
    for (const auto& e : m.Entries()) names.push_back(e.fileName);
    return names;
}

TEST(TickedGroups, FollowTheCheckedRowsAndNothingTickedTouchesNothing) {
    Card card;
    test::WriteMov(card / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(card / "FILE0002.MOV", "2020-06-01 11:00:00");
    test::WriteMov(card / "FILG0003.MOV", "2020-06-01 12:00:00");
    ::chmod((card / "FILG0003.MOV").c_str(), 0444);
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 3u);

    card.Tick({0, 2});
    EXPECT_EQ(card.manager.CollectTickedGroups(), 1);
    std::vector<std::uint32_t> ticked;
    for (const RecordingGroup& g : card.manager.Groups()) ticked.push_back(g.ticked);
    EXPECT_EQ(ticked, (std::vector<std::uint32_t>{1, 0, 1}));

    card.Tick({});
    EXPECT_EQ(card.manager.UnlockTicked(), 0);
    EXPECT_EQ(card.manager.DeleteTicked(), 0);
    EXPECT_EQ(card.manager.CopyTicked(card / "copy"), 0);
    EXPECT_EQ(card.manager.Groups()[0].ticked, 0u);
    EXPECT_EQ(test::FolderEntries(card.dir.Path()),
              (std::vector<std::string>{"FILE0001.MOV", "FILE0002.MOV", "FILG0003.MOV"}));
    EXPECT_EQ(Mode(card / "FILG0003.MOV"), 0444u);
    EXPECT_TRUE(card.owner.log.empty());

    // Without a group list nothing is ticked.
    card.manager.SetGroupList(nullptr);
    EXPECT_EQ(card.manager.CollectTickedGroups(), 0);
}

TEST(Unlock, ClearsBothLocksRecomputesPadlocksAndKeepsOrder) {
    Card card;
    test::MakeFolder(card / "F");
    test::MakeFolder(card / "R");
    test::WriteMov(card / "F/NOR_0005F.MOV", "2020-06-01 12:00:00");
    test::WriteMov(card / "F/NORG0001F.MOV", "2020-06-01 10:00:00");
    test::WriteMov(card / "R/NORG0001R.MOV", "2020-06-01 10:00:00");
    ::chmod((card / "F/NOR_0005F.MOV").c_str(), 0444);
    ::chmod((card / "F/NORG0001F.MOV").c_str(), 0444);
    const std::string front = test::ReadText(card / "F/NORG0001F.MOV");
    card.Open();
    // Front and rear start together: one group.
    ASSERT_EQ(card.groups.rows, (std::vector<std::string>{"G0 lock 2", "G1 lock 3"}));
    ASSERT_TRUE(card.manager.LoadTelemetry(1));

    card.Tick({1});
    EXPECT_EQ(card.manager.UnlockTicked(), 1);
    const FileOperationReport& report = card.manager.LastFileOperationReport();
    EXPECT_EQ(report.treated, 2);
    EXPECT_EQ(report.failures, 0);

    EXPECT_FALSE(test::FileExists(card / "F/NORG0001F.MOV"));
    EXPECT_FALSE(test::FileExists(card / "R/NORG0001R.MOV"));
    EXPECT_EQ(test::ReadText(card / "F/NOR_0001F.MOV"), front);
    EXPECT_EQ(Mode(card / "F/NOR_0001F.MOV"), 0644u);
    EXPECT_TRUE(test::FileExists(card / "R/NOR_0001R.MOV"));
    EXPECT_EQ(Mode(card / "F/NOR_0005F.MOV"), 0444u);  // not ticked

    // Renamed in place: no re-sort, no regrouping; the loaded route follows its recording.
    EXPECT_EQ(Names(card.manager), (std::vector<std::string>{"NOR_0005F.MOV", "NOR_0001F.MOV", "NOR_0001R.MOV"}));
    EXPECT_EQ(card.groups.rows, (std::vector<std::string>{"G0 lock 2", "G1 lock 0"}));
    EXPECT_EQ(card.files.rows, (std::vector<std::string>{"NOR_0005F.MOV 2", "NOR_0001F.MOV 0", "NOR_0001R.MOV 0"}));
    EXPECT_EQ(card.manager.Track().sourcePath, card / "F/NOR_0001F.MOV");
    EXPECT_EQ(card.manager.FindEntry(card / "R/NOR_0001R.MOV"), 2);
    EXPECT_EQ(card.manager.FindEntry(card / "F/NORG0001F.MOV"), -1);
}

TEST(Unlock, NeverReplacesAFileAndKeepsTheLockWhenTheNameIsTaken) {
    Card card;
    test::WriteMov(card / "NORG0002.MOV", "2020-06-01 10:00:00");
    test::WriteMov(card / "NORG0003.MOV", "2020-06-01 10:00:01");
    test::WriteText(card / "NOR_0002.MOV", "another file");  // not a recording: the scan drops it
    const std::string locked = test::ReadText(card / "NORG0002.MOV");
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 1u);

    card.Tick({0});
    EXPECT_EQ(card.manager.UnlockTicked(), 1);
    const FileOperationReport& report = card.manager.LastFileOperationReport();
    EXPECT_EQ(report.treated, 1);
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(report.firstFailedPath, card / "NORG0002.MOV");
    EXPECT_EQ(report.firstReason, std::strerror(EEXIST));
    EXPECT_EQ(test::ReadText(card / "NOR_0002.MOV"), "another file");
    EXPECT_EQ(test::ReadText(card / "NORG0002.MOV"), locked);
    EXPECT_TRUE(test::FileExists(card / "NOR_0003.MOV"));
    // The padlock shows the lock that is left.
    EXPECT_EQ(card.groups.rows, std::vector<std::string>{"G0 lock 1"});
    EXPECT_EQ(card.files.rows, (std::vector<std::string>{"NORG0002.MOV 1", "NOR_0003.MOV 0"}));
}

TEST(Unlock, TransportStreamTakesItsSideFileAlongOrStaysWithIt) {
    Card card;
    test::WriteText(card / "NORG0003.TS", "");
    test::WriteText(card / "NORG0003.NMEA", "$GPRMC,three\n");
    test::WriteText(card / "NORG0004.TS", "");
    test::WriteText(card / "NORG0004.NMEA", "$GPRMC,four\n");
    test::WriteText(card / "NOR_0004.NMEA", "$GPRMC,someone else\n");
    test::WriteText(card / "NORG0005.TS", "");
    test::WriteText(card / "NORG0005.NMEA", "$GPRMC,five\n");
    test::WriteText(card / "NOR_0005.TS", "other");
    card.Open();
    ASSERT_EQ(card.manager.Entries().size(), 4u);

    card.Tick({0});
    EXPECT_EQ(card.manager.UnlockTicked(), 1);
    EXPECT_EQ(test::ReadText(card / "NOR_0003.NMEA"), "$GPRMC,three\n");
    EXPECT_TRUE(test::FileExists(card / "NOR_0003.TS"));
    EXPECT_FALSE(test::FileExists(card / "NORG0003.NMEA"));
    // The free name NOR_0004.TS would pair the recording with a stranger's GPS: it keeps its lock.
    EXPECT_TRUE(test::FileExists(card / "NORG0004.TS"));
    EXPECT_FALSE(test::FileExists(card / "NOR_0004.TS"));
    EXPECT_EQ(test::ReadText(card / "NORG0004.NMEA"), "$GPRMC,four\n");
    EXPECT_EQ(test::ReadText(card / "NOR_0004.NMEA"), "$GPRMC,someone else\n");
    // The recording's name is taken: its side file, renamed first, comes back.
    EXPECT_EQ(test::ReadText(card / "NORG0005.NMEA"), "$GPRMC,five\n");
    EXPECT_FALSE(test::FileExists(card / "NOR_0005.NMEA"));
    EXPECT_EQ(test::ReadText(card / "NOR_0005.TS"), "other");
    EXPECT_EQ(card.manager.LastFileOperationReport().failures, 2);
    EXPECT_EQ(card.manager.LastFileOperationReport().firstFailedPath, card / "NORG0004.NMEA");
    EXPECT_EQ(card.files.rows,
              (std::vector<std::string>{"NOR_0005.TS 0", "NOR_0003.TS 0", "NORG0004.TS 1", "NORG0005.TS 1"}));
}

TEST(Delete, RemovesTickedGroupsAndNumbersTheRestAfresh) {
    Card card;
    test::WriteMov(card / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(card / "FILE0002.MOV", "2020-06-01 10:00:01");
    test::WriteMov(card / "FILE0003.MOV", "2020-06-01 11:00:00");
    test::WriteMov(card / "FILE0004.MOV", "2020-06-01 11:00:01");
    test::WriteMov(card / "FILE0005.MOV", "2020-06-01 12:00:00");
    test::WriteText(card / "FILE0009.TS", "");
    test::WriteText(card / "FILE0009.NMEA", "$GPRMC\n");
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 4u);
    ASSERT_TRUE(card.manager.SelectCurrent(4));

    card.Tick({1, 3});
    EXPECT_EQ(card.manager.DeleteTicked(), 1);
    EXPECT_EQ(card.manager.LastFileOperationReport().treated, 3);
    EXPECT_EQ(card.manager.LastFileOperationReport().failures, 0);
    EXPECT_EQ(Names(card.manager), (std::vector<std::string>{"FILE0001.MOV", "FILE0002.MOV", "FILE0005.MOV"}));
    EXPECT_EQ(card.groups.rows, (std::vector<std::string>{"G0 lock 0", "G1 lock 0"}));
    EXPECT_EQ(card.manager.Rows()[2].groupNumber, 1);
    // Only recordings go.
    EXPECT_EQ(test::FolderEntries(card.dir.Path()),
              (std::vector<std::string>{"FILE0001.MOV", "FILE0002.MOV", "FILE0005.MOV", "FILE0009.NMEA"}));
    EXPECT_EQ(card.manager.CurrentIndex(), 4);                // the window clamps it
    EXPECT_EQ(card.manager.FindEntry(card / "FILE0005.MOV"), 2);

    card.Tick({0, 1});
    EXPECT_EQ(card.manager.DeleteTicked(), 1);
    EXPECT_TRUE(card.manager.Entries().empty() && card.manager.Groups().empty() && card.manager.Rows().empty());
    EXPECT_TRUE(card.groups.rows.empty());
    EXPECT_TRUE(card.files.rows.empty());
    EXPECT_EQ(test::FolderEntries(card.dir.Path()), std::vector<std::string>{"FILE0009.NMEA"});
}

TEST(Delete, AFailedUnlinkKeepsTheEntryItsLockAndItsGroup) {
    Card card;
    test::WriteMov(card / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(card / "FILE0002.MOV", "2020-06-01 10:00:04");  // +4: new group
    test::WriteMov(card / "FILE0003.MOV", "2020-06-01 10:00:02");  // -2: joins it
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 2u);
    // Replaced by a read-only folder after the scan: its unlink fails, for root as well.
    ::unlink((card / "FILE0003.MOV").c_str());
    ASSERT_EQ(::mkdir((card / "FILE0003.MOV").c_str(), 0555), 0);

    card.Tick({1});
    EXPECT_EQ(card.manager.DeleteTicked(), 1);
    const FileOperationReport& report = card.manager.LastFileOperationReport();
    EXPECT_EQ(report.treated, 1);
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(report.firstFailedPath, card / "FILE0003.MOV");
    EXPECT_EQ(report.firstReason, std::strerror(EISDIR));
    EXPECT_EQ(Mode(card / "FILE0003.MOV"), 0555u);
    EXPECT_EQ(Names(card.manager), (std::vector<std::string>{"FILE0001.MOV", "FILE0003.MOV"}));
    // Two seconds after FILE0001 it would join it by time; it stays in a group of its own.
    EXPECT_EQ(card.groups.rows, (std::vector<std::string>{"G0 lock 0", "G1 lock 0"}));

    // Nothing deleted: lists and ticks stay as they are.
    card.groups.rows.push_back("untouched");
    EXPECT_EQ(card.manager.DeleteTicked(), 1);
    EXPECT_EQ(card.manager.LastFileOperationReport().treated, 0);
    EXPECT_EQ(card.manager.LastFileOperationReport().failures, 1);
    EXPECT_EQ(card.groups.rows.back(), "untouched");
    EXPECT_EQ(card.manager.Groups()[1].ticked, 1u);
}

TEST(Copy, ReproducesTheFoldersKeepsModeAndTimesAndReportsProgress) {
    Card card;
    test::MakeFolder(card / "DCIM/Movie");
    writer::MovRecording large;
    large.movieBytes = 20u << 20;  // several chunks
    large.telemetry.idit = "2020-06-01 10:00:00";
    ASSERT_TRUE(writer::RenderBoxes(writer::BuildMov(large)).WriteFile(card / "DCIM/Movie/FILE0001.MOV"));
    test::WriteMov(card / "DCIM/Movie/FILE0002.MOV", "2020-06-01 10:00:01");
    test::WriteMov(card / "DCIM/Movie/FILE0003.MOV", "2020-06-01 12:00:00");
    ::chmod((card / "DCIM/Movie/FILE0001.MOV").c_str(), 0440);
    const struct timespec old[2] = {{1000000000, 5}, {1200000000, 123456789}};
    ::utimensat(AT_FDCWD, (card / "DCIM/Movie/FILE0001.MOV").c_str(), old, 0);
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 2u);
    const std::vector<std::string> rowsBefore = card.files.rows;

    TempDir out;
    const std::string destination = out / "backup/new";
    card.Tick({0});
    EXPECT_EQ(card.manager.CopyTicked(destination), 1);
    EXPECT_EQ(card.manager.LastFileOperationReport().treated, 2);
    EXPECT_EQ(card.manager.LastFileOperationReport().failures, 0);
    EXPECT_EQ(card.owner.log, (std::vector<std::string>{"show", "0:0 %", "50:50 %", "100:100 %", "hide"}));
    EXPECT_GT(card.host.responsive, 4);
    const std::string copied = destination + "/DCIM/Movie/";
    EXPECT_EQ(test::FolderEntries(copied), (std::vector<std::string>{"FILE0001.MOV", "FILE0002.MOV"}));
    EXPECT_EQ(test::ReadText(copied + "FILE0001.MOV"), test::ReadText(card / "DCIM/Movie/FILE0001.MOV"));
    EXPECT_EQ(test::ReadText(copied + "FILE0002.MOV"), test::ReadText(card / "DCIM/Movie/FILE0002.MOV"));
    EXPECT_EQ(Mode(copied + "FILE0001.MOV"), 0440u);
    struct stat st {};
    ASSERT_EQ(::stat((copied + "FILE0001.MOV").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(card.files.rows, rowsBefore);  // the catalogue is what it was
}

TEST(Copy, NeverCopiesARecordingOntoItself) {
    Card card;
    test::MakeFolder(card / "DCIM");
    test::WriteMov(card / "DCIM/FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteText(card / "DCIM/FILE0002.TS", RandomBytes(188 * 100, 2));
    test::WriteText(card / "DCIM/FILE0002.NMEA", "$GPRMC\n");
    card.Open();
    const std::string mov = test::ReadText(card / "DCIM/FILE0001.MOV");
    const std::string ts = test::ReadText(card / "DCIM/FILE0002.TS");
    TempDir elsewhere;
    ASSERT_EQ(::symlink(card.dir.Path().c_str(), (elsewhere / "card").c_str()), 0);

    card.host.approve = {card / "DCIM/FILE0001.MOV", card / "DCIM/FILE0002.TS", elsewhere / "card/DCIM/FILE0001.MOV",
                         elsewhere / "card/DCIM/FILE0002.TS"};
    card.Tick({0, 1});
    for (const std::string& destination : {card.dir.Path(), elsewhere / "card", elsewhere / "card/"}) {
        EXPECT_EQ(card.manager.CopyTicked(destination), 1);
        const FileOperationReport& report = card.manager.LastFileOperationReport();
        EXPECT_EQ(report.treated, 0) << destination;
        EXPECT_EQ(report.failures, 2) << destination;
        EXPECT_EQ(report.firstReason, kTargetIsSource);
        EXPECT_EQ(test::ReadText(card / "DCIM/FILE0001.MOV"), mov);
        EXPECT_EQ(test::ReadText(card / "DCIM/FILE0002.TS"), ts);
    }
    EXPECT_TRUE(card.host.asked.empty());
    EXPECT_EQ(test::FolderEntries(card / "DCIM"),
              (std::vector<std::string>{"FILE0001.MOV", "FILE0002.NMEA", "FILE0002.TS"}));
}

TEST(Copy, ReplacesOnlyWithApprovalRefusesReadOnlyTargetsAndTakesSideFiles) {
    Card card;
    test::WriteMov(card / "FILE0001.MOV", "2020-06-01 10:00:00");
    test::WriteMov(card / "FILE0002.MOV", "2020-06-01 10:00:01");
    test::WriteMov(card / "FILE0003.MOV", "2020-06-01 10:00:02");
    test::WriteText(card / "FILE0004.TS", RandomBytes(188 * 50, 4));
    test::WriteText(card / "FILE0004.NMEA", "$GPRMC,four\n");
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 2u);
    TempDir out;
    test::WriteText(out / "FILE0001.MOV", "old one");
    test::WriteText(out / "FILE0002.MOV", "old two");
    test::WriteText(out / "FILE0003.MOV", "old three");
    ::chmod((out / "FILE0003.MOV").c_str(), 0444);
    card.host.approve = {out / "FILE0001.MOV"};

    card.Tick({0, 1});
    EXPECT_EQ(card.manager.CopyTicked(out.Path()), 1);
    const FileOperationReport& report = card.manager.LastFileOperationReport();
    EXPECT_EQ(report.treated, 2);
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(report.firstFailedPath, out / "FILE0003.MOV");
    EXPECT_EQ(report.firstReason, kTargetReadOnly);
    // Asked for the writable targets only; a declined file advances the progress too, the side file does not.
    EXPECT_EQ(card.host.asked, (std::vector<std::string>{out / "FILE0001.MOV", out / "FILE0002.MOV"}));
    EXPECT_EQ(card.owner.log,
              (std::vector<std::string>{"show", "0:0 %", "25:25 %", "50:50 %", "75:75 %", "100:100 %", "hide"}));

    EXPECT_EQ(test::ReadText(out / "FILE0001.MOV"), test::ReadText(card / "FILE0001.MOV"));
    EXPECT_EQ(test::ReadText(out / "FILE0002.MOV"), "old two");
    EXPECT_EQ(test::ReadText(out / "FILE0003.MOV"), "old three");
    EXPECT_EQ(Mode(out / "FILE0003.MOV"), 0444u);
    EXPECT_EQ(test::ReadText(out / "FILE0004.TS"), test::ReadText(card / "FILE0004.TS"));
    EXPECT_EQ(test::ReadText(out / "FILE0004.NMEA"), "$GPRMC,four\n");

    // Without a host nothing is replaced.
    card.manager.SetFileOperationHost(nullptr);
    card.Tick({0});
    EXPECT_EQ(card.manager.CopyTicked(out.Path()), 1);
    EXPECT_EQ(test::ReadText(out / "FILE0002.MOV"), "old two");
}

// A 1 MiB tmpfs where mounting is allowed (root), else a 1 MiB file-size limit.
class SmallDestination {
public:
    explicit SmallDestination(const std::string& folder) {
        if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=1m") == 0) {
            mounted_ = folder;
            return;
        }
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = saved_;
        limit.rlim_cur = 1 << 20;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~SmallDestination() {
        if (!mounted_.empty()) {
            ::umount2(mounted_.c_str(), MNT_DETACH);
        } else {
            ::setrlimit(RLIMIT_FSIZE, &saved_);
            std::signal(SIGXFSZ, oldHandler_);
        }
    }
    SmallDestination(const SmallDestination&) = delete;
    SmallDestination& operator=(const SmallDestination&) = delete;
    bool Mounted() const { return !mounted_.empty(); }

private:
    std::string mounted_;
    struct rlimit saved_ {};
    void (*oldHandler_)(int) = SIG_DFL;
};

TEST(Copy, AFullDestinationLeavesNoFileUnderAFinalNameAndTheSourcesIntact) {
    Card card;
    test::WriteText(card / "FILE0001.TS", RandomBytes(300 << 10, 1));
    test::WriteText(card / "FILE0002.TS", RandomBytes(2 << 20, 2));
    const std::string first = test::ReadText(card / "FILE0001.TS");
    const std::string second = test::ReadText(card / "FILE0002.TS");
    card.Open();
    ASSERT_EQ(card.manager.Groups().size(), 1u);

    TempDir out;
    test::MakeFolder(out / "full");
    const std::string destination = out / "full";
    {
        SmallDestination small(destination);
        card.Tick({0});
        EXPECT_EQ(card.manager.CopyTicked(destination), 1);
        const FileOperationReport& report = card.manager.LastFileOperationReport();
        EXPECT_EQ(report.treated, 1);
        EXPECT_EQ(report.failures, 1);
        EXPECT_EQ(report.firstFailedPath, destination + "/FILE0002.TS");
        EXPECT_EQ(report.firstReason, std::strerror(small.Mounted() ? ENOSPC : EFBIG));
        EXPECT_EQ(test::FolderEntries(destination), std::vector<std::string>{"FILE0001.TS"});
        EXPECT_EQ(test::ReadText(destination + "/FILE0001.TS"), first);
    }
    EXPECT_EQ(test::ReadText(card / "FILE0001.TS"), first);
    EXPECT_EQ(test::ReadText(card / "FILE0002.TS"), second);
    EXPECT_EQ(card.owner.log.back(), "hide");
}

}  // namespace
}  // namespace trivane
