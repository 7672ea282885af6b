// Clip export speed: a 30 s clip of a 1080p front recording with its 720p rear inset and the
// telemetry overlay, against a bare ffmpeg transcode of the front alone with the same encoder
// settings (no inset, no overlay), measured in the same run. Runs alternate; medians are printed.
// The pair is generated first (ffmpeg test pictures with a simulated drive's telemetry).
// Usage: bench_export_clip [RUNS [FOLDER]]
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "export/ClipCommand.h"
#include "export/ClipExport.h"
#include "export/ProgramRun.h"
#include "samplecard/DriveModel.h"
#include "writer/MediaPatcher.h"
#include "writer/TelemetryRecords.h"

namespace {

using namespace trivane;
using Clock = std::chrono::steady_clock;

constexpr int kSeconds = 30;
const std::atomic<bool> kNever{false};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// CPU seconds used by waited-for children so far.
double ChildCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

bool Encode(int width, int height, const char* tone, const std::string& path) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string seconds = std::to_string(kSeconds);
    const ProgramOutcome outcome = RunProgram(
        {"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "lavfi", "-i",
         "testsrc2=size=" + size + ":rate=25:duration=" + seconds, "-f", "lavfi", "-i",
         std::string("sine=frequency=") + tone + ":sample_rate=48000:duration=" + seconds, "-c:v", "libx264",
         "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-g", "25", "-b:v", width > 1280 ? "8000k" : "3000k", "-c:a",
         "aac", "-b:a", "64k", "-f", "mov", path},
        kNever);
    if (!outcome.Succeeded()) std::fprintf(stderr, "ffmpeg: %s\n", outcome.errorTail.c_str());
    return outcome.Succeeded();
}

// A front/rear pair named as the camera names it, the front with 30 s of fixes and G-sensor data.
bool WritePair(const std::string& folder, std::string& front) {
    namespace fs = std::filesystem;
    fs::create_directories(folder + "/DCIM/MOVF");
    fs::create_directories(folder + "/DCIM/MOVR");
    front = folder + "/DCIM/MOVF/FILE240315-090000F.MOV";
    const std::string rear = folder + "/DCIM/MOVR/FILE240315-090000R.MOV";
    if (fs::exists(front) && fs::exists(rear)) return true;

    samplecard::Drive drive;
    drive.start = {2024, 3, 15, 9, 0, 0};
    drive.seconds = kSeconds;
    drive.latitude = 48.137154;
    drive.longitude = 11.576124;
    drive.heading = 80;
    drive.speedKmh = {{0, 30}, {10, 60}, {25, 60}, {28, 0}, {30, 0}};
    drive.bumps = {12.5};
    const samplecard::DriveData data = samplecard::Simulate(drive);
    writer::Telemetry telemetry;
    telemetry.fixes = data.fixes;
    telemetry.samples = data.samples;
    telemetry.gsensorRateCode = samplecard::kGsensorRateCode;
    telemetry.gsensorRange = samplecard::kGsensorRange;

    const std::string partial = front + ".part";
    std::string error;
    if (!Encode(1920, 1080, "440", partial) || !Encode(1280, 720, "330", rear) ||
        !writer::AppendMovBoxes(partial, writer::PrivateBoxes(writer::TelemetryRecords(telemetry)),
                                writer::BoxPlacement::TopLevel, &error)) {
        std::fprintf(stderr, "cannot write the pair %s\n", error.c_str());
        return false;
    }
    fs::rename(partial, front);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::string folder = argc > 2 ? argv[2] : "";
    const bool ownFolder = folder.empty();
    if (ownFolder) {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/trivane-clipbench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) return 1;
        folder = pattern;
    }
    std::string front;
    const auto generated = Clock::now();
    if (!WritePair(folder, front)) return 1;
    std::printf("30 s pair (1080p front with telemetry, 720p rear) ready in %.1f s\n",
                std::chrono::duration<double>(Clock::now() - generated).count());

    const std::string clipPath = folder + "/clip.mp4";
    const std::string barePath = folder + "/bare.mp4";
    std::vector<double> clipSeconds, clipCpu, bareSeconds, bareCpu;
    for (int run = 0; run < runs; ++run) {
        std::filesystem::remove(clipPath);
        std::filesystem::remove(folder + "/clip.gpx");
        ClipRequest request;
        request.recordings = {front};
        request.fromMs = 0;
        request.toMs = kSeconds * 1000;
        request.outPath = clipPath;
        double cpu = ChildCpuSeconds();
        auto start = Clock::now();
        const ClipResult result = RunClipExport(request, {}, kNever);
        clipSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        clipCpu.push_back(ChildCpuSeconds() - cpu);
        if (!result.ok || !result.rearInset) {
            std::fprintf(stderr, "clip export failed: %s\n", result.message.c_str());
            return 1;
        }

        cpu = ChildCpuSeconds();
        start = Clock::now();
        const ProgramOutcome bare = RunProgram(
            {"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", front, "-map", "0:v:0", "-map", "0:a:0", "-c:v",
             kClipVideoEncoder, "-preset", kClipPreset, "-crf", kClipCrf, "-pix_fmt", "yuv420p", "-profile:v", "high",
             "-c:a", "aac", "-b:a", kClipAudioBitrate, "-movflags", "+faststart", "-f", "mp4", barePath},
            kNever);
        bareSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        bareCpu.push_back(ChildCpuSeconds() - cpu);
        if (!bare.Succeeded()) {
            std::fprintf(stderr, "bare transcode failed: %s\n", bare.errorTail.c_str());
            return 1;
        }
    }
    const double clip = Median(clipSeconds);
    const double plain = Median(bareSeconds);
    std::printf("settings: %s -preset %s -crf %s, yuv420p, High profile, AAC %s, +faststart\n", kClipVideoEncoder,
                kClipPreset, kClipCrf, kClipAudioBitrate);
    std::printf("clip export (front, rear inset, overlay): %.2f s wall, %.2f s CPU for %d s: %.2f x real time\n", clip,
                Median(clipCpu), kSeconds, kSeconds / clip);
    std::printf("bare ffmpeg transcode of the front:       %.2f s wall, %.2f s CPU for %d s: %.2f x real time\n",
                plain, Median(bareCpu), kSeconds, kSeconds / plain);
    std::printf("clip export / bare transcode: %.2f (median of %d runs each, %u cores)\n", clip / plain, runs,
                std::max(1u, static_cast<unsigned>(::sysconf(_SC_NPROCESSORS_ONLN))));
    if (ownFolder) std::filesystem::remove_all(folder);
    return 0;
}
