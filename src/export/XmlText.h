#pragma once

#include <string>
#include <string_view>

namespace trivane {

// Element content with &, < and > escaped, so that any file name gives a well-formed document.
std::string EscapeXmlText(std::string_view text);

}  // namespace trivane
