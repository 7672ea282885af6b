#include "app/IniDocument.h"

#include <algorithm>

namespace trivane {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// "[name]" -> name; nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// "key=value" -> position of '='; npos for comments, section headers and lines without '='.
std::size_t KeySeparator(std::string_view line)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return npos;
    const std::size_t eq = line.find('=');
    if (eq == npos || Trim(line.substr(0, eq)).empty())
        return npos;
    return eq;
}

bool HasForbiddenChar(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != npos; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

// A value read back loses its outer blanks and one pair of outer quotes; quoting such values
// when writing makes every storable value read back unchanged.
std::string EncodeValue(std::string_view value)
{
    const bool needsQuotes = !value.empty() &&
                             (IsBlank(value.front()) || IsBlank(value.back()) ||
                              (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()));
    if (!needsQuotes)
        return std::string(value);
    return "\"" + std::string(value) + "\"";
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text)
{
    IniDocument doc;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.bom_ = "\xEF\xBB\xBF";
        text.remove_prefix(3);
    }
    bool newlineKnown = false;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view body = text.substr(0, lf);
        std::string_view end;
        if (lf == npos) {
            text = {};
        } else {
            end = "\n";
            if (!body.empty() && body.back() == '\r') {
                body.remove_suffix(1);
                end = "\r\n";
            }
            text.remove_prefix(lf + 1);
            if (!newlineKnown) {
                doc.newline_ = std::string(end);
                newlineKnown = true;
            }
        }
        doc.lines_.push_back(Line{std::string(body), std::string(end)});
    }
    return doc;
}

std::size_t IniDocument::FindKey(std::string_view section, std::string_view key) const
{
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i].text;
        if (const auto name = SectionName(line)) {
            inSection = EqualsNoCase(*name, section);
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t eq = KeySeparator(line);
        if (eq != npos && EqualsNoCase(Trim(line.substr(0, eq)), key))
            return i;
    }
    return npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const
{
    const std::size_t i = FindKey(Trim(section), Trim(key));
    if (i == npos)
        return std::nullopt;
    const std::string_view line = lines_[i].text;
    std::string_view value = Trim(line.substr(KeySeparator(line) + 1));
    if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasForbiddenChar(section) || HasForbiddenChar(key) ||
        HasForbiddenChar(value) || section.find(']') != npos || key.find('=') != npos || key.front() == '[' ||
        key.front() == ';')
        return false;
    const std::string encoded = EncodeValue(value);

    if (const std::size_t i = FindKey(section, key); i != npos) {
        std::string& text = lines_[i].text;
        text.replace(KeySeparator(text) + 1, npos, encoded);
        return true;
    }

    Line keyLine{std::string(key) + "=" + encoded, newline_};
    // The key goes after the last non-blank line of the first matching section.
    std::size_t insertAt = npos;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = SectionName(lines_[i].text)) {
            if (inSection)
                break;
            inSection = EqualsNoCase(*name, section);
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (inSection && !Trim(lines_[i].text).empty())
            insertAt = i + 1;
    }
    if (!lines_.empty() && lines_.back().end.empty())
        lines_.back().end = newline_;
    if (insertAt != npos) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(keyLine));
        return true;
    }
    std::string header = "[";
    header.append(section).append("]");
    lines_.push_back(Line{std::move(header), newline_});
    lines_.push_back(std::move(keyLine));
    return true;
}

std::string IniDocument::Serialize() const
{
    std::string out = bom_;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.end;
    }
    return out;
}

}  // namespace trivane
