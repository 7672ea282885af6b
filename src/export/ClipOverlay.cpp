#include "export/ClipOverlay.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "export/GpxWriter.h"
#include "library/MapScripts.h"
#include "telemetry/GSensorSample.h"
#include "telemetry/LocalTime.h"
#include "telemetry/NmeaToDegrees.h"

namespace trivane {

namespace {

// Speeds from here on are not shown, as on the player's read-out.
constexpr std::uint16_t kSpeedLimitKmh = 500;

// "+0.42": two decimals with a sign and a point whatever the locale.
std::string SignedG(double g) {
    char buffer[32];
    const double rounded = std::round(g * 100) / 100;
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(rounded), std::chars_format::fixed, 2);
    if (ec != std::errc{}) return "?";
    return (rounded < 0 ? "-" : "+") + std::string(buffer, end);
}

// Each axis's reading furthest from zero among the samples of [timeMs, timeMs + kOverlayStepMs),
// or the sample in force at timeMs when none starts there.
std::optional<std::string> GLine(const TelemetryTrack& track, std::int64_t timeMs) {
    const std::size_t count = track.gsensorStore.size() / kGSensorSampleSize;
    const double rate = track.gsensorSamplesPerMs;
    if (count == 0 || !(rate > 0) || !std::isfinite(rate)) return std::nullopt;
    const double firstAt = std::floor(static_cast<double>(timeMs) * rate);
    if (!(firstAt >= 0) || firstAt >= static_cast<double>(count)) return std::nullopt;
    const auto first = static_cast<std::size_t>(firstAt);
    const double lastAt = std::ceil(static_cast<double>(timeMs + kOverlayStepMs) * rate);
    const std::size_t last = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(lastAt, 0.0)), first + 1, count);
    int peak[3] = {0, 0, 0};
    for (std::size_t i = first; i < last; ++i) {
        const std::uint8_t* raw = track.gsensorStore.data() + i * kGSensorSampleSize;
        for (int axis = 0; axis < 3; ++axis) {
            const int value = static_cast<std::int8_t>(raw[axis]);
            if (i == first || std::abs(value) > std::abs(peak[axis])) peak[axis] = value;
        }
    }
    const double scale = (track.gsensorRange > 0 ? track.gsensorRange : 8) / 1024.0;
    return "G  x " + SignedG(peak[0] * scale) + "  y " + SignedG(peak[1] * scale) + "  z " + SignedG(peak[2] * scale);
}

// h:mm:ss.cc, the ASS time format.
std::string AssTime(std::int64_t ms) {
    const std::int64_t centis = std::max<std::int64_t>(ms, 0) / 10;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld.%02lld", static_cast<long long>(centis / 360000),
                  static_cast<long long>(centis / 6000 % 60), static_cast<long long>(centis / 100 % 60),
                  static_cast<long long>(centis % 100));
    return buffer;
}

// Line breaks as ASS writes them; braces and backslashes cannot occur in the texts made here.
std::string AssText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += "\\N";
        else if (c != '{' && c != '}' && c != '\\') out += c;
    }
    return out;
}

}  // namespace

std::string OverlayText(const TelemetryTrack* track, std::int64_t startTime, std::int64_t timeMs) {
    const GpsFix* fix = nullptr;
    std::int64_t index = -1;
    if (track != nullptr) {
        index = track->FixIndexAt(static_cast<double>(timeMs));
        if (index >= 0 && track->fixStore[static_cast<std::size_t>(index)].IsValid()) {
            fix = &track->fixStore[static_cast<std::size_t>(index)];
        }
    }

    std::optional<std::int64_t> seconds;
    if (fix != nullptr && fix->yearSince2000 != 0) {
        if (const auto t = GpxFixTime(*fix, static_cast<std::size_t>(index), track->EffectiveFixRate(), startTime)) {
            seconds = static_cast<std::int64_t>(std::floor(*t));
        }
    }
    if (!seconds && startTime != 0) seconds = startTime + timeMs / 1000;
    std::string text = seconds ? FormatLocal(*seconds, "%Y-%m-%d %H:%M:%S").value_or("--") : "--";

    text += '\n';
    if (fix == nullptr) {
        text += "GPS: no fix";
    } else {
        text += fix->speedKmh < kSpeedLimitKmh ? std::to_string(fix->speedKmh) + " km/h" : "--- km/h";
        if (IsMappable(*fix)) {
            text += "   " + FormatFixed6(NmeaToDegrees(fix->latitudeNmea / 100)) + ", " +
                    FormatFixed6(NmeaToDegrees(fix->longitudeNmea / 100));
        }
    }
    if (track != nullptr) {
        if (const auto g = GLine(*track, timeMs)) text += '\n' + *g;
    }
    return text;
}

std::string OverlayDocument(std::span<const OverlaySource> sources, int width, int height) {
    const int fontSize = std::max(12, height / 26);
    const int margin = std::max(4, width / 60);
    const int box = std::max(2, height / 180);
    std::string out = "[Script Info]\nScriptType: v4.00+\nPlayResX: " + std::to_string(width) +
                      "\nPlayResY: " + std::to_string(height) +
                      "\nWrapStyle: 2\nScaledBorderAndShadow: yes\n\n"
                      "[V4+ Styles]\n"
                      "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
                      "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
                      "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
                      // White text on a box of 40 % transparent black, bottom left.
                      "Style: Telemetry,DejaVu Sans Mono," + std::to_string(fontSize) +
                      ",&H00FFFFFF,&H00FFFFFF,&H66000000,&H66000000,0,0,0,0,100,100,0,0,3," + std::to_string(box) +
                      ",0,1," + std::to_string(margin) + "," + std::to_string(margin) + "," + std::to_string(margin) +
                      ",1\n\n"
                      "[Events]\n"
                      "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

    std::string pending;
    std::int64_t pendingStart = 0;
    std::int64_t pendingEnd = 0;
    auto flush = [&] {
        if (!pending.empty() && pendingEnd > pendingStart) {
            out += "Dialogue: 0," + AssTime(pendingStart) + "," + AssTime(pendingEnd) + ",Telemetry,,0,0,0,," +
                   AssText(pending) + "\n";
        }
        pending.clear();
    };
    for (const OverlaySource& source : sources) {
        const ClipSegment& segment = source.segment;
        const std::int64_t end = segment.inMs + segment.lengthMs;
        // Steps on whole multiples of the step in the recording's own time.
        for (std::int64_t t = segment.inMs - segment.inMs % kOverlayStepMs; t < end; t += kOverlayStepMs) {
            const std::int64_t from = segment.clipStartMs + std::max(t, segment.inMs) - segment.inMs;
            const std::int64_t to = segment.clipStartMs + std::min(t + kOverlayStepMs, end) - segment.inMs;
            std::string text = OverlayText(source.track, source.startTime, t);
            if (text == pending && from == pendingEnd) {
                pendingEnd = to;
                continue;
            }
            flush();
            pending = std::move(text);
            pendingStart = from;
            pendingEnd = to;
        }
    }
    flush();
    return out;
}

}  // namespace trivane
