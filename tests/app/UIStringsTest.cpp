#include "app/UIStrings.h"

#include <gtest/gtest.h>

#include "FileText.h"
#include "TempDir.h"
#include "app/CSettingsFile.h"
#include "config/LanguageTable.h"

namespace trivane {
namespace {

TEST(GetUIString, FollowsTheSettingsFileChoice)
{
    test::TempDir dir;
    const std::string path = dir.File("Qen.ini");

    test::WriteText(path, "[UI]\nLANGID=POR\n");
    CSettingsFile por(path);
    EXPECT_EQ(por.LanguageIndex(), 5u);
    EXPECT_EQ(kLanguages[por.LanguageIndex()].displayName, "Vietnamese");
    EXPECT_EQ(GetUIString(por, 107), "Xác nhận");
    EXPECT_EQ(GetUIString(por, 109), "Aplicar");
    EXPECT_EQ(GetUIString(por, 178), "");  // in no table

    for (const char* code : {"eng", "FRA"}) {
        test::WriteText(path, std::string("[UI]\nLANGID=") + code + "\n");
        CSettingsFile japanese(path);
        EXPECT_EQ(GetUIString(japanese, 107), "開く(o)") << code;
    }

    test::WriteText(path, "");
    CSettingsFile english(path);
    EXPECT_EQ(GetUIString(english, 108), "Cancel");
    ASSERT_TRUE(english.SetLanguage(7));
    EXPECT_EQ(GetUIString(english, 109), "Übernehmen");
    EXPECT_EQ(GetUIString(english, 108), "ยกเลิก");
    EXPECT_EQ(test::ReadText(path), "[UI]\nLANGID=GER\n");
}

}  // namespace
}  // namespace trivane

namespace trivane {
namespace {

TEST(FormatUIText, ReplacesOnlyTheFirstPlaceholderAndNeverFormats)
{
    EXPECT_EQ(FormatUIText("Save KML file: %s OK.", "/home/a b/%n%s.KML"), "Save KML file: /home/a b/%n%s.KML OK.");
    EXPECT_EQ(FormatUIText("%d%% %s then %s", "x"), "%d%% x then %s");
    EXPECT_EQ(FormatUIText("no placeholder", "x"), "no placeholder");
}

}  // namespace
}  // namespace trivane
