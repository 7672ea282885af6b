#include "config/LanguageTable.h"

namespace trivane {

int FindLanguage(std::string_view code)
{
    for (std::size_t i = 0; i < kLanguages.size(); ++i) {
        if (kLanguages[i].code == code)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace trivane
