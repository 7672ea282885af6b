// Settings text: parse, rewrite one key, read it back. The text round-trips unchanged, the key
// reads back as written, and every other line survives in its place.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/IniDocument.h"

namespace {

// Lines with their ends, as the document keeps them.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        const std::size_t length = lf == std::string_view::npos ? text.size() : lf + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

// The same line, or the last line that had no end and gained one.
bool SameLine(std::string_view now, std::string_view old, bool lastOld) {
    if (now == old) return true;
    if (!lastOld || (!old.empty() && old.back() == '\n') || now.substr(0, old.size()) != old) return false;
    const std::string_view end = now.substr(old.size());
    return end == "\n" || end == "\r\n";
}

// Input "section\0key\0value\0text"; without three NULs the whole input is the text and
// UI / MAP = 1 is written, as the program does.
struct Input {
    std::string_view section = "UI";
    std::string_view key = "MAP";
    std::string_view value = "1";
    std::string_view text;
};

Input Split(std::string_view data) {
    Input in;
    in.text = data;
    std::string_view fields[3];
    std::string_view rest = data;
    for (auto& field : fields) {
        const std::size_t nul = rest.find('\0');
        if (nul == std::string_view::npos) return in;
        field = rest.substr(0, nul);
        rest.remove_prefix(nul + 1);
    }
    return Input{fields[0], fields[1], fields[2], rest};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input in = Split(std::string_view(reinterpret_cast<const char*>(data), size));
    trivane::IniDocument doc = trivane::IniDocument::Parse(in.text);
    const std::string before = doc.Serialize();
    if (before != in.text) __builtin_trap();
    if (!doc.Set(in.section, in.key, in.value)) {
        if (doc.Serialize() != before) __builtin_trap();  // a refused write changes nothing
        return 0;
    }
    const std::string after = doc.Serialize();
    const auto read = trivane::IniDocument::Parse(after).Get(in.section, in.key);
    if (!read || *read != in.value) __builtin_trap();

    // Every old line is still there, in order. Either one line changed in place, or one or two
    // lines (the key, perhaps after its section) were added and no old line changed.
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    std::string_view oldText = before;
    std::string_view newText = after;
    if (oldText.starts_with(kBom) != newText.starts_with(kBom)) __builtin_trap();  // the mark stays
    if (oldText.starts_with(kBom)) {
        oldText.remove_prefix(kBom.size());
        newText.remove_prefix(kBom.size());
    }
    const auto old = SplitLines(oldText);
    const auto now = SplitLines(newText);
    if (now.size() == old.size()) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < old.size(); ++i) changed += SameLine(now[i], old[i], i + 1 == old.size()) ? 0 : 1;
        if (changed > 1) __builtin_trap();
    } else {
        if (now.size() > old.size() + 2) __builtin_trap();
        std::size_t j = 0;
        for (std::size_t i = 0; i < old.size(); ++i, ++j) {
            while (j < now.size() && !SameLine(now[j], old[i], i + 1 == old.size())) ++j;
            if (j == now.size()) __builtin_trap();
        }
    }
    return 0;
}
