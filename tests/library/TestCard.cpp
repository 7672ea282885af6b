#include "TestCard.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "writer/AviWriter.h"
#include "writer/MovWriter.h"

namespace trivane::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/trivane-e-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make folders unreadable; give the owner access back so everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    ::chmod(path_.c_str(), 0755);
    std::filesystem::remove_all(path_, ec);
}

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

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    Check(static_cast<bool>(out), path);
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
