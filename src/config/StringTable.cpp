#include "config/StringTable.h"

#include "config/StringResources.h"
#include "config/SystemLanguage.h"

namespace trivane {

std::string UIStringIn(std::uint16_t languageId, int id)
{
    return std::string(EmbeddedStrings().UIText(languageId, id));
}

std::string GetSystemUIString(int id)
{
    return std::string(EmbeddedStrings().SystemText(SystemLanguageId(), id));
}

}  // namespace trivane
