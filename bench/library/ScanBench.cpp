// Scan of a generated card: 1000 recordings (front and rear folders, AVI, MOV and TS with side
// files, sparse movie data), timed warm against exiftool reading the same files.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "library/CRecordingManager.h"
#include "files/FileSystem.h"
#include "writer/AviWriter.h"
#include "writer/MovWriter.h"
#include "writer/NmeaWriter.h"
#include "writer/TelemetryRecords.h"

namespace {

using namespace trivane;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

writer::Telemetry MinuteOfTelemetry(int minute) {
    writer::Telemetry t;
    t.fixesPerSecond = 1;
    t.gsensorRateCode = 50;
    for (int s = 0; s < 60; ++s) {
        t.fixes.push_back(writer::MakeFix(3540.0 + s * 0.01, 13946.0, 40, 2020, 6, 1, 10 + minute / 60, minute % 60, s, true));
    }
    t.samples.assign(600, GSensorSample{1, 2, 3});
    char idit[32];
    std::snprintf(idit, sizeof idit, "2020-06-01 %02d:%02d:00", 10 + minute / 60, minute % 60);
    t.idit = idit;
    return t;
}

bool WriteCard(const std::string& root, int recordings, int& files) {
    MakeDirectories(root + "/DCIM/FRONT");
    MakeDirectories(root + "/DCIM/REAR");
    files = 0;
    for (int i = 0; i < recordings; ++i) {
        const int kind = i % 3;
        const bool rear = (i / 3) % 2 == 1;
        const std::string folder = root + (rear ? "/DCIM/REAR/" : "/DCIM/FRONT/");
        char base[32];
        // AVI names are exactly 12 characters long; the others carry the camera letter.
        if (kind == 0) std::snprintf(base, sizeof base, "%s%04d", rear ? "REAR" : "FRNT", i % 10000);
        else std::snprintf(base, sizeof base, "2020%04d_%06d%c", i / 3, i, rear ? 'R' : 'F');
        const writer::Telemetry t = MinuteOfTelemetry(i % 600);
        bool ok = true;
        if (kind == 0) {
            writer::AviRecording a;
            a.totalFrames = 1500;
            a.movieBytes = 100u << 20;
            a.telemetry = t;
            ok = writer::BuildAvi(a).Render().WriteFile(folder + base + ".AVI");
        } else if (kind == 1) {
            writer::MovRecording mv;
            mv.movieBytes = 100u << 20;
            mv.telemetry = t;
            ok = writer::RenderBoxes(writer::BuildMov(mv)).WriteFile(folder + base + ".MOV");
        } else {
            ok = writer::Blob(writer::Bytes(188 * 64, 0x47)).WriteFile(folder + base + ".TS");
            std::vector<std::string> lines;
            for (const GpsFix& f : t.fixes) lines.push_back(writer::GprmcLine(f));
            const std::string text = writer::NmeaText(lines);
            ok = ok && writer::Blob(writer::Bytes(text.begin(), text.end())).WriteFile(folder + base + ".NMEA");
            ++files;
        }
        if (!ok) return false;
        ++files;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int recordings = argc > 1 ? std::atoi(argv[1]) : 1000;
    char pattern[] = "/tmp/trivane-scanbench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const std::string root = pattern;
    int files = 0;
    if (!WriteCard(root, recordings, files)) {
        std::fprintf(stderr, "could not write the card\n");
        return 1;
    }

    CRecordingManager manager;
    manager.OpenSource(root, "");  // warm the cache
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        manager.OpenSource(root, "");
        best = std::min(best, Seconds(start));
    }
    std::printf("scan: %zu recordings in %zu groups, %d files examined\n", manager.Entries().size(),
                manager.Groups().size(), manager.ScanCount());
    std::printf("scan: best of 5 warm runs %.1f ms, %.0f files/s (target: < 500 ms for 1000 recordings)\n",
                best * 1000, manager.ScanCount() / best);

    if (std::system("exiftool -ver >/dev/null 2>&1") == 0) {
        const std::string command = "exiftool -q -q -r -fast2 -j " + root + " >/dev/null 2>&1";
        std::system(command.c_str());  // warm
        const auto start = Clock::now();
        std::system(command.c_str());
        const double exif = Seconds(start);
        std::printf("exiftool -fast2 on the same card: %.1f ms, %.0f files/s; scan is %.1fx faster\n", exif * 1000,
                    manager.ScanCount() / exif, exif / best);
    } else {
        std::printf("exiftool not installed: no baseline\n");
    }
    if (argc > 2 && std::string(argv[2]) == "--keep") {
        std::printf("card kept in %s\n", root.c_str());
        return 0;
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return 0;
}
