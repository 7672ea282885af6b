#include "app/AtomicFile.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestDir.h"

namespace trivane {
namespace {

using test::FolderEntries;
using test::ReadText;
using test::TestDir;
using test::WriteText;

TEST(AtomicFile, CreatesAndReplacesLeavingNoTemporaryFile)
{
    TestDir dir;
    const std::string path = dir.File("Qen.ini");
    ASSERT_TRUE(WriteFileAtomically(path, "[UI]\nMAP=1\n"));
    EXPECT_EQ(ReadText(path), "[UI]\nMAP=1\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path, "x"));
    EXPECT_EQ(ReadText(path), "x");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replacement keeps the file's permissions
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Qen.ini"});
}

TEST(AtomicFile, FailedWritesLeaveTheOldContent)
{
    TestDir dir;
    const std::string path = dir.File("Qen.ini");
    WriteText(path, "[UI]\nLANGID=KOR\n");

    ::chmod(path.c_str(), 0444);  // read-only: no owner write bit
    EXPECT_FALSE(WriteFileAtomically(path, "lost"));
    ::chmod(path.c_str(), 0644);

    EXPECT_FALSE(WriteFileAtomically(dir.File("missing/Qen.ini"), "x"));

    // A full disk: writes beyond the file size limit fail with EFBIG instead of a signal.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteFileAtomically(path, std::string(64, 'y'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);

    EXPECT_EQ(ReadText(path), "[UI]\nLANGID=KOR\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"Qen.ini"});
}

TEST(AtomicFile, RewriteByRootKeepsTheOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to hand the file to another user";
    TestDir dir;
    const std::string path = dir.File("Qen.ini");
    WriteText(path, "a");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "b"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

TEST(AtomicFile, SymbolicLinkKeepsPointingAtTheUpdatedTarget)
{
    TestDir dir;
    std::filesystem::create_directory(dir.File("real"));
    WriteText(dir.File("real/settings.ini"), "old");
    std::filesystem::create_symlink("real/settings.ini", dir.File("Qen.ini"));
    ASSERT_TRUE(WriteFileAtomically(dir.File("Qen.ini"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("Qen.ini")));
    EXPECT_EQ(ReadText(dir.File("real/settings.ini")), "new");
}

TEST(AtomicFile, ReadDistinguishesMissingFromUnreadable)
{
    TestDir dir;
    EXPECT_EQ(ReadSmallFile(dir.File("none")).status, FileText::Status::Missing);
    EXPECT_EQ(ReadSmallFile(dir.File("none/deeper")).status, FileText::Status::Missing);
    EXPECT_EQ(ReadSmallFile(dir.Path()).status, FileText::Status::Unreadable);

    WriteText(dir.File("big"), std::string(101, 'a'));
    EXPECT_EQ(ReadSmallFile(dir.File("big"), 100).status, FileText::Status::Unreadable);
    const FileText exact = ReadSmallFile(dir.File("big"), 101);
    EXPECT_EQ(exact.status, FileText::Status::Ok);
    EXPECT_EQ(exact.text.size(), 101u);

    WriteText(dir.File("empty"), "");
    const FileText empty = ReadSmallFile(dir.File("empty"));
    EXPECT_EQ(empty.status, FileText::Status::Ok);
    EXPECT_EQ(empty.text, "");
}

}  // namespace
}  // namespace trivane
