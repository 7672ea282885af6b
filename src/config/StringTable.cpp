#include "config/StringTable.h"

namespace trivane {
namespace {
// Interim selection until the settings file supplies it.
unsigned g_index = 0;
}

std::string GetUIString(int id)
{
    std::string_view text = LookupString(LanguageIdOf(kLanguages[g_index]), id);
    if (text.empty())
        text = LookupString(kJapaneseLangId, id);
    return std::string(text);
}

std::string GetSystemUIString(int id) { return std::string(LookupString(kEnglishLangId, id)); }
unsigned CurrentLanguageIndex() { return g_index; }
std::uint16_t CurrentLanguageId() { return LanguageIdOf(kLanguages[g_index]); }

bool SetLanguage(unsigned index)
{
    if (index >= kLanguages.size())
        return false;
    g_index = index;
    return false;
}

}  // namespace trivane
