#include <cstdio>
#include <string>

#include "Commands.h"
#include "InfoJson.h"
#include "Recorders.h"

namespace trivane::inspect {

namespace {

nlohmann::ordered_json TrackToJson(bool result, const CRecordingManager& manager, const RecordingCurve& curve,
                                   const RecordingMapHost& map) {
    const TelemetryTrack& track = manager.Track();
    nlohmann::ordered_json out;
    out["result"] = result;
    out["fixRate"] = track.fixRate;
    out["fixes"] = nlohmann::ordered_json::array();
    for (const GpsFix& fix : track.fixStore) {
        nlohmann::ordered_json j;
        j["latitudeNmea"] = fix.latitudeNmea;  // non-finite values print as null
        j["longitudeNmea"] = fix.longitudeNmea;
        j["altitude"] = fix.altitude;
        j["speedKmh"] = fix.speedKmh;
        j["valid"] = fix.IsValid();
        out["fixes"].push_back(std::move(j));
    }
    out["gsensorBytes"] = track.gsensorStore.size();
    nlohmann::ordered_json c;
    c["gRange"] = curve.gRange;
    c["sampleRate"] = curve.sampleRate;
    c["cursorTracking"] = curve.cursorTracking;
    c["samples"] = nlohmann::ordered_json::array();
    for (const GSensorSample& s : curve.samples) c["samples"].push_back({int{s.x}, int{s.y}, int{s.z}});
    out["curve"] = std::move(c);
    out["scripts"] = map.scripts;
    return out;
}

}  // namespace

int RunTrack(std::span<char* const> args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: trivane-inspect track FILE\n");
        return 2;
    }
    CRecordingManager manager;
    RecordingMapHost map;
    RecordingCurve curve;
    OpenSingleFile(manager, args[0]);
    manager.SetMapHost(&map);
    manager.SetGSensorCurve(&curve);
    const bool result = manager.LoadTelemetry(0);
    PrintJson(TrackToJson(result, manager, curve, map));
    return 0;
}

}  // namespace trivane::inspect
