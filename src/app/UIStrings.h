#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trivane {

class CSettingsFile;

// Translatable text `id` (101..199) in the chosen language, UTF-8, with the Japanese fallback of
// UIStringIn. The first call creates the process-wide settings object and so reads the language
// choice from Qen.ini.
std::string GetUIString(int id);

// The same lookup against a given settings object (its language selection is used and refreshed).
std::string GetUIString(CSettingsFile& settings, int id);

// The current selection of the process-wide settings object (index into kLanguages, its id).
unsigned CurrentLanguageIndex();
std::uint16_t CurrentLanguageId();

// Selects row `index` (0..7) and stores its code under UI / LANGID; returns whether the write
// succeeded. An index outside the table changes nothing and returns false.
bool SetLanguage(unsigned index);

// A translated text with its first "%s" replaced by `value` (a path, say). The text is never
// used as a format string, so a translation holding other '%' sequences stays harmless.
std::string FormatUIText(std::string text, std::string_view value);

}  // namespace trivane
