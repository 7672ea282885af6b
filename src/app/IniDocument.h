#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trivane {

// An INI text kept as its original lines, so that writing one key changes that key's line only
// and every comment, unknown section and key keeps its text and place.
//
// Lookup follows the private-profile rules: section and key names compare case-insensitively
// (ASCII), surrounding blanks of names and values are ignored, the first occurrence wins, and
// one pair of matching quotes around a value is removed.
class IniDocument {
public:
    IniDocument() = default;

    // Accepts LF and CRLF line ends and a leading UTF-8 byte-order mark.
    static IniDocument Parse(std::string_view text);

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Replaces the value of the first matching key, or adds the key at the end of the first
    // matching section, or adds the section at the end of the text. Refuses (returns false and
    // changes nothing) names or values that the format cannot hold: line breaks, NUL, '=' in a
    // key, ']' in a section, empty names, names starting with '[' or ';'.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;

private:
    struct Line {
        std::string text;
        std::string end;  // "\n", "\r\n" or "" for a last line without one
    };

    // Index of the first line of each key matching section/key, or npos.
    std::size_t FindKey(std::string_view section, std::string_view key) const;

    std::string bom_;
    std::vector<Line> lines_;
    std::string newline_ = "\n";
};

}  // namespace trivane
