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

// A desktop in one of the eight interface languages, or in Brazilian Portuguese, reads the
// messages in its own language; one without a table of its own (Thai, Vietnamese) reads English,
// never the texts of the interface language that shares a table with another one.
TEST_F(DesktopLocale, MessagesAreInTheDesktopsLanguageOrEnglish)
{
    const struct {
        const char* lang;
        const char* playerError;  // 102
        const char* startFailure;  // 103
    } cases[] = {
        {"en_US.UTF-8", "Media player encountered a error.", "Windows sockets initialization failed."},
        {"zh_CN.UTF-8", "媒体播放器遇到错误。", "Windows 套接字初始化失败。"},
        {"zh_TW.UTF-8", "媒體播放器發生錯誤。", "Windows 通訊端初始化失敗。"},
        {"ko_KR.UTF-8", "미디어 플레이어에 오류가 발생했습니다.", "Windows 소켓 초기화에 실패했습니다."},
        {"ru_RU.UTF-8", "Ошибка медиапроигрывателя.", "Не удалось инициализировать сокеты Windows."},
        {"pt_PT.UTF-8", "O leitor multimédia encontrou um erro.", "Falha ao inicializar os sockets do Windows."},
        {"pt_BR.UTF-8", "O leitor multimédia encontrou um erro.", "Falha ao inicializar os sockets do Windows."},
        {"ja_JP.UTF-8", "メディア プレーヤーでエラーが発生しました。", "Windows ソケットの初期化に失敗しました。"},
        {"de_DE.UTF-8", "Im Mediaplayer ist ein Fehler aufgetreten.",
         "Die Initialisierung der Windows-Sockets ist fehlgeschlagen."},
        {"th_TH.UTF-8", "Media player encountered a error.", "Windows sockets initialization failed."},
        {"vi_VN.UTF-8", "Media player encountered a error.", "Windows sockets initialization failed."},
    };
    for (const auto& c : cases) {
        ::setenv("LANG", c.lang, 1);
        EXPECT_EQ(GetSystemUIString(101), "Trivane 1") << c.lang;  // the product's name everywhere
        EXPECT_EQ(GetSystemUIString(102), c.playerError) << c.lang;
        EXPECT_EQ(GetSystemUIString(103), c.startFailure) << c.lang;
    }
}

}  // namespace
}  // namespace trivane
