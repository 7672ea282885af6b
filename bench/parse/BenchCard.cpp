#include "BenchCard.h"

#include <cstdio>

#include "writer/AviWriter.h"
#include "writer/MovWriter.h"

namespace trivane::bench {

namespace {

using namespace trivane::writer;

constexpr std::uint32_t kFps = 30;
constexpr int kSamplesPerSecond = 10;

Telemetry MakeTelemetry(int seconds, int seed) {
    Telemetry t;
    for (int i = 0; i < seconds; ++i) {
        const int s = 5 * 60 + i;  // from 08:05:00
        t.fixes.push_back(MakeFix(3539.1 + i * 0.001, 13945.5 + seed * 0.0001, static_cast<std::uint16_t>(40 + i % 30),
                                  2024, 5, 1 + seed % 28, 8, s / 60 % 60, s % 60, true));
    }
    for (int i = 0; i < seconds * kSamplesPerSecond; ++i)
        t.samples.push_back({static_cast<std::int8_t>(i % 7 - 3), static_cast<std::int8_t>(i % 5 - 2), 64});
    t.fixesPerSecond = 1;
    t.gsensorRateCode = 5;
    t.gsensorRange = 16;
    return t;
}

// The AVI a camera writes: hdrl with an OpenDML-sized JUNK, INFO list, movi, a full idx1 (one
// video and one audio entry per frame), then the private chunks.
RiffNode CameraAvi(int seconds, std::uint64_t movieBytes, const Telemetry& telemetry) {
    const std::uint32_t frames = static_cast<std::uint32_t>(seconds) * kFps;
    RiffNode hdrl = HeaderList(1000000 / kFps, frames, 1920, 1080, true);
    hdrl.children.push_back(Junk(4084));
    std::vector<RiffNode> top{std::move(hdrl), List("INFO", {Chunk("ISFT", Bytes{'C', 'a', 'm', '\0'})}),
                              Junk(1016), MovieHole(movieBytes), Index(frames * 2)};
    for (RiffNode& chunk : PrivateChunks(TelemetryRecords(telemetry))) top.push_back(std::move(chunk));
    return AviFile(std::move(top));
}

// The MOV a camera writes: ftyp, mdat, then moov with sample tables of real size (stts, stss,
// stsz, stco) for a video and an audio trak; private boxes after moov or at the end of moov.
std::vector<Box> CameraMov(int seconds, std::uint64_t movieBytes, const Telemetry& telemetry, bool inside) {
    const std::uint64_t frames = static_cast<std::uint64_t>(seconds) * kFps;
    auto tables = [&](Box entry, std::uint64_t samples) {
        return Container("stbl", {Stsd({std::move(entry)}), MakeBox("stts", Blob::Hole(16)),
                                  MakeBox("stss", Blob::Hole(8 + samples / kFps * 4)),
                                  MakeBox("stsz", Blob::Hole(12 + samples * 4)),
                                  MakeBox("stco", Blob::Hole(8 + samples * 4))});
    };
    auto trak = [&](std::uint32_t timescale, std::uint32_t duration, Box entry, std::uint64_t samples) {
        Box t = Trak(timescale, duration, VisualSampleEntry("avc1", 1, 1));
        // Replace the plain stbl with one carrying the tables: trak → mdia → minf → stbl.
        t.children[1].children[2].children[0] = tables(std::move(entry), samples);
        return t;
    };
    std::vector<Box> moovChildren{
        trak(90000, static_cast<std::uint32_t>(seconds) * 90000, VisualSampleEntry("avc1", 1920, 1080), frames),
        trak(48000, static_cast<std::uint32_t>(seconds) * 48000, AudioSampleEntry(), frames * 48000 / 1024 / kFps)};
    moovChildren.push_back(Udta({MakeBox("\xA9" "fmt", Bytes(12, 'x'))}));
    std::vector<Box> privateBoxes = PrivateBoxes(TelemetryRecords(telemetry));
    std::vector<Box> top{Ftyp(), MakeBox("free", Bytes(8, 0)), MdatHole(movieBytes)};
    if (inside)
        for (Box& box : privateBoxes) moovChildren.push_back(std::move(box));
    top.push_back(Moov(std::move(moovChildren)));
    if (!inside)
        for (Box& box : privateBoxes) top.push_back(std::move(box));
    return top;
}

}  // namespace

std::vector<BenchFile> WriteBenchCard(const std::string& folder, int count, std::string& error) {
    std::vector<BenchFile> files;
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (int n = 0; n < count; ++n) {
        const std::uint64_t movieBytes = (50 + next() % 251) * std::uint64_t{1000000};
        const int seconds = static_cast<int>(movieBytes / 1000000 / 5 * 3) + 30;  // ~5 MB per 3 s of 1080p
        const Telemetry telemetry = MakeTelemetry(seconds, n);
        char name[32];
        BenchFile file;
        Blob blob;
        if (n % 2 == 0) {
            std::snprintf(name, sizeof name, "REC%05d.AVI", n % 100000);
            blob = CameraAvi(seconds, movieBytes, telemetry).Render();
        } else {
            std::snprintf(name, sizeof name, "REC%05d_F.MOV", n % 100000);
            blob = RenderBoxes(CameraMov(seconds, movieBytes, telemetry, n % 4 == 1));
        }
        file.name = name;
        file.path = folder + "/" + name;
        file.size = blob.Size();
        if (!blob.WriteFile(file.path, &error)) return {};
        files.push_back(file);
    }
    return files;
}

}  // namespace trivane::bench
