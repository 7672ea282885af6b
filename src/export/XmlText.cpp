#include "export/XmlText.h"

#include <cstdint>

namespace trivane {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

// Sequence length for a start byte and the range its second byte must lie in; the ranges leave
// out overlong forms, surrogates and values above U+10FFFF. Length 0: not a start byte.
struct Lead {
    std::size_t length;
    std::uint8_t low;
    std::uint8_t high;
};

Lead LeadOf(std::uint8_t byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return {2, 0x80, 0xBF};
    if (byte == 0xE0) return {3, 0xA0, 0xBF};
    if (byte == 0xED) return {3, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {3, 0x80, 0xBF};
    if (byte == 0xF0) return {4, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {4, 0x80, 0xBF};
    if (byte == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

}  // namespace

std::string EscapeXmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        if (byte < 0x80) {
            switch (byte) {
                case '&': out += "&amp;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                case '\r': out += "&#xD;"; break;
                case '\t':
                case '\n': out += text[i]; break;
                default:
                    if (byte < 0x20) out += kReplacement;
                    else out += text[i];
                    break;
            }
            ++i;
            continue;
        }
        const Lead lead = LeadOf(byte);
        std::size_t length = 1;  // bytes of the sequence that are valid so far
        if (lead.length != 0) {
            while (length < lead.length && i + length < text.size()) {
                const auto next = static_cast<std::uint8_t>(text[i + length]);
                const bool fits = length == 1 ? next >= lead.low && next <= lead.high : IsContinuation(next);
                if (!fits) break;
                ++length;
            }
        }
        const std::string_view sequence = text.substr(i, length);
        // U+FFFE and U+FFFF are the only complete sequences XML 1.0 rejects.
        if (length != lead.length || sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF") out += kReplacement;
        else out += sequence;
        i += length;
    }
    return out;
}

}  // namespace trivane
