#include "files/AtomicFile.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

using test::TempDir;
using test::ReadText;
using test::WriteText;

TEST(AtomicFile, CreatesAndReplacesKeepingPermissionsAndNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir / "Qen.ini";
    ASSERT_TRUE(WriteFileAtomically(path, "[UI]\nMAP=1\n"));
    EXPECT_EQ(ReadText(path), "[UI]\nMAP=1\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "x"));
    EXPECT_EQ(ReadText(path), "x");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"Qen.ini"});
}

TEST(AtomicFile, FailedWritesLeaveTheOldContent) {
    TempDir dir;
    const std::string path = dir / "Qen.ini";
    WriteText(path, "[UI]\nLANGID=KOR\n");

    ::chmod(path.c_str(), 0444);  // read-only: no owner write bit
    EXPECT_FALSE(WriteFileAtomically(path, "lost"));
    ::chmod(path.c_str(), 0644);

    EXPECT_FALSE(WriteFileAtomically(dir / "missing/Qen.ini", "x"));
    EXPECT_FALSE(WriteFileAtomically(dir.Path(), "x")) << "a folder is not replaced";

    // A full disk: writes beyond the file size limit fail with EFBIG instead of a signal.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(64 * 1024, 'y'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);

    EXPECT_EQ(ReadText(path), "[UI]\nLANGID=KOR\n");
    EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"Qen.ini"});
}

TEST(AtomicFile, DiscardedOrUncommittedWritesLeaveNothing) {
    TempDir dir;
    const std::string path = dir / "route.KML";
    WriteText(path, "first export");
    {
        AtomicFile file;
        ASSERT_TRUE(file.Open(path));
        EXPECT_TRUE(file.Write("half a document"));
    }  // destroyed without Commit
    EXPECT_EQ(ReadText(path), "first export");
    AtomicFile file;
    ASSERT_TRUE(file.Open(path));
    file.Write("second");
    file.Discard();
    EXPECT_FALSE(file.Write("more"));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadText(path), "first export");
    EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"route.KML"});
}

// Another program fills the temporary file; the no-replace commit leaves a file that appeared
// under the final name meanwhile alone and removes the temporary one.
TEST(AtomicFile, FilledByAnotherWriterAndCommittedOnlyWhereNothingIs) {
    TempDir dir;
    const std::string path = dir / "clip.mp4";
    AtomicFile file;
    ASSERT_TRUE(file.Open(path));
    const std::string temporary = file.TemporaryPath();
    EXPECT_EQ(temporary.rfind(dir / ".clip.mp4.", 0), 0u);
    WriteText(temporary, "encoded");
    WriteText(path, "the user's");
    EXPECT_FALSE(file.CommitNoReplace());
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadText(path), "the user's");
    EXPECT_EQ(test::FolderEntries(dir.Path()), std::vector<std::string>{"clip.mp4"});

    ASSERT_TRUE(file.Open(dir / "other.mp4"));
    WriteText(file.TemporaryPath(), "encoded");
    EXPECT_TRUE(file.CommitNoReplace());
    EXPECT_EQ(ReadText(dir / "other.mp4"), "encoded");
    EXPECT_EQ(test::FolderEntries(dir.Path()), (std::vector<std::string>{"clip.mp4", "other.mp4"}));
}

TEST(AtomicFile, RewriteByRootKeepsTheOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to another user";
    TempDir dir;
    const std::string path = dir / "Qen.ini";
    WriteText(path, "a");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "b"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

TEST(AtomicFile, SymbolicLinkKeepsPointingAtTheUpdatedTarget) {
    TempDir dir;
    std::filesystem::create_directory(dir / "real");
    WriteText(dir / "real/settings.ini", "old");
    std::filesystem::create_symlink("real/settings.ini", dir / "Qen.ini");
    ASSERT_TRUE(WriteFileAtomically(dir / "Qen.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Qen.ini"));
    EXPECT_EQ(ReadText(dir / "real/settings.ini"), "new");
}

}  // namespace
}  // namespace trivane
