#include "export/ClipExport.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "export/ClipCommand.h"
#include "export/ClipGpx.h"
#include "export/ClipOverlay.h"
#include "export/ClipSpan.h"
#include "export/FfmpegProgress.h"
#include "export/MediaProbe.h"
#include "export/ProgramRun.h"
#include "files/AtomicFile.h"
#include "files/FileSystem.h"
#include "library/CRecordingManager.h"
#include "library/FrontCompanionPath.h"

namespace trivane {

namespace {

using Clock = std::chrono::steady_clock;

ClipResult Failed(ClipFailure failure, std::string message) {
    ClipResult result;
    result.failure = failure;
    result.message = std::move(message);
    return result;
}

std::string Seconds(std::int64_t ms) { return FfmpegSeconds(ms) + " s"; }

std::string FileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One picture source of the clip: the front file (or the file itself on a one-camera recorder)
// and its rear companion.
struct Recording {
    std::string main;
    std::string rear;
};

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Files the export only reads: the recordings, their companions and side files.
bool IsSourceFile(const std::string& target, const std::vector<Recording>& recordings) {
    for (const Recording& recording : recordings) {
        for (const std::string& path : {recording.main, recording.rear}) {
            if (path.empty()) continue;
            if (SameFile(target, path)) return true;
            const std::size_t dot = path.rfind('.');
            if (dot != std::string::npos && SameFile(target, path.substr(0, dot) + ".NMEA")) return true;
        }
    }
    return false;
}

// A private folder under $TMPDIR for the overlay document, removed with its files.
class ScratchFolder final {
public:
    ScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/trivane-clip-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
        else error_ = errno;
    }
    ~ScratchFolder() {
        for (const std::string& file : files_) ::unlink(file.c_str());
        if (!path_.empty()) ::rmdir(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The file's path, or empty (errno set) when it cannot be written.
    std::string Write(const std::string& name, const std::string& content) {
        if (path_.empty()) {
            errno = error_;
            return {};
        }
        const std::string file = path_ + "/" + name;
        files_.push_back(file);
        return WriteFileAtomically(file, content) ? file : std::string();
    }

private:
    std::string path_;
    int error_ = 0;
    std::vector<std::string> files_;
};

ClipResult ToolNotStarted(const std::string& tool, int error) {
    if (error == ENOENT) {
        return Failed(ClipFailure::ToolMissing, tool + " was not found; it comes with the Debian package ffmpeg");
    }
    return Failed(ClipFailure::ToolMissing, tool + " cannot be started: " + std::strerror(error));
}

bool SaysNoSpace(const std::string& text) {
    return text.find("No space left on device") != std::string::npos ||
           text.find("Disk quota exceeded") != std::string::npos;
}

ClipResult WriteFailure(int error, const std::string& what, const std::string& folder) {
    if (error == ENOSPC || error == EDQUOT) return Failed(ClipFailure::NoSpace, "no space left in " + folder);
    return Failed(ClipFailure::TargetFolder, "cannot write " + what + " in " + folder + ": " + std::strerror(error));
}

struct Probed {
    std::optional<MediaInfo> info;
    std::optional<ClipResult> stop;  // a missing tool or a cancel: the export ends
    std::string error;               // what ffprobe said about a file it cannot read
};

Probed Probe(const ClipTools& tools, const std::string& path, const std::atomic<bool>& cancel) {
    Probed probed;
    const ProgramOutcome outcome = RunProgram(ProbeArgs(tools.ffprobe, path), cancel);
    if (outcome.canceled) probed.stop = Failed(ClipFailure::Canceled, "canceled");
    else if (outcome.startError != 0) probed.stop = ToolNotStarted(tools.ffprobe, outcome.startError);
    else if (outcome.status == 0) probed.info = ParseProbeJson(outcome.output);
    if (!probed.info) probed.error = LastLines(outcome.errorTail, 2, 300);
    return probed;
}

}  // namespace

std::vector<std::string> ClipRecordingsFrom(const CRecordingManager& manager, int index) {
    std::vector<std::string> paths;
    if (index < 0 || static_cast<std::size_t>(index) >= manager.Entries().size()) return paths;
    for (const RecordingGroup& group : manager.Groups()) {
        if (index < group.firstIndex || index >= group.firstIndex + group.count) continue;
        for (int i = index; i < group.firstIndex + group.count; ++i) paths.push_back(manager.FullPath(i));
        return paths;
    }
    paths.push_back(manager.FullPath(index));
    return paths;
}

std::string ClipGpxPath(const std::string& clipPath) {
    const std::size_t slash = clipPath.rfind('/');
    const std::size_t dot = clipPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? clipPath.substr(0, dot) : clipPath) + ".gpx";
}

ClipResult RunClipExport(const ClipRequest& request, const ClipProgressFn& progress, const std::atomic<bool>& cancel) {
    // The request.
    if (request.recordings.empty()) return Failed(ClipFailure::BadRequest, "no recording given");
    if (request.toRecording >= request.recordings.size()) {
        return Failed(ClipFailure::BadRequest, "the range ends in a recording that is not given");
    }
    // Times beyond about 30 years are no recording's.
    constexpr std::int64_t kLongestMs = std::int64_t{1} << 40;
    if (request.fromMs < 0 || request.toMs < 0 || request.fromMs > kLongestMs || request.toMs > kLongestMs) {
        return Failed(ClipFailure::BadRequest, "the range has a negative or impossible time");
    }
    const std::string& clipPath = request.outPath;
    if (clipPath.empty() || clipPath.back() == '/') return Failed(ClipFailure::BadRequest, "no clip file name given");
    const std::string gpxPath = ClipGpxPath(clipPath);
    if (gpxPath == clipPath) return Failed(ClipFailure::BadRequest, "the clip cannot be named like its GPX file");
    const std::string folder = ParentFolder(clipPath);
    if (!IsDirectory(folder)) return Failed(ClipFailure::TargetFolder, "the folder " + folder + " does not exist");

    // The recordings: a rear file stands for its pair, and a pair is taken once.
    std::vector<Recording> recordings;
    std::vector<std::size_t> recordingOf;
    for (const std::string& path : request.recordings) {
        Recording recording;
        recording.main = FrontCompanionPath(path);
        if (recording.main.empty()) recording.main = path;
        recording.rear = RearCompanionPath(path);
        if (recording.rear == recording.main) recording.rear.clear();
        if (recordings.empty() || recordings.back().main != recording.main) recordings.push_back(recording);
        recordingOf.push_back(recordings.size() - 1);
    }
    if (!IsRegularFile(recordings.front().main)) {
        return Failed(ClipFailure::SourceUnreadable, recordings.front().main + " is not a recording file");
    }

    // The targets: never a source, never over a file without the user's word.
    for (const std::string& target : {clipPath, gpxPath}) {
        if (IsSourceFile(target, recordings)) {
            return Failed(ClipFailure::TargetIsSource, target + " is one of the recordings' files");
        }
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0 && !request.replaceExisting) {
            return Failed(ClipFailure::TargetExists, target + " already exists");
        }
    }
    AtomicFile clipFile;
    if (!clipFile.Open(clipPath)) return WriteFailure(errno, FileName(clipPath), folder);

    // Lengths as the media reports them, as far as the range needs.
    std::vector<std::int64_t> lengths;
    std::vector<MediaInfo> media;
    std::string unreadable;
    std::int64_t start = 0;
    std::optional<std::int64_t> endMs;
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (endMs && start >= std::max(*endMs, request.fromMs + kMinClipMs)) break;
        // A folder or a FIFO under a recording's name would leave ffprobe waiting.
        if (!IsRegularFile(recordings[i].main)) {
            unreadable = recordings[i].main;
            break;
        }
        Probed probed = Probe(request.tools, recordings[i].main, cancel);
        if (probed.stop) return *probed.stop;
        if (!probed.info) {
            if (i == 0) {
                return Failed(ClipFailure::SourceUnreadable,
                              "ffprobe cannot read " + recordings[i].main +
                                  (probed.error.empty() ? "" : ": " + probed.error));
            }
            unreadable = recordings[i].main;  // the clip ends where it begins
            break;
        }
        if (i == recordingOf[request.toRecording]) endMs = start + request.toMs;
        lengths.push_back(probed.info->durationMs);
        media.push_back(*probed.info);
        start += probed.info->durationMs;
    }
    const ClipSpan span = PlanClipSpan(lengths, request.fromMs, endMs.value_or(INT64_MAX));
    if (span.segments.empty()) {
        if (request.fromMs + kMinClipMs > span.recordingsMs) {
            return Failed(ClipFailure::BadRequest, "the range starts at " + Seconds(request.fromMs) +
                                                       ", too close to or after the end of the recordings at " +
                                                       Seconds(span.recordingsMs));
        }
        return Failed(ClipFailure::BadRequest, "the range is empty or shorter than " + Seconds(kMinClipMs));
    }

    // Pictures, sound and telemetry of each segment.
    std::vector<ClipInput> inputs;
    std::vector<std::unique_ptr<CRecordingManager>> telemetry;
    std::vector<OverlaySource> sources;
    MediaInfo rearShape;
    bool audio = false;
    for (const ClipSegment& segment : span.segments) {
        const Recording& recording = recordings[segment.recording];
        ClipInput input;
        input.frontPath = recording.main;
        input.front = media[segment.recording];
        input.segment = segment;
        if (!recording.rear.empty()) {
            Probed probed = Probe(request.tools, recording.rear, cancel);
            if (probed.stop) return *probed.stop;
            if (probed.info) {
                input.rearPath = recording.rear;
                input.rear = *probed.info;
                if (rearShape.width == 0) rearShape = *probed.info;
            }
        }
        audio = audio || input.front.hasAudio;
        inputs.push_back(input);

        auto manager = std::make_unique<CRecordingManager>();
        const std::string& path = recording.main;
        const std::size_t slash = path.rfind('/');
        manager->OpenSource(slash == std::string::npos ? "." : path.substr(0, slash),
                            slash == std::string::npos ? path : path.substr(slash + 1));
        const bool loaded = !manager->Entries().empty() && manager->LoadTelemetry(0);
        OverlaySource source;
        source.track = loaded ? &manager->Track() : nullptr;
        source.startTime = manager->Entries().empty() ? 0 : manager->Entries().front().info.startTime;
        source.segment = segment;
        sources.push_back(source);
        telemetry.push_back(std::move(manager));
    }
    const ClipLayout layout = ComputeClipLayout(inputs.front().front.width, inputs.front().front.height,
                                                rearShape.width, rearShape.height);

    ScratchFolder scratch;
    const std::string overlayPath = scratch.Write("overlay.ass", OverlayDocument(sources, layout.width, layout.height));
    if (overlayPath.empty()) {
        return Failed(ClipFailure::TargetFolder, std::string("cannot write the overlay in the temporary folder: ") +
                                                     std::strerror(errno));
    }
    AtomicFile gpxFile;
    if (!gpxFile.Open(gpxPath) || !gpxFile.Write(ClipGpxDocument(FileName(clipPath), CollectClipFixes(sources)))) {
        return WriteFailure(errno, FileName(gpxPath), folder);
    }

    // The encoding.
    ClipCommand command;
    command.ffmpeg = request.tools.ffmpeg;
    command.inputs = inputs;
    command.layout = layout;
    command.audio = audio;
    command.overlayPath = overlayPath;
    command.outputPath = clipFile.TemporaryPath();
    command.lengthMs = span.LengthMs();

    FfmpegProgress reader;
    const auto began = Clock::now();
    auto report = [&](std::int64_t doneMs) {
        if (!progress) return;
        ClipProgress p;
        p.totalMs = span.LengthMs();
        p.doneMs = std::clamp<std::int64_t>(doneMs, 0, p.totalMs);
        p.fraction = static_cast<double>(p.doneMs) / static_cast<double>(p.totalMs);
        const double elapsed = std::chrono::duration<double>(Clock::now() - began).count();
        // An estimate once a little has been done and time has passed to measure it by.
        if (p.fraction >= 1) p.secondsLeft = 0;
        else if (p.fraction >= 0.02 && elapsed >= 0.5) p.secondsLeft = elapsed * (1 - p.fraction) / p.fraction;
        progress(p);
    };
    report(0);
    const ProgramOutcome outcome = RunProgram(ClipFfmpegArgs(command), cancel, [&](std::string_view data) {
        if (reader.Feed(data)) report(reader.OutTimeUs() / 1000);
    });
    if (outcome.canceled) return Failed(ClipFailure::Canceled, "canceled");
    if (outcome.startError != 0) return ToolNotStarted(request.tools.ffmpeg, outcome.startError);
    const std::string said = LastLines(outcome.errorTail, 4, 600);
    if (SaysNoSpace(outcome.errorTail)) return Failed(ClipFailure::NoSpace, "no space left in " + folder);
    struct stat written {};
    if (outcome.status != 0 || ::stat(clipFile.TemporaryPath().c_str(), &written) != 0 || written.st_size == 0) {
        return Failed(ClipFailure::ToolFailed, "ffmpeg failed (exit status " + std::to_string(outcome.status) + ")" +
                                                   (said.empty() ? std::string() : ": " + said));
    }

    // Into place: the GPX file first, so that a clip under its name always has its GPX beside it.
    const bool gpxPlaced = request.replaceExisting ? gpxFile.Commit() : gpxFile.CommitNoReplace();
    if (!gpxPlaced) {
        if (errno == EEXIST) return Failed(ClipFailure::TargetExists, gpxPath + " already exists");
        return WriteFailure(errno, FileName(gpxPath), folder);
    }
    if (!(request.replaceExisting ? clipFile.Commit() : clipFile.CommitNoReplace())) {
        const int error = errno;
        ::unlink(gpxPath.c_str());
        if (error == EEXIST) return Failed(ClipFailure::TargetExists, clipPath + " already exists");
        return WriteFailure(error, FileName(clipPath), folder);
    }
    report(span.LengthMs());

    ClipResult result;
    result.ok = true;
    result.clipPath = clipPath;
    result.gpxPath = gpxPath;
    result.fromMs = span.fromMs;
    result.toMs = span.toMs;
    result.endedEarly = span.endedEarly;
    result.recordingsUsed = span.segments.size();
    result.rearInset = layout.inset;
    result.audio = audio;
    result.width = layout.width;
    result.height = layout.height;
    if (span.endedEarly) {
        result.message = "the recordings end " + Seconds(span.recordingsMs) +
                         " after the clip's first recording starts" +
                         (unreadable.empty() ? std::string() : " (" + unreadable + " cannot be read)") +
                         "; the clip stops there and lasts " + Seconds(span.LengthMs());
    }
    return result;
}

}  // namespace trivane
