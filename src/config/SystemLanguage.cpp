#include "config/SystemLanguage.h"

#include <array>
#include <cstdlib>
#include <string>

#include "config/LanguageTable.h"

namespace trivane {
namespace {

struct LocaleLanguage {
    std::string_view language;
    std::uint16_t languageId;
};

// Languages that have a table of their own; Chinese is resolved separately.
constexpr std::array<LocaleLanguage, 17> kLocaleLanguages{{
    {"ar", 1},  // filed under neutral Arabic, holds English texts
    {"es", 10},
    {"it", 16},
    {"cs", 1029},
    {"de", 1031},
    {"en", 1033},
    {"fr", 1036},
    {"ja", 1041},
    {"ko", 1042},
    {"pl", 1045},
    {"ro", 1048},
    {"ru", 1049},
    {"sk", 1051},
    {"tr", 1055},
    {"uk", 1058},
    {"lv", 1062},
    {"pt", 2070},
}};

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace

std::uint16_t LanguageIdForLocale(std::string_view locale)
{
    // language[_territory][.codeset][@modifier]; a "-" separator ("zh-Hant") is accepted as well.
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t sep = locale.find_first_of("_-");
    const std::string language = Lower(locale.substr(0, sep));
    const std::string rest = sep == std::string_view::npos ? std::string() : Lower(locale.substr(sep + 1));

    if (language == "zh") {
        const bool traditional = rest == "tw" || rest == "hk" || rest == "mo" || rest.starts_with("hant");
        return traditional ? 1028 : 2052;
    }
    for (const auto& entry : kLocaleLanguages) {
        if (entry.language == language)
            return entry.languageId;
    }
    return kEnglishLangId;
}

std::uint16_t SystemLanguageId()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return LanguageIdForLocale(value);
    }
    return kEnglishLangId;
}

}  // namespace trivane
