#include "config/StringResources.h"
#include "config/StringTable.h"

#include <gtest/gtest.h>


namespace trivane {
namespace {

constexpr std::uint16_t kSelectable[] = {1033, 2052, 1028, 1042, 1049, 2070, 1041, 1031};

// The original texts, plus the program's own from 146 on (lookups fall back to Japanese, so a
// text missing from one table would show in another language).
bool IsCarriedId(int id) { return (id >= 101 && id <= 177) || (id >= 179 && id <= 199); }

TEST(StringTables, EverySelectableTableHoldsTheSameIds)
{
    for (const std::uint16_t lang : kSelectable) {
        for (int id = 101; id <= 199; ++id) {
            const bool has = !LookupString(lang, id).empty();
            EXPECT_EQ(has, IsCarriedId(id)) << "language " << lang << " id " << id;
        }
    }
}

TEST(StringTables, NonSelectableTablesHoldTheDesktopLanguageMessages)
{
    constexpr std::uint16_t kDesktopOnly[] = {1, 10, 16, 1029, 1036, 1045, 1048, 1051, 1055, 1058, 1062};
    for (const std::uint16_t lang : kDesktopOnly) {
        for (int id = 101; id <= 103; ++id)
            EXPECT_FALSE(LookupString(lang, id).empty()) << lang << " " << id;
    }
    EXPECT_EQ(LookupString(1, 102), "Media player encountered a error.");
}

TEST(StringTables, EveryFileParsesCleanly)
{
    ASSERT_EQ(kEmbeddedStringTableCount, 19u);
    for (std::size_t i = 0; i < kEmbeddedStringTableCount; ++i) {
        const auto& t = kEmbeddedStringTables[i];
        const ParsedStringTable parsed =
            ParseStringTable(std::string_view(reinterpret_cast<const char*>(t.bytes.data), t.bytes.size));
        EXPECT_TRUE(parsed.rejectedLines.empty()) << "table " << t.languageId << " line " << parsed.rejectedLines.front();
    }
}

TEST(StringTables, FormatTextsKeepExactlyOnePlaceholder)
{
    for (const std::uint16_t lang : kSelectable) {
        for (const int id : {125, 126, 141, 149, 150}) {
            const std::string_view text = LookupString(lang, id);
            const auto at = text.find("%s");
            ASSERT_NE(at, std::string_view::npos) << lang << " " << id;
            EXPECT_EQ(text.find('%', at + 2), std::string_view::npos) << lang << " " << id;
            EXPECT_EQ(text.find('%'), at) << lang << " " << id;
        }
    }
}

// The file-operation report takes the count, the path and the reason, each once, in any order.
TEST(StringTables, FailureReportKeepsItsThreeNumberedPlaceholders)
{
    for (const std::uint16_t lang : kSelectable) {
        const std::string_view text = LookupString(lang, 148);
        std::size_t percents = 0;
        for (const char c : text) percents += c == '%' ? 1 : 0;
        EXPECT_EQ(percents, 3u) << lang;
        for (const char* marker : {"%1", "%2", "%3"})
            EXPECT_NE(text.find(marker), std::string_view::npos) << lang << " " << marker;
    }
}

TEST(StringTables, EnglishTextsAsTheSystemWritesThem)
{
    EXPECT_EQ(LookupString(1033, 101), "Trivane 1");
    EXPECT_EQ(LookupString(1033, 102), "Media player encountered a error.");
    EXPECT_EQ(LookupString(1033, 126), "Save KML file:%s Failed.");
    EXPECT_EQ(LookupString(1033, 135), "No seletected files. Please select some files and try this operation again.");
    EXPECT_EQ(LookupString(1033, 141), "File \"%s\" is already exist. Are you sure to overwrite it?");
    EXPECT_EQ(LookupString(1033, 145), "OK");
    EXPECT_EQ(LookupString(1033, 199), "Change Speed Unit KPH/MPH.");
}

TEST(StringTables, ConfigurationDialogRowsInEveryLanguage)
{
    // Columns in table order: ENG, CHS, CHT, KOR, RUS, POR slot, JPN, GER slot.
    const struct {
        int id;
        const char* texts[8];
    } rows[] = {
        {105, {"Google Maps", "谷歌地图", "Google 地圖", "Google 맵", "Google Maps", "Google Maps", "Google Maps",
               "Google-Karte"}},
        {106, {"China Map", "中国地图", "中國地圖", "중국 지도", "China Map", "Mapa da China", "中国のマップ",
               "China-Karte"}},
        {107, {"OK", "确认", "確認", "확인하다", "подтверждения", "Xác nhận", "開く(o)", "ยืนยัน"}},
        {108, {"Cancel", "取消", "取消", "취소", "отменить", "hủy bỏ", "キャンセル", "ยกเลิก"}},
        {109, {"Apply", "应用", "套用", "적용", "Применить", "Aplicar", "適用", "Übernehmen"}},
        {110, {"Config", "配置", "設定", "구성", "Конфигурация", "Config", "構成", "Konfig"}},
        {114, {"Select language", "选择语言", "選擇語言", "언어 선택", "Выбрать язык", "Selecione o idioma",
               "言語の選択", "Sprache wählen"}},
        {115, {"Select map", "选择地图", "選擇地圖", "지도 선택", "Выбрать карту", "Selecionar mapa", "マップの選択",
               "Karte wählen"}},
    };
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < 8; ++i)
            EXPECT_EQ(LookupString(kSelectable[i], row.id), row.texts[i]) << kSelectable[i] << " " << row.id;
    }
    // The configuration button's tooltip (183) names the dialog as its caption (110) does. Not in
    // English, whose caption is abbreviated, nor in the two slots whose caption is in another
    // language than the rest of the table.
    constexpr std::uint16_t kCaptionWordInTooltip[] = {2052, 1028, 1042, 1049, 1041};
    for (const std::uint16_t lang : kCaptionWordInTooltip)
        EXPECT_EQ(LookupString(lang, 183), LookupString(lang, 110)) << lang;
}

TEST(StringTables, ParserAcceptsTheFileSyntaxAndRejectsTheRest)
{
    const ParsedStringTable t = ParseStringTable(
        "\xEF\xBB\xBF# comment\r\n"
        "101\tFirst\r\n"
        "\n"
        "102\t  spaced text  \n"
        "103\t\n"          // empty: counts as absent
        "104 Space\n"      // line 6: no TAB
        "99\tTwo digits\n"  // line 7
        "200\tToo high\n"   // line 8
        "101\tAgain\n"      // line 9: repeated
        "105\t\xC3\x28\n"   // line 10: invalid UTF-8
        "1050\tFour\n"      // line 11
        "106\tLast without end");
    EXPECT_EQ(t.texts[0], "First");
    EXPECT_EQ(t.texts[1], "  spaced text  ");
    EXPECT_EQ(t.texts[2], "");
    EXPECT_EQ(t.texts[3], "");
    EXPECT_EQ(t.texts[4], "");
    EXPECT_EQ(t.texts[5], "Last without end");
    EXPECT_EQ(t.rejectedLines, (std::vector<std::size_t>{6, 7, 8, 9, 10, 11}));
}

StringCatalog SmallCatalog()
{
    StringCatalog catalog;
    StringTexts english;
    english[0] = "About";     // 101
    english[1] = "Error";     // 102
    StringTexts japanese;
    japanese[0] = "JA-101";
    japanese[3] = "JA-104";   // present only in Japanese
    StringTexts french;
    french[1] = "Erreur";
    catalog.Add(1033, english);
    catalog.Add(1041, japanese);
    catalog.Add(1036, french);
    return catalog;
}

TEST(StringCatalog, ChosenLanguageFallsBackToJapaneseOnly)
{
    const StringCatalog c = SmallCatalog();
    EXPECT_EQ(c.UIText(1033, 101), "About");
    EXPECT_EQ(c.UIText(1033, 104), "JA-104");  // absent in English, present in Japanese
    EXPECT_EQ(c.UIText(1033, 103), "");        // absent in both
    EXPECT_EQ(c.UIText(1036, 101), "JA-101");  // never English
    EXPECT_EQ(c.UIText(2070, 104), "JA-104");  // no table at all
    EXPECT_EQ(c.UIText(1033, 100), "");
    EXPECT_EQ(c.UIText(1033, 200), "");
    EXPECT_EQ(c.UIText(1041, -5), "");
}

TEST(StringCatalog, DesktopLanguageFallsBackToEnglishOnly)
{
    const StringCatalog c = SmallCatalog();
    EXPECT_EQ(c.SystemText(1036, 102), "Erreur");
    EXPECT_EQ(c.SystemText(1036, 101), "About");
    EXPECT_EQ(c.SystemText(1049, 102), "Error");
    EXPECT_EQ(c.SystemText(1036, 104), "");  // Japanese plays no part here
}

}  // namespace
}  // namespace trivane
