#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "telemetry/SentenceDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        const auto decoded = trivane::DecodeSentence(line);
        if (const auto* fix = std::get_if<trivane::GpsFix>(&decoded); fix && fix->fixFlags > 1) __builtin_trap();
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return 0;
}
