#include "XmlCheck.h"

#include <expat.h>

#include <iterator>
#include <limits>

namespace trivane::test {

namespace {

struct Collector {
    std::vector<std::string> open;
    ParsedXml* result = nullptr;
};

void OnStart(void* data, const XML_Char*, const XML_Char**) { static_cast<Collector*>(data)->open.emplace_back(); }

void OnEnd(void* data, const XML_Char* name) {
    auto* collector = static_cast<Collector*>(data);
    collector->result->texts[name].push_back(std::move(collector->open.back()));
    collector->open.pop_back();
}

void OnText(void* data, const XML_Char* text, int length) {
    auto* collector = static_cast<Collector*>(data);
    if (!collector->open.empty()) collector->open.back().append(text, static_cast<std::size_t>(length));
}

constexpr const char* kReplacement = "\xEF\xBF\xBD";

}  // namespace

ParsedXml ParseXml(const std::string& document) {
    ParsedXml result;
    if (document.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return result;
    Collector collector;
    collector.result = &result;
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &collector);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    result.ok = XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE) == XML_STATUS_OK;
    if (!result.ok) {
        result.error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
                       std::to_string(XML_GetCurrentLineNumber(parser)) + " column " +
                       std::to_string(XML_GetCurrentColumnNumber(parser));
    }
    XML_ParserFree(parser);
    return result;
}

std::vector<NamePiece> HostilePieces() {
    std::vector<NamePiece> pieces;
    for (int b = 0x01; b <= 0xFF; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const bool allowed = b == '\t' || b == '\n' || b == '\r' || (b >= 0x20 && b < 0x80);
        pieces.push_back({byte, allowed ? byte : kReplacement});
    }
    const char* valid[] = {
        "]]>",               // never literal in content
        "\r\n",              // a reader keeps a carriage return only when it is a reference
        "\xC2\x80",          // U+0080: C1 controls are XML 1.0 characters
        "\xC3\xA9",          // é
        "\xDF\xBF",          // U+07FF
        "\xE0\xA0\x80",      // U+0800
        "\xE2\x82\xAC",      // €
        "\xED\x9F\xBF",      // U+D7FF, below the surrogates
        "\xEE\x80\x80",      // U+E000, above them
        "\xEF\xBF\xBD",      // U+FFFD itself
        "\xEF\xB7\x90",      // U+FDD0: a noncharacter XML allows
        "\xF0\x90\x80\x80",  // U+10000
        "\xF0\x9F\x98\x80",  // 😀
        "\xF4\x8F\xBF\xBF",  // U+10FFFF
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
    };
    for (const char* text : valid) pieces.push_back({text, text});
    // One replacement per maximal subpart: a start byte with the continuation bytes that may
    // follow it; any other byte on its own.
    const std::string r = kReplacement;
    const NamePiece invalid[] = {
        {"\xC0\x80", r + r},                           // overlong NUL
        {"\xC1\xBF", r + r},                           // overlong
        {"\xE0\x80\xAF", r + r + r},                    // overlong '/'
        {"\xE0\x9F\xBF", r + r + r},                    // overlong U+07FF
        {"\xF0\x80\x80\xAF", r + r + r + r},             // overlong '/'
        {"\xF0\x8F\xBF\xBF", r + r + r + r},             // overlong U+FFFF
        {"\xED\xA0\x80", r + r + r},                    // U+D800
        {"\xED\xBF\xBF", r + r + r},                    // U+DFFF
        {"\xED\xA0\x80\xED\xB0\x80", r + r + r + r + r + r},  // a surrogate pair (CESU-8)
        {"\xF4\x90\x80\x80", r + r + r + r},             // U+110000
        {"\xF5\x80\x80\x80", r + r + r + r},
        {"\xF8\x88\x80\x80\x80", r + r + r + r + r},      // the old five-byte form
        {"\xFE\xFF", r + r},
        {"\x80\x80", r + r},                           // continuation bytes without a start
        {"\xE2\x82", r},                               // cut off before a space
        {"\xF0\x9F\x98", r},
        {"\xF0\x9F", r},
        {"\xE2\x82\xE2\x82\xAC", r + "\xE2\x82\xAC"},    // cut off before a valid character
        {"\xC3\xC3\xA9", r + "\xC3\xA9"},
        {"\xEF\xBF\xBE", r},                           // U+FFFE
        {"\xEF\xBF\xBF", r},                           // U+FFFF
    };
    pieces.insert(pieces.end(), std::begin(invalid), std::end(invalid));
    return pieces;
}

NamePiece HostileName() {
    NamePiece name;
    for (const NamePiece& piece : HostilePieces()) {
        name.bytes += piece.bytes + ' ';
        name.text += piece.text + ' ';
    }
    name.bytes += "\xF0\x9F\x98";
    name.text += kReplacement;
    return name;
}

}  // namespace trivane::test
