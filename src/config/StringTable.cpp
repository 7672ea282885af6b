#include "config/StringTable.h"

#include "app/CSettingsFile.h"
#include "config/StringResources.h"
#include "config/SystemLanguage.h"

namespace trivane {

std::string GetUIString(int id) { return GetUIString(CSettingsFile::Instance(), id); }

std::string GetUIString(CSettingsFile& settings, int id)
{
    return std::string(EmbeddedStrings().UIText(settings.RefreshLanguageId(), id));
}

std::string GetSystemUIString(int id)
{
    return std::string(EmbeddedStrings().SystemText(SystemLanguageId(), id));
}

unsigned CurrentLanguageIndex() { return CSettingsFile::Instance().LanguageIndex(); }

std::uint16_t CurrentLanguageId() { return CSettingsFile::Instance().LanguageId(); }

bool SetLanguage(unsigned index) { return CSettingsFile::Instance().SetLanguage(index); }

}  // namespace trivane
