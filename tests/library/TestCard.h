#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FileText.h"
#include "TempDir.h"
#include "recorders/Recorders.h"
#include "telemetry/GpsFix.h"
#include "writer/TelemetryRecords.h"

namespace trivane::test {

// Recordings written by the test writer. `idit` is the local start "YYYY-MM-DD hh:mm:ss".
void WriteAvi(const std::string& path, const std::string& idit, std::uint32_t seconds = 60,
              const writer::Telemetry& telemetry = {});
void WriteMov(const std::string& path, const std::string& idit, std::uint32_t seconds = 60,
              const writer::Telemetry& telemetry = {}, std::uint16_t width = 1920, std::uint16_t height = 1080);
void MakeFolder(const std::string& path);

GpsFix Fix(double latitudeNmea, double longitudeNmea, std::uint16_t speedKmh, bool valid, std::int32_t altitude = 0);

using recorders::RecordingCurve;
using recorders::RecordingFileList;
using recorders::RecordingGroupList;
using recorders::RecordingMapHost;
using recorders::RecordingOwner;
using recorders::RecordingSurface;

}  // namespace trivane::test
