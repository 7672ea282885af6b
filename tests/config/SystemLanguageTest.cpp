#include "config/SystemLanguage.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "config/StringTable.h"

namespace trivane {
namespace {

TEST(SystemLanguage, LocaleNamesMapToTableIds)
{
    const struct {
        const char* locale;
        int languageId;
    } cases[] = {
        {"de_DE.UTF-8", 1031}, {"de_AT", 1031},      {"en_GB.UTF-8", 1033}, {"fr_FR@euro", 1036},
        {"ja_JP.eucJP", 1041}, {"ko_KR", 1042},      {"ru_RU.KOI8-R", 1049}, {"pt_PT", 2070},
        {"pt_BR.UTF-8", 2070}, {"zh_CN.UTF-8", 2052}, {"zh_SG", 2052},       {"zh", 2052},
        {"zh_TW.Big5", 1028},  {"zh_HK", 1028},      {"zh-Hant", 1028},     {"es_MX", 10},
        {"it_IT", 16},         {"cs_CZ", 1029},      {"pl_PL", 1045},       {"ro_RO", 1048},
        {"sk_SK", 1051},       {"tr_TR", 1055},      {"uk_UA", 1058},       {"lv_LV", 1062},
        {"ar_EG", 1},          {"DE_de", 1031},      {"vi_VN", 1033},       {"th_TH", 1033},
        {"C", 1033},           {"POSIX", 1033},      {"C.UTF-8", 1033},     {"", 1033},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageIdForLocale(c.locale), c.languageId) << c.locale;
}

class DesktopLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
            ::unsetenv(name);
    }
    void TearDown() override { SetUp(); }
};

TEST_F(DesktopLocale, FirstNonEmptyVariableWins)
{
    EXPECT_EQ(SystemLanguageId(), 1033);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(SystemLanguageId(), 1031);
    ::setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    EXPECT_EQ(SystemLanguageId(), 1036);
    ::setenv("LC_ALL", "", 1);  // empty: skipped
    EXPECT_EQ(SystemLanguageId(), 1036);
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(SystemLanguageId(), 1041);
}

TEST_F(DesktopLocale, MessagesFollowTheDesktopNotTheChoice)
{
    ::setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(GetSystemUIString(102), "Le lecteur multimédia a rencontré une erreur.");
    EXPECT_EQ(GetSystemUIString(104), "Select a file");  // French table lacks it: English
    ::setenv("LANG", "cs_CZ.UTF-8", 1);
    EXPECT_EQ(GetSystemUIString(103), "Inicializace soketů Windows se nezdařila.");
    ::setenv("LANG", "vi_VN.UTF-8", 1);
    EXPECT_EQ(GetSystemUIString(102), "Media player encountered a error.");
    ::setenv("LANG", "ru_RU.UTF-8", 1);
    EXPECT_EQ(GetSystemUIString(102), "Ошибка медиапроигрывателя.");
}

}  // namespace
}  // namespace trivane
