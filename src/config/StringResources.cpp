#include "config/StringResources.h"

#include "config/StringTable.h"

namespace trivane {
namespace {

bool IsValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto lead = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07u;
        } else {
            return false;
        }
        if (s.size() - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        // Overlong forms, surrogates and values past U+10FFFF.
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

// Parses a line "ddd<TAB>text"; returns the id or 0.
int ParseLine(std::string_view line, std::string_view& text)
{
    if (line.size() < 4 || line[3] != '\t')
        return 0;
    int id = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        if (line[k] < '0' || line[k] > '9')
            return 0;
        id = id * 10 + (line[k] - '0');
    }
    if (id < kFirstStringId || id > kLastStringId)
        return 0;
    text = line.substr(4);
    return IsValidUtf8(text) ? id : 0;
}

}  // namespace

ParsedStringTable ParseStringTable(std::string_view file)
{
    ParsedStringTable result;
    std::vector<bool> seen(result.texts.size(), false);
    if (file.substr(0, 3) == "\xEF\xBB\xBF")
        file.remove_prefix(3);
    std::size_t lineNumber = 0;
    while (!file.empty()) {
        ++lineNumber;
        const std::size_t end = file.find('\n');
        std::string_view line = file.substr(0, end);
        file.remove_prefix(end == std::string_view::npos ? file.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        std::string_view text;
        const int id = ParseLine(line, text);
        const auto slot = static_cast<std::size_t>(id - kFirstStringId);
        if (id == 0 || seen[slot]) {
            result.rejectedLines.push_back(lineNumber);
            continue;
        }
        seen[slot] = true;
        result.texts[slot] = std::string(text);
    }
    return result;
}

void StringCatalog::Add(std::uint16_t languageId, StringTexts texts)
{
    for (auto& [id, table] : tables_) {
        if (id == languageId) {
            table = std::move(texts);
            return;
        }
    }
    tables_.emplace_back(languageId, std::move(texts));
}

std::string_view StringCatalog::Lookup(std::uint16_t languageId, int id) const
{
    if (id < kFirstStringId || id > kLastStringId)
        return {};
    for (const auto& [tableId, texts] : tables_) {
        if (tableId == languageId)
            return texts[static_cast<std::size_t>(id - kFirstStringId)];
    }
    return {};
}

std::string_view StringCatalog::UIText(std::uint16_t languageId, int id) const
{
    const std::string_view text = Lookup(languageId, id);
    return text.empty() ? Lookup(kJapaneseLangId, id) : text;
}

std::string_view StringCatalog::SystemText(std::uint16_t languageId, int id) const
{
    const std::string_view text = Lookup(languageId, id);
    return text.empty() ? Lookup(kEnglishLangId, id) : text;
}

const StringCatalog& EmbeddedStrings()
{
    static const StringCatalog catalog = [] {
        StringCatalog result;
        for (std::size_t i = 0; i < kEmbeddedStringTableCount; ++i) {
            const auto& t = kEmbeddedStringTables[i];
            const std::string_view file(reinterpret_cast<const char*>(t.bytes.data), t.bytes.size);
            result.Add(t.languageId, ParseStringTable(file).texts);
        }
        return result;
    }();
    return catalog;
}

std::string_view LookupString(std::uint16_t languageId, int id) { return EmbeddedStrings().Lookup(languageId, id); }

}  // namespace trivane
