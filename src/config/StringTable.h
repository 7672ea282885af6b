#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/LanguageTable.h"

namespace trivane {

class CSettingsFile;

// Translatable text `id` (101..199) in the chosen language, UTF-8. An id the chosen table lacks (or
// holds empty) comes from the Japanese table; empty when that has none either. The first call
// creates the process-wide settings object and so reads the language choice from Qen.ini.
std::string GetUIString(int id);

// The same lookup against a given settings object (its language selection is used and refreshed).
std::string GetUIString(CSettingsFile& settings, int id);

// Ids 101, 102 and 103 follow the desktop's language (LC_ALL, LC_MESSAGES, LANG) instead of the
// chosen one; English when that language has no table or the table lacks the id.
std::string GetSystemUIString(int id);

// Text `id` of the table filed under `languageId`, without any fallback; empty when absent.
std::string_view LookupString(std::uint16_t languageId, int id);

// The current selection of the process-wide settings object (index into kLanguages, its id).
unsigned CurrentLanguageIndex();
std::uint16_t CurrentLanguageId();

// Selects row `index` (0..7) and stores its code under UI / LANGID; returns whether the write
// succeeded. An index outside the table changes nothing and returns false.
bool SetLanguage(unsigned index);

}  // namespace trivane
