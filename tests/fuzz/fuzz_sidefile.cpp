// A ".NMEA" side file taken the whole way a TS recording's telemetry goes: loaded through the
// catalogue, followed by the playback-time sync and the map, and written as a GPX route.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/GpxWriter.h"
#include "library/CRecordingManager.h"
#include "recorders/Recorders.h"

namespace {

constexpr const char* kRecording = "20200601_100000F.TS";

// A folder of its own holding an empty front recording; the side file beside it is rewritten
// for every input.
const std::string& Folder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/trivane-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        const int fd = ::open((pattern + "/" + kRecording).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) std::abort();
        ::close(fd);
        return pattern;
    }();
    return folder;
}

void WriteSideFile(const std::uint8_t* data, std::size_t size) {
    const std::string path = Folder() + "/20200601_100000F.NMEA";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteSideFile(data, size);
    trivane::CRecordingManager manager;
    trivane::recorders::RecordingMapHost map;
    trivane::recorders::RecordingCurve curve;
    trivane::recorders::RecordingOwner owner;
    manager.SetMapHost(&map);
    manager.SetGSensorCurve(&curve);
    manager.SetOwnerWindow(&owner);
    if (manager.OpenSource(Folder(), kRecording) != 1 || manager.Entries().size() != 1) __builtin_trap();
    manager.LoadTelemetry(0);

    const auto& track = manager.Track();
    std::size_t lines = 1;
    for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n' ? 1 : 0;
    if (track.fixStore.size() > lines) __builtin_trap();  // at most one fix a line
    for (const std::int64_t t : {-1LL, 0LL, 999LL, 1000LL, 61'000LL, 3'600'000LL, 1LL << 40}) {
        const int shown = manager.UpdateTelemetryAt(t, true, true);
        if (shown != 0 && shown != 1) __builtin_trap();
    }
    manager.ReplotDrivenPath(2000);

    trivane::GpxTrack gpx;
    gpx.name = manager.Entries()[0].fileName;
    gpx.fixes = &track.fixStore;
    gpx.fixRate = track.EffectiveFixRate();
    gpx.startTime = manager.Entries()[0].info.startTime;
    const std::string document = trivane::GpxDocument(gpx);
    if (document.find("</gpx>") == std::string::npos) __builtin_trap();
    return 0;
}
