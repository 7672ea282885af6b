#include "app/UIStrings.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

// Runs alone in its executable: the first lookup reads the choice from ./Qen.ini exactly once.
TEST(GetUIStringProcessWide, FirstLookupReadsTheChoiceFromTheCurrentDirectory)
{
    test::TempDir first;
    test::TempDir second;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(first.Path());
    test::WriteText(first.File("Qen.ini"), "[UI]\nLANGID=POR\n");

    EXPECT_EQ(GetUIString(107), "Xác nhận");
    EXPECT_EQ(CurrentLanguageIndex(), 5u);
    EXPECT_EQ(CurrentLanguageId(), 2070);

    // Changing the file afterwards does not change the selection; SetLanguage does.
    test::WriteText(first.File("Qen.ini"), "[UI]\nLANGID=KOR\n");
    EXPECT_EQ(GetUIString(108), "hủy bỏ");

    std::filesystem::current_path(second.Path());
    EXPECT_TRUE(SetLanguage(7));
    EXPECT_EQ(GetUIString(114), "Sprache wählen");
    EXPECT_EQ(test::ReadText(first.File("Qen.ini")), "[UI]\nLANGID=GER\n");
    EXPECT_TRUE(test::FolderEntries(second.Path()).empty());
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace trivane
