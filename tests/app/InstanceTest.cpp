#include "app/CSettingsFile.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"

namespace trivane {
namespace {

// Runs alone in its executable: the process-wide instance can be created only once.
TEST(CSettingsFileInstance, PathIsTheCurrentDirectoryAtFirstUse)
{
    test::TempDir first;
    test::TempDir second;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(first.Path());
    test::WriteText(first.File("Qen.ini"), "[UI]\nLANGID=CHT\n");
    CSettingsFile& settings = CSettingsFile::Instance();
    const std::string expected = std::filesystem::current_path().string() + "/Qen.ini";
    EXPECT_EQ(settings.Path(), expected);
    EXPECT_EQ(settings.LanguageIndex(), 2u);

    std::filesystem::current_path(second.Path());
    EXPECT_EQ(&CSettingsFile::Instance(), &settings);
    EXPECT_EQ(CSettingsFile::Instance().Path(), expected);
    ASSERT_TRUE(settings.WriteMapProvider(1));
    EXPECT_EQ(test::ReadText(first.File("Qen.ini")), "[UI]\nLANGID=CHT\nMAP=1\n");
    EXPECT_TRUE(test::FolderEntries(second.Path()).empty());
    std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace trivane
