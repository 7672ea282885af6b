#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <span>
#include <string_view>
#include <variant>

#include "library/CRecordingManager.h"
#include "library/FrontCompanionPath.h"
#include "library/IMapHost.h"
#include "library/MapScripts.h"
#include "telemetry/ByteSource.h"
#include "telemetry/IGSensorCurve.h"
#include "telemetry/LocalTime.h"
#include "telemetry/NmeaToDegrees.h"
#include "telemetry/SentenceDecoder.h"

namespace trivane {

static_assert(std::endian::native == std::endian::little, "fix and sample records are copied as stored");

namespace {

// Longest side-file line decoded; a longer one cannot be a sentence of the recorder and is ignored.
constexpr std::size_t kMaxLineLength = 4096;

// Cursor tracking is on unless the start lies in local years after 2109.
bool CursorTracking(std::int64_t startTime) {
    const auto local = UnixToLocal(startTime);
    return !local.has_value() || local->tm_year + 1900 <= 2109;
}

void PlotRoute(IMapHost* map, const std::vector<GpsFix>& fixes) {
    if (map == nullptr) return;
    for (const GpsFix& fix : fixes) {
        if (!fix.IsValid() || !IsMappable(fix)) continue;
        map->RunScript(PathPlotScript(NmeaToDegrees(fix.latitudeNmea / 100), NmeaToDegrees(fix.longitudeNmea / 100)));
    }
}

// Reads the side file line by line. False on an I/O error; a missing file is simply no lines.
bool ReadSideFile(const std::string& path, std::vector<GpsFix>& fixes, std::vector<GSensorSample>& samples) {
    // Only a regular file is read: a FIFO or device in its place must not block the player.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return true;
    struct stat st {};
    std::FILE* file = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        ::close(fd);
        return true;
    }
    std::string line;
    bool overlong = false;
    auto finishLine = [&] {
        if (!overlong) {
            std::string_view text = line;
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);  // text-mode line ends
            const DecodedSentence decoded = DecodeSentence(text);
            if (const auto* fix = std::get_if<GpsFix>(&decoded)) fixes.push_back(*fix);
            else if (const auto* sample = std::get_if<GSensorSample>(&decoded)) samples.push_back(*sample);
        }
        line.clear();
        overlong = false;
    };
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        for (std::size_t i = 0; i < got; ++i) {
            if (buffer[i] == '\n') {
                finishLine();
            } else if (line.size() < kMaxLineLength) {
                line.push_back(buffer[i]);
            } else {
                overlong = true;
            }
        }
        if (got < sizeof buffer) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    if (ok && (!line.empty() || overlong)) finishLine();
    std::fclose(file);
    return ok;
}

// Reads exactly `size` bytes at `offset`; false on an I/O error or a short read.
bool ReadExactly(FileSource& source, std::uint64_t offset, std::span<std::byte> target) {
    std::size_t done = 0;
    while (done < target.size()) {
        const std::int64_t got = source.ReadAt(offset + done, target.subspan(done));
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool FitsInFile(std::uint64_t offset, std::uint32_t size, std::uint64_t length) {
    return size != 0 && offset <= length && size <= length - offset;
}

}  // namespace

bool CRecordingManager::LoadTelemetry(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return false;
    if (map_ != nullptr) {
        map_->RunScript(kDrivenPathDeleteScript);
        map_->RunScript(kPathDeleteScript);
    }
    track_.fixStore.clear();
    track_.fixStore.shrink_to_fit();
    track_.gsensorStore.clear();
    track_.gsensorStore.shrink_to_fit();
    track_.gsensorRange = 0;
    track_.gsensorSamplesPerMs = 0;
    track_.currentIndex = index;
    track_.sourcePath.clear();
    currentIndex_ = index;

    const RecordingEntry& entry = entries_[static_cast<std::size_t>(index)];
    const std::string path = FullPath(index);
    const std::string_view name = entry.fileName;
    const std::string_view tail = name.size() <= 3 ? name : name.substr(name.size() - 3);
    if (tail == ".TS") {
        LoadSideFile(path, entry.info.startTime);
    } else if (!LoadContainer(path, entry.info)) {
        return false;
    }
    track_.sourcePath = path;
    return true;
}

void CRecordingManager::LoadSideFile(const std::string& recordingPath, std::int64_t startTime) {
    if (curve_ != nullptr) {
        curve_->ResetSamples();
        curve_->SetGRange(2);
        curve_->ResetSamples();
    }
    // Without a front file there is no side file: the bare ".NMEA" is never looked up.
    const std::string companion = FrontCompanionPath(recordingPath);
    const std::string sidePath = companion.empty() ? std::string() : companion.substr(0, companion.size() - 3) + ".NMEA";

    std::vector<GpsFix> fixes;
    std::vector<GSensorSample> samples;
    if (!sidePath.empty() && !ReadSideFile(sidePath, fixes, samples)) {
        // Only a completely read file counts.
        fixes.clear();
        samples.clear();
    }
    if (curve_ != nullptr) {
        for (const GSensorSample& sample : samples) curve_->AppendSample(sample);
    }
    track_.fixStore = std::move(fixes);
    track_.gsensorStore.resize(samples.size() * kGSensorSampleSize);
    if (!samples.empty()) {
        std::memcpy(track_.gsensorStore.data(), samples.data(), track_.gsensorStore.size());
        track_.gsensorRange = 2;
        track_.gsensorSamplesPerMs = 0.001;
    }

    if (curve_ != nullptr) {
        curve_->SetSampleRate(0.001);
        curve_->SetCursorTracking(CursorTracking(startTime));
    }
    if (!track_.fixStore.empty()) track_.fixRate = 1.0;
    PlotRoute(map_, track_.fixStore);
}

bool CRecordingManager::LoadContainer(const std::string& recordingPath, const ContainerInfo& info) {
    FileSource source;
    if (!source.Open(recordingPath)) return false;
    const std::uint64_t length = source.Size();
    if (curve_ != nullptr) curve_->ResetSamples();

    if (FitsInFile(info.gsensorOffset, info.gsensorSize, length)) {
        std::vector<std::uint8_t> store(info.gsensorSize);
        if (ReadExactly(source, info.gsensorOffset, std::as_writable_bytes(std::span(store)))) {
            track_.gsensorStore = std::move(store);
            const std::size_t n = track_.gsensorStore.size() / kGSensorSampleSize;
            double rate = info.gsensorRateWord[0] / 500.0;
            if (rate == 0) {
                // Without a duration the count says nothing about the rate: assume one per second
                // rather than hand the curve an infinite or undefined rate.
                rate = info.durationMs != 0 ? static_cast<double>(n) / info.durationMs : 0.001;
            }
            track_.gsensorRange = info.gsensorRateWord[1] != 0 ? info.gsensorRateWord[1] : 8;
            track_.gsensorSamplesPerMs = rate;
            if (curve_ != nullptr) {
                curve_->SetGRange(info.gsensorRateWord[1]);
                curve_->ResetSamples();
                for (std::size_t i = 0; i < n; ++i) {
                    GSensorSample sample;
                    std::memcpy(&sample, track_.gsensorStore.data() + i * kGSensorSampleSize, kGSensorSampleSize);
                    curve_->AppendSample(sample);
                }
                curve_->SetSampleRate(rate);
                curve_->SetCursorTracking(CursorTracking(info.startTime));
            }
        }
    }

    if (FitsInFile(info.gpsOffset, info.gpsSize, length)) {
        std::vector<GpsFix> fixes(info.gpsSize / kGpsFixSize);
        if (ReadExactly(source, info.gpsOffset, std::as_writable_bytes(std::span(fixes)))) {
            track_.fixStore = std::move(fixes);
            track_.fixRate = info.gpsRateWord[0] != 0 ? info.gpsRateWord[0] : 1.0;
            PlotRoute(map_, track_.fixStore);
        }
    }
    return true;
}

}  // namespace trivane
