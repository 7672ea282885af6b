#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace trivane {

// One selectable user-interface language. Rows 5 and 7 keep the codes and ids "POR"/2070 and
// "GER"/1031 of the tables that hold their texts, although those texts are Vietnamese and Thai.
struct LanguageEntry {
    std::string_view code;         // stored under UI / LANGID
    std::string_view displayName;  // UTF-8, shown in the language list
    std::uint16_t primaryLanguage;
    std::uint16_t subLanguage;
};

constexpr std::uint16_t MakeLangId(std::uint16_t primary, std::uint16_t sub)
{
    return static_cast<std::uint16_t>((sub << 10) | primary);
}

// Fixed order: it is also the order of the configuration dialog's language list.
inline constexpr std::array<LanguageEntry, 8> kLanguages{{
    {"ENG", "English", 0x09, 1},
    {"CHS", "\xE7\xAE\x80\xE4\xBD\x93\xE4\xB8\xAD\xE6\x96\x87", 0x04, 2},  // 简体中文
    {"CHT", "\xE7\xB9\x81\xE9\xAB\x94\xE4\xB8\xAD\xE6\x96\x87", 0x04, 1},  // 繁體中文
    {"KOR", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x9D\x98", 0x12, 1},              // 한국의
    {"RUS", "\xD1\x80\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", 0x19, 1},  // русский
    {"POR", "Vietnamese", 0x16, 2},
    {"JPN", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 0x11, 1},              // 日本語
    {"GER", "Thai", 0x07, 1},
}};

inline constexpr unsigned kJapaneseIndex = 6;
inline constexpr std::uint16_t kJapaneseLangId = 1041;
inline constexpr std::uint16_t kEnglishLangId = 1033;

constexpr std::uint16_t LanguageIdOf(const LanguageEntry& entry)
{
    return MakeLangId(entry.primaryLanguage, entry.subLanguage);
}

// Index of the first row whose code equals `code` exactly (case-sensitive, whole string), or -1.
int FindLanguage(std::string_view code);

}  // namespace trivane
