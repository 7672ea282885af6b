#pragma once

#include <string>
#include <string_view>

namespace trivane {

// Element content for a UTF-8 document from any bytes (file names on Linux may hold any byte but
// '/' and NUL): &, < and > are escaped and a carriage return becomes a reference, so a reader
// keeps it; invalid UTF-8 (overlong forms, surrogates, values above U+10FFFF, cut-off sequences)
// becomes U+FFFD, one per maximal subpart (a start byte with the continuation bytes that may
// follow it, else a single byte); characters XML 1.0 forbids (C0 controls but tab, line feed and
// carriage return; U+FFFE, U+FFFF) become U+FFFD. Every other character is kept as it is.
std::string EscapeXmlText(std::string_view text);

}  // namespace trivane
