#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

}  // namespace trivane
