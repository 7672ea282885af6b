#include "files/SmallFile.h"

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

using test::TempDir;
using test::WriteText;

TEST(SmallFile, ReadDistinguishesMissingFromUnreadable)
{
    TempDir dir;
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
