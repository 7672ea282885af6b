#include "library/MapScripts.h"

#include <charconv>

#include "telemetry/NmeaToDegrees.h"

namespace trivane {

std::string FormatFixed6(double value) {
    // Large enough for the longest double in fixed notation (309 digits) plus sign and decimals.
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc{}) return "nan";
    return std::string(buffer, result.ptr);
}

namespace {

std::string Call(const char* name, double a, const char* separator, double b) {
    std::string script = name;
    script += '(';
    script += FormatFixed6(a);
    script += separator;
    script += FormatFixed6(b);
    script += ')';
    return script;
}

}  // namespace

std::string PathPlotScript(double latitude, double longitude) { return Call("path_plot", latitude, ",", longitude); }

std::string DrivenPathPlotScript(double latitude, double longitude) {
    return Call("pathdrived_plot", latitude, ",", longitude);
}

std::string EventPlotScript(double latitude, double longitude) {
    return Call("event_plot", latitude, ",", longitude);
}

std::string MoveScript(double latitude, double longitude) { return Call("movpos", latitude, ", ", longitude); }

std::vector<std::string> EventMarkScripts(const TelemetryTrack& track, const std::vector<GForceEvent>& events) {
    std::vector<std::string> scripts{kEventDeleteScript};
    const auto last = static_cast<std::int64_t>(track.fixStore.size()) - 1;
    for (const GForceEvent& event : events) {
        // An event after the last fix is placed at the last one.
        std::int64_t i = track.FixIndexAt(static_cast<double>(event.timeMs));
        if (i < 0 && event.timeMs >= 0) i = last;
        for (; i >= 0; --i) {
            const GpsFix& fix = track.fixStore[static_cast<std::size_t>(i)];
            if (!fix.IsValid() || !IsMappable(fix)) continue;
            scripts.push_back(
                EventPlotScript(NmeaToDegrees(fix.latitudeNmea / 100), NmeaToDegrees(fix.longitudeNmea / 100)));
            break;
        }
    }
    return scripts;
}

std::string RouteSpeedsScript(const TelemetryTrack& track) {
    std::string script = "route_speeds([";
    bool first = true;
    for (const GpsFix& fix : track.fixStore) {
        if (!fix.IsValid() || !IsMappable(fix)) continue;
        if (!first) script += ',';
        script += std::to_string(fix.speedKmh);
        first = false;
    }
    script += "])";
    return script;
}

std::string RouteColouringScript(bool bySpeed) { return bySpeed ? "route_colouring(1)" : "route_colouring(0)"; }

std::string MovePositionScript(double latitudeNmea100, double longitudeNmea100) {
    return MoveScript(NmeaToDegrees(latitudeNmea100), NmeaToDegrees(longitudeNmea100));
}

}  // namespace trivane
