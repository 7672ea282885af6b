#include "config/LanguageTable.h"

#include <gtest/gtest.h>

namespace trivane {
namespace {

TEST(LanguageTable, RowsCodesAndLanguageIds)
{
    const struct {
        const char* code;
        int languageId;
    } rows[] = {{"ENG", 1033}, {"CHS", 2052}, {"CHT", 1028}, {"KOR", 1042},
                {"RUS", 1049}, {"POR", 2070}, {"JPN", 1041}, {"GER", 1031}};
    ASSERT_EQ(kLanguages.size(), 8u);
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        EXPECT_EQ(kLanguages[i].code, rows[i].code);
        EXPECT_EQ(LanguageIdOf(kLanguages[i]), rows[i].languageId) << rows[i].code;
        EXPECT_EQ(FindLanguage(rows[i].code), static_cast<int>(i));
    }
    EXPECT_EQ(kLanguages[5].displayName, "Vietnamese");
    EXPECT_EQ(kLanguages[7].displayName, "Thai");
    EXPECT_EQ(kLanguages[1].displayName, "简体中文");
    EXPECT_EQ(kLanguages[6].displayName, "日本語");
    EXPECT_EQ(kJapaneseIndex, 6u);
}

TEST(LanguageTable, FindLanguageMatchesWholeCodeExactly)
{
    for (const char* code : {"eng", "Eng", "ENG ", " ENG", "EN", "ENGL", "", "FRA", "Vietnamese", "VIE", "THA"})
        EXPECT_EQ(FindLanguage(code), -1) << '"' << code << '"';
    EXPECT_EQ(FindLanguage(std::string_view("ENG\0", 4)), -1);
}

}  // namespace
}  // namespace trivane
