#include "files/RenameNoReplace.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteText;

// The system call and both fallbacks: each moves to a free name and leaves both files alone when
// the name is taken, a dangling link included.
TEST(RenameNoReplace, EveryMethodMovesToAFreeNameAndNeverReplaces) {
    using Rename = int (*)(const std::string&, const std::string&);
    for (const Rename rename : {&RenameNoReplace, &RenameByLink, &RenameChecked}) {
        TempDir dir;
        WriteText(dir / "A", "a");
        WriteText(dir / "B", "b");
        ASSERT_EQ(::symlink("missing", (dir / "L").c_str()), 0);

        EXPECT_EQ(rename(dir / "A", dir / "B"), EEXIST);
        EXPECT_EQ(rename(dir / "A", dir / "L"), EEXIST);
        EXPECT_EQ(ReadText(dir / "A"), "a");
        EXPECT_EQ(ReadText(dir / "B"), "b");

        EXPECT_EQ(rename(dir / "A", dir / "C"), 0);
        EXPECT_FALSE(test::FileExists(dir / "A"));
        EXPECT_EQ(ReadText(dir / "C"), "a");
        EXPECT_EQ(rename(dir / "A", dir / "D"), ENOENT);
        EXPECT_EQ(test::FolderEntries(dir.Path()), (std::vector<std::string>{"B", "C", "L"}));
    }
}

}  // namespace
}  // namespace trivane
