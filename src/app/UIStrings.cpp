#include "app/UIStrings.h"

#include "app/CSettingsFile.h"
#include "config/StringTable.h"

namespace trivane {

std::string GetUIString(int id) { return GetUIString(CSettingsFile::Instance(), id); }

std::string GetUIString(CSettingsFile& settings, int id) { return UIStringIn(settings.RefreshLanguageId(), id); }

unsigned CurrentLanguageIndex() { return CSettingsFile::Instance().LanguageIndex(); }

std::uint16_t CurrentLanguageId() { return CSettingsFile::Instance().LanguageId(); }

bool SetLanguage(unsigned index) { return CSettingsFile::Instance().SetLanguage(index); }

std::string FormatUIText(std::string text, std::string_view value)
{
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

}  // namespace trivane
