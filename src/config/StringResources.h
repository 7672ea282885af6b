#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trivane {

inline constexpr int kFirstStringId = 101;
inline constexpr int kLastStringId = 199;

// One string table file compiled into the program (generated from resources/strings).
struct EmbeddedStringTable {
    std::uint16_t languageId;
    struct {
        const unsigned char* data;
        std::size_t size;
    } bytes;
};

extern const EmbeddedStringTable kEmbeddedStringTables[];
extern const std::size_t kEmbeddedStringTableCount;

// Texts of one language, indexed by id - kFirstStringId; an empty text means "absent".
using StringTexts = std::array<std::string, kLastStringId - kFirstStringId + 1>;

struct ParsedStringTable {
    StringTexts texts;
    std::vector<std::size_t> rejectedLines;  // 1-based numbers of malformed or duplicate lines
};

// Table file syntax: UTF-8, LF or CRLF lines; blank lines and lines starting with '#' are
// skipped; every other line is a three-digit id from 101 to 199, one TAB, then the text up to the
// end of the line. A malformed line, an invalid UTF-8 text or a repeated id is ignored and listed.
ParsedStringTable ParseStringTable(std::string_view file);

// String tables by language id, with the two fallback rules of the lookups.
class StringCatalog {
public:
    void Add(std::uint16_t languageId, StringTexts texts);

    // Exactly that table's text; empty when the table, the id or the text is absent.
    std::string_view Lookup(std::uint16_t languageId, int id) const;
    // The chosen language's text, else the Japanese one, else empty.
    std::string_view UIText(std::uint16_t languageId, int id) const;
    // The desktop language's text, else the English one, else empty.
    std::string_view SystemText(std::uint16_t languageId, int id) const;

private:
    std::vector<std::pair<std::uint16_t, StringTexts>> tables_;
};

// The catalog of the compiled-in tables, parsed on first use.
const StringCatalog& EmbeddedStrings();

}  // namespace trivane
