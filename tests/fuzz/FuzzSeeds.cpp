// Writes the seed corpus of the fuzzers: recordings in the shapes our writer knows, each behind the
// control bytes the fuzz harness reads first (all zero: plain reads).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "writer/AviWriter.h"
#include "writer/MovWriter.h"
#include "writer/NmeaWriter.h"
#include "writer/TelemetryRecords.h"

namespace {

using namespace trivane::writer;
namespace fs = std::filesystem;

constexpr std::size_t kControlBytes = 5;

bool Save(const fs::path& dir, const std::string& name, const Bytes& bytes, bool withControl = true) {
    std::ofstream out(dir / name, std::ios::binary);
    if (withControl) {
        const char control[kControlBytes] = {};
        out.write(control, kControlBytes);
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Telemetry SmallTelemetry(bool idit) {
    Telemetry t;
    t.fixesPerSecond = 2;
    t.gsensorRateCode = 50;
    t.gsensorRange = 4;
    for (int i = 0; i < 4; ++i) t.fixes.push_back(MakeFix(3541.0 + i, 13946.0, 30, 2020, 6, 1, 10, 0, i, i != 1));
    t.samples.assign(6, trivane::GSensorSample{1, -2, 64});
    if (idit) t.idit = "2020-06-01 10:00:00";
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: trivane-fuzzseeds DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    for (const char* sub : {"avi", "mov", "sentence"}) fs::create_directories(root / sub);
    bool ok = true;

    for (int variant = 0; variant < 4; ++variant) {
        AviRecording avi;
        avi.width = 640;
        avi.height = 480;
        avi.totalFrames = 25;
        avi.telemetry = SmallTelemetry(variant % 2 == 1);
        avi.telemetryAfterMovie = variant < 2;
        ok &= Save(root / "avi", "avi" + std::to_string(variant), BuildAvi(avi).Render().ToBytes());

        MovRecording mov;
        mov.width = 640;
        mov.height = 480;
        mov.telemetry = avi.telemetry;
        mov.telemetryInsideMoov = variant >= 2;
        ok &= Save(root / "mov", "mov" + std::to_string(variant), RenderBoxes(BuildMov(mov)).ToBytes());
    }

    std::vector<std::string> lines;
    for (const auto& fix : SmallTelemetry(false).fixes) lines.push_back(GprmcLine(fix));
    lines.push_back(GsensordLine(0.1, -0.05, 0.98));
    lines.push_back("$GPRMC,,V,,,,,,,,,,N");
    lines.push_back("$GPRMC,,A,4807.038,N,01131.000,E,022.4,084.4,230394");
    const std::string text = NmeaText(lines);
    ok &= Save(root / "sentence", "side", Bytes(text.begin(), text.end()), false);
    return ok ? 0 : 1;
}
