#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "Commands.h"
#include "InfoJson.h"
#include "Recorders.h"
#include "files/FileSystem.h"
#include "library/GForceEvents.h"

namespace trivane::inspect {

namespace {

// A threshold in G: a positive finite decimal number.
bool ReadThreshold(std::string_view text, double& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() && std::isfinite(value) && value > 0;
}

}  // namespace

int RunEvents(std::span<char* const> args) {
    std::string path;
    double threshold = kDefaultGEventThresholdG;
    bool bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string_view a = args[i];
        if (a == "--threshold") bad = i + 1 >= args.size() || !ReadThreshold(args[++i], threshold);
        else if (path.empty() && !a.empty()) path = a;
        else bad = true;
    }
    if (bad || path.empty()) {
        std::fprintf(stderr, "usage: trivane-inspect events FILE [--threshold G]\n");
        return 2;
    }

    CRecordingManager manager;
    OpenSingleFile(manager, path);
    const bool loaded = !manager.Entries().empty() && manager.LoadTelemetry(0);
    nlohmann::ordered_json out;
    out["result"] = loaded;
    if (!loaded) {
        out["error"] = !PathExists(path)              ? "no such file"
                       : manager.Entries().empty()    ? "not a recording"
                                                      : "the recording cannot be read";
    }
    out["thresholdG"] = threshold;
    out["samples"] = manager.Track().gsensorStore.size() / kGSensorSampleSize;
    out["events"] = nlohmann::ordered_json::array();
    if (loaded) {
        for (const GForceEvent& event : DetectGForceEvents(manager.Track(), threshold)) {
            nlohmann::ordered_json j;
            j["timeMs"] = event.timeMs;
            j["peakG"] = event.peakG;
            j["axis"] = GAxisName(event.axis);
            out["events"].push_back(std::move(j));
        }
    }
    PrintJson(out);
    return loaded ? 0 : 1;
}

}  // namespace trivane::inspect
