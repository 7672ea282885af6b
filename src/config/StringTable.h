#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "config/LanguageTable.h"

namespace trivane {

// Translatable text `id` (101..199) of the language `languageId`, UTF-8. An id that language's
// table lacks (or holds empty) comes from the Japanese table; empty when that has none either.
// The process-wide lookup in the chosen language is GetUIString (app/UIStrings.h).
std::string UIStringIn(std::uint16_t languageId, int id);

// Ids 101, 102 and 103 follow the desktop's language (LC_ALL, LC_MESSAGES, LANG) instead of the
// chosen one; English when that language has no table or the table lacks the id.
std::string GetSystemUIString(int id);

// Text `id` of the table filed under `languageId`, without any fallback; empty when absent.
std::string_view LookupString(std::uint16_t languageId, int id);

}  // namespace trivane
