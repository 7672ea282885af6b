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
// for every input, so it lives in memory (/dev/shm) unless TMPDIR says otherwise. Removed at exit.
class Folder {
public:
    Folder() {
        const char* base = std::getenv("TMPDIR");
        std::string root = base != nullptr && *base != '\0' ? base : "/dev/shm";
        if (::access(root.c_str(), W_OK) != 0) root = "/tmp";
        path_ = root + "/trivane-fuzz-XXXXXX";
        if (::mkdtemp(path_.data()) == nullptr) std::abort();
        const int fd = ::open((path_ + "/" + kRecording).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) std::abort();
        ::close(fd);
    }
    ~Folder() {
        ::unlink((path_ + "/" + kRecording).c_str());
        ::unlink(SideFile().c_str());
        ::rmdir(path_.c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& Path() const { return path_; }
    std::string SideFile() const { return path_ + "/20200601_100000F.NMEA"; }

private:
    std::string path_;
};

const Folder& TheFolder() {
    static const Folder folder;
    return folder;
}

void WriteSideFile(const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(TheFolder().SideFile().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
    if (manager.OpenSource(TheFolder().Path(), kRecording) != 1 || manager.Entries().size() != 1) __builtin_trap();
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
