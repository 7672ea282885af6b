#include "telemetry/SentenceDecoder.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace trivane {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

// Truncates toward zero; values the type cannot hold (and NaN) give nothing.
bool TruncateToInt64(double value, std::int64_t& out) {
    if (!(value > -9.2e18 && value < 9.2e18)) return false;
    out = static_cast<std::int64_t>(value);
    return true;
}

std::uint16_t SpeedFromKnots(double knots) {
    std::int64_t kmh = 0;
    if (!TruncateToInt64(knots * 1.852, kmh)) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(kmh) & 0xFFFFu);
}

// Saturates instead of keeping the low 8 bits: wrapping would turn 0.98 G into -0.02 G.
std::int8_t RawGValue(double g) {
    const double scaled = std::trunc(g * 512.0);
    if (std::isnan(scaled)) return 0;
    if (scaled <= -128.0) return -128;
    if (scaled >= 127.0) return 127;
    return static_cast<std::int8_t>(scaled);
}

GpsFix DecodeGprmc(const std::vector<std::string_view>& f, bool& ok) {
    GpsFix fix{};
    ok = false;
    const std::size_t n = f.size();
    if (n < 3) return fix;
    if (f[2] == "V" || f[1] == "V") {
        ok = true;  // an invalid fix still keeps its place in the sequence
        return fix;
    }
    if (n < 8) return fix;
    fix.latitudeNmea = ReadDecimal(f[3]);
    fix.longitudeNmea = ReadDecimal(f[5]);
    fix.speedKmh = SpeedFromKnots(ReadDecimal(f[7]));
    if (f[2] == "A") fix.fixFlags = FIX_VALID;
    ok = true;
    return fix;
}

}  // namespace

std::vector<std::string_view> SplitSentenceFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) comma = line.size();
        const std::string_view raw = line.substr(start, comma - start);
        start = comma + 1;
        if (raw.empty()) continue;  // runs of commas count as one separator
        const std::string_view trimmed = Trim(raw);
        if (trimmed.empty()) break;
        fields.push_back(fields.empty() ? raw : trimmed);
    }
    return fields;
}

double ReadDecimal(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return 0.0;
    }
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return negative ? -value : value;
}

DecodedSentence DecodeSentence(std::string_view line) {
    const std::vector<std::string_view> fields = SplitSentenceFields(line);
    if (fields.empty()) return std::monostate{};
    if (fields[0] == "$GPRMC") {
        bool ok = false;
        GpsFix fix = DecodeGprmc(fields, ok);
        if (ok) return fix;
        return std::monostate{};
    }
    if (fields[0] == "$GSENSORD") {
        if (fields.size() < 4) return std::monostate{};
        return GSensorSample{RawGValue(ReadDecimal(fields[1])), RawGValue(ReadDecimal(fields[2])),
                             RawGValue(ReadDecimal(fields[3]))};
    }
    return std::monostate{};
}

}  // namespace trivane
