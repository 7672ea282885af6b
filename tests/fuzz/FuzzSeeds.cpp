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
using namespace std::string_literals;
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
    for (const char* sub : {"avi", "mov", "sentence", "sidefile", "ini"}) fs::create_directories(root / sub);
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
    ok &= Save(root / "sidefile", "side", Bytes(text.begin(), text.end()), false);
    std::string lf;  // line feeds only, and no end after the last line
    for (const std::string& line : lines) lf += (lf.empty() ? "" : "\n") + line;
    ok &= Save(root / "sidefile", "lf", Bytes(lf.begin(), lf.end()), false);

    // Settings texts: "section\0key\0value\0" and then the file, or the file alone.
    const std::string ini[] = {
        "[UI]\nLANGID=ENG\nMAP=0\nMAP_ENABLE=1\nGSNR_ENABLE=1\nFolder=/media/card\n[WINPOS]\nLEFT=0\nTOP=0\nRIGHT=800\nBOTTOM=560\n",
        "UI\0LANGID\0KOR\0"s + "\xEF\xBB\xBF; written by hand\r\n[ui]\r\n  langid = \"JPN\" \r\n\r\n[Other]\r\nx=1",
        "WINPOS\0RIGHT\0 1024 \0"s + "[UI]\nMAP=1\n[WINPOS]\nLEFT=-5\n[UI]\nMAP=0",
        "UI\0Folder\0'/a b'\0"s + "Folder=/outside\n[UI\n[UI]x\n=v\n;Folder=/c\n",
    };
    for (std::size_t i = 0; i < std::size(ini); ++i) {
        ok &= Save(root / "ini", "ini" + std::to_string(i), Bytes(ini[i].begin(), ini[i].end()), false);
    }
    return ok ? 0 : 1;
}
