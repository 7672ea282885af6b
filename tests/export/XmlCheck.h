#pragma once

#include <map>
#include <string>
#include <vector>

namespace trivane::test {

// A document as an XML 1.0 reader (expat) sees it: element content by element name, in
// document order, or the reader's error.
struct ParsedXml {
    bool ok = false;
    std::string error;
    std::map<std::string, std::vector<std::string>> texts;
};
ParsedXml ParseXml(const std::string& document);

// Byte strings a name may hold and the text a reader must see once they are written.
struct NamePiece {
    std::string bytes;
    std::string text;
};
// Every byte 0x01..0xFF on its own, valid characters of every length, and invalid UTF-8:
// overlong forms, surrogates, values above U+10FFFF, cut-off sequences, U+FFFE and U+FFFF.
std::vector<NamePiece> HostilePieces();
// The pieces joined with spaces, ending inside a sequence.
NamePiece HostileName();

}  // namespace trivane::test
