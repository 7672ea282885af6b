#include "config/StringTable.h"

#include "app/CSettingsFile.h"
#include "config/SystemLanguage.h"

namespace trivane {

std::string GetUIString(int id) { return GetUIString(CSettingsFile::Instance(), id); }

std::string GetUIString(CSettingsFile& settings, int id)
{
    std::string_view text = LookupString(settings.RefreshLanguageId(), id);
    if (text.empty())
        text = LookupString(kJapaneseLangId, id);
    return std::string(text);
}

std::string GetSystemUIString(int id)
{
    std::string_view text = LookupString(SystemLanguageId(), id);
    if (text.empty())
        text = LookupString(kEnglishLangId, id);
    return std::string(text);
}

unsigned CurrentLanguageIndex() { return CSettingsFile::Instance().LanguageIndex(); }

std::uint16_t CurrentLanguageId() { return CSettingsFile::Instance().LanguageId(); }

bool SetLanguage(unsigned index) { return CSettingsFile::Instance().SetLanguage(index); }

}  // namespace trivane
