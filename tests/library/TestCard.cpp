#include "TestCard.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "writer/AviWriter.h"
#include "writer/MovWriter.h"

namespace trivane::test {

namespace {

void Check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("could not write " + what);
}

}  // namespace

void WriteAvi(const std::string& path, const std::string& idit, std::uint32_t seconds,
              const writer::Telemetry& telemetry) {
    writer::AviRecording recording;
    recording.microsPerFrame = 40000;
    recording.totalFrames = seconds * 25;
    recording.telemetry = telemetry;
    if (!idit.empty()) recording.telemetry.idit = idit;
    Check(writer::BuildAvi(recording).Render().WriteFile(path), path);
}

void WriteMov(const std::string& path, const std::string& idit, std::uint32_t seconds,
              const writer::Telemetry& telemetry, std::uint16_t width, std::uint16_t height) {
    writer::MovRecording recording;
    recording.width = width;
    recording.height = height;
    recording.timescale = 1000;
    recording.duration = seconds * 1000;
    recording.telemetry = telemetry;
    if (!idit.empty()) recording.telemetry.idit = idit;
    Check(writer::RenderBoxes(writer::BuildMov(recording)).WriteFile(path), path);
}

void MakeFolder(const std::string& path) { std::filesystem::create_directories(path); }

GpsFix Fix(double latitudeNmea, double longitudeNmea, std::uint16_t speedKmh, bool valid, std::int32_t altitude) {
    GpsFix fix;
    fix.latitudeNmea = latitudeNmea;
    fix.longitudeNmea = longitudeNmea;
    fix.speedKmh = speedKmh;
    fix.altitude = altitude;
    fix.fixFlags = valid ? FIX_VALID : 0;
    return fix;
}

}  // namespace trivane::test
