#include "library/RecordingName.h"

#include <algorithm>

#include "files/FileSystem.h"

namespace trivane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

}  // namespace

NameCheck IsRecordingName(const std::string& folder, std::string_view fileName) {
    NameCheck check;
    check.accepted = true;
    const std::size_t head = std::min<std::size_t>(4, fileName.size());
    for (std::size_t i = 0; i < head; ++i) {
        const char c = fileName[i];
        if (!IsDigit(c) && !IsAsciiLetter(c) && c != '_' && c != '-') check.accepted = false;
    }
    if (fileName.size() < 8) {
        check.accepted = false;
    } else {
        for (std::size_t i = 4; i < 8; ++i) {
            if (!IsDigit(fileName[i])) check.accepted = false;
        }
    }
    if (EndsWith(fileName, ".AVI") && fileName.size() != 12) check.accepted = false;
    check.eventFlag = fileName.size() >= 4 && fileName[3] == 'G';
    // Only an accepted name needs the file's state; skipping the look-up keeps scans of cards
    // full of other files cheap.
    if (check.accepted) check.manualFlag = IsReadOnly(JoinPath(folder, std::string(fileName)));
    return check;
}

bool RecordingNameLess(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = Fold(a[i]);
        const unsigned char cb = Fold(b[i]);
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

}  // namespace trivane
