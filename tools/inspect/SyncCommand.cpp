#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"
#include "InfoJson.h"
#include "Recorders.h"

namespace trivane::inspect {

namespace {

template <typename T>
std::optional<T> ReadInteger(std::string_view text) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

int RunSync(std::span<char* const> args) {
    std::string path;
    std::optional<std::int64_t> seek;
    std::vector<std::int64_t> times;
    bool bad = args.empty();
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string_view a = args[i];
        if (a == "--seek") {
            if (i + 1 >= args.size() || !(seek = ReadInteger<std::int64_t>(args[++i]))) bad = true;
        } else if (path.empty()) {
            path = a;
        } else if (const auto t = ReadInteger<std::int64_t>(a)) {
            times.push_back(*t);
        } else {
            bad = true;
        }
    }
    if (bad || path.empty()) {
        std::fprintf(stderr, "usage: trivane-inspect sync FILE [--seek MS] T1 T2 ...\n");
        return 2;
    }

    CRecordingManager manager;
    RecordingMapHost map;
    RecordingCurve curve;
    RecordingOwner owner;
    OpenSingleFile(manager, path);
    manager.SetMapHost(&map);
    manager.SetGSensorCurve(&curve);
    manager.SetOwnerWindow(&owner);
    manager.LoadTelemetry(0);

    nlohmann::ordered_json out;
    out["calls"] = nlohmann::ordered_json::array();
    for (const std::int64_t t : times) {
        map.scripts.clear();
        owner.speeds.clear();
        const int result = manager.UpdateTelemetryAt(t, true, true);
        nlohmann::ordered_json j;
        j["t"] = t;
        j["result"] = result;
        j["speed"] = owner.speeds.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(owner.speeds.back());
        j["scripts"] = map.scripts;
        out["calls"].push_back(std::move(j));
    }
    map.scripts.clear();
    if (seek) manager.ReplotDrivenPath(*seek);
    out["seekScripts"] = map.scripts;
    PrintJson(out);
    return 0;
}

}  // namespace trivane::inspect
