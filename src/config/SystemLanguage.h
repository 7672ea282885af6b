#pragma once

#include <cstdint>
#include <string_view>

namespace trivane {

// Language id of the string table that serves a POSIX locale name such as "de_DE.UTF-8" or
// "zh_TW": chosen by language (Chinese also by territory or script); 1033 (English) for a
// language without a table, "C", "POSIX" and empty names.
std::uint16_t LanguageIdForLocale(std::string_view locale);

// The desktop's message language: the first non-empty of LC_ALL, LC_MESSAGES and LANG.
std::uint16_t SystemLanguageId();

}  // namespace trivane
