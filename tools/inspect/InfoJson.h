#pragma once

#include <nlohmann/json.hpp>

#include "telemetry/ContainerInfo.h"

namespace trivane::inspect {

// ContainerInfo under its field names; the rate words as arrays of 4 numbers.
nlohmann::ordered_json InfoToJson(const ContainerInfo& info);

// Prints a document on stdout followed by a newline.
void PrintJson(const nlohmann::ordered_json& document);

}  // namespace trivane::inspect
