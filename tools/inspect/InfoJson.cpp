#include "InfoJson.h"

#include <iostream>

namespace trivane::inspect {

nlohmann::ordered_json InfoToJson(const ContainerInfo& info) {
    nlohmann::ordered_json j;
    j["gpsOffset"] = info.gpsOffset;
    j["gpsSize"] = info.gpsSize;
    j["gsensorOffset"] = info.gsensorOffset;
    j["gsensorSize"] = info.gsensorSize;
    j["videoWidth"] = info.videoWidth;
    j["videoHeight"] = info.videoHeight;
    j["startTime"] = info.startTime;
    j["durationSeconds"] = info.durationSeconds;
    j["durationMs"] = info.durationMs;
    j["fileSize"] = info.fileSize;
    j["gpsRateWord"] = info.gpsRateWord;
    j["gsensorRateWord"] = info.gsensorRateWord;
    return j;
}

void PrintJson(const nlohmann::ordered_json& document) {
    std::cout << document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace trivane::inspect
