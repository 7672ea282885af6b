#include <signal.h>
#include <stdlib.h>

#include <atomic>
#include <charconv>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>

#include "Commands.h"
#include "InfoJson.h"
#include "export/ClipExport.h"
#include "files/FileSystem.h"
#include "library/CRecordingManager.h"

namespace trivane::inspect {

namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnInterrupt(int) { interrupted.store(true); }

bool ReadMs(std::string_view text, std::int64_t& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() && value >= 0;
}

std::string Absolute(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string out = resolved;
    std::free(resolved);
    return out;
}

const char* FailureName(ClipFailure failure) {
    switch (failure) {
        case ClipFailure::None: return "none";
        case ClipFailure::BadRequest: return "bad-request";
        case ClipFailure::TargetExists: return "target-exists";
        case ClipFailure::TargetFolder: return "target-folder";
        case ClipFailure::TargetIsSource: return "target-is-source";
        case ClipFailure::NoSpace: return "no-space";
        case ClipFailure::SourceUnreadable: return "source-unreadable";
        case ClipFailure::ToolMissing: return "tool-missing";
        case ClipFailure::ToolFailed: return "tool-failed";
        case ClipFailure::Canceled: return "canceled";
    }
    return "unknown";
}

// The recordings the clip may run into: FILE and those after it in its group, from a scan of
// FILE's folder; FILE alone when the scan does not list it.
std::vector<std::string> RecordingsFrom(const std::string& file) {
    const std::string path = Absolute(file);
    CRecordingManager manager;
    manager.OpenSource(ParentFolder(path), std::string());
    const int index = manager.FindEntry(path);
    if (index < 0) return {path};
    return ClipRecordingsFrom(manager, index);
}

}  // namespace

int RunClip(std::span<char* const> args) {
    std::string path;
    std::string out;
    std::int64_t fromMs = -1;
    std::int64_t toMs = -1;
    bool replace = false;
    bool bad = false;
    for (std::size_t i = 0; i < args.size() && !bad; ++i) {
        const std::string_view a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--from") bad = !hasValue || !ReadMs(args[++i], fromMs);
        else if (a == "--to") bad = !hasValue || !ReadMs(args[++i], toMs);
        else if (a == "--out") bad = !hasValue || (out = args[++i]).empty();
        else if (a == "--replace") replace = true;
        else if (path.empty() && !a.empty() && a.front() != '-') path = a;
        else bad = true;
    }
    if (bad || path.empty() || out.empty() || fromMs < 0 || toMs < 0) {
        std::fprintf(stderr, "usage: trivane-inspect clip FILE --from MS --to MS --out CLIP.mp4 [--replace]\n");
        return 2;
    }

    ClipRequest request;
    request.recordings = RecordingsFrom(path);
    request.fromMs = fromMs;
    request.toMs = toMs;
    request.outPath = out;
    request.replaceExisting = replace;

    // Ctrl+C or a TERM cancels: ffmpeg is stopped and nothing is left behind.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);

    int shownPercent = -100;
    const ClipResult result = RunClipExport(
        request,
        [&shownPercent](const ClipProgress& p) {
            const int percent = static_cast<int>(p.fraction * 100);
            if (percent < shownPercent + 5 && (percent < 100 || shownPercent == 100)) return;
            shownPercent = percent;
            if (p.secondsLeft >= 0) std::fprintf(stderr, "clip: %d %%, about %.0f s left\n", percent, p.secondsLeft);
            else std::fprintf(stderr, "clip: %d %%\n", percent);
        },
        interrupted);

    nlohmann::ordered_json json;
    json["result"] = result.ok;
    if (!result.ok) {
        json["error"] = result.message;
        json["failure"] = FailureName(result.failure);
    } else {
        json["clip"] = result.clipPath;
        json["gpx"] = result.gpxPath;
        json["fromMs"] = result.fromMs;
        json["toMs"] = result.toMs;
        json["durationMs"] = result.toMs - result.fromMs;
        json["endedEarly"] = result.endedEarly;
        if (!result.message.empty()) json["warning"] = result.message;
        json["recordings"] = result.recordingsUsed;
        json["rearInset"] = result.rearInset;
        json["audio"] = result.audio;
        json["width"] = result.width;
        json["height"] = result.height;
    }
    PrintJson(json);
    return result.ok ? 0 : 1;
}

}  // namespace trivane::inspect
