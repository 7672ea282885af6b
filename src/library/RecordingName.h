#pragma once

#include <string>
#include <string_view>

namespace trivane {

struct NameCheck {
    bool accepted = false;
    bool eventFlag = false;   // 4th character is an upper-case 'G'
    bool manualFlag = false;  // the file is read-only
};

// The camera's naming rule; `folder` is only used to look at the file's read-only state.
NameCheck IsRecordingName(const std::string& folder, std::string_view fileName);

// Catalogue order: ASCII letters compared without case, then bytes as unsigned values, a prefix first.
bool RecordingNameLess(std::string_view a, std::string_view b);

}  // namespace trivane
