#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "telemetry/GSensorSample.h"
#include "telemetry/GpsFix.h"

namespace trivane {

// Comma-separated fields of a side-file line: empty fields are dropped, each field is trimmed,
// and the list stops at the first field that is empty after trimming. Field 0 stays untrimmed.
std::vector<std::string_view> SplitSentenceFields(std::string_view line);

// Result of decoding one side-file line: nothing (ignored or malformed), a fix or a sample.
using DecodedSentence = std::variant<std::monostate, GpsFix, GSensorSample>;

DecodedSentence DecodeSentence(std::string_view line);

// Locale-independent decimal reading; text that is not a number reads as 0.
double ReadDecimal(std::string_view text);

}  // namespace trivane
