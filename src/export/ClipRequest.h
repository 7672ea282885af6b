#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace trivane {

// The programs a clip export runs, found on PATH unless given with a '/'.
struct ClipTools {
    std::string ffmpeg = "ffmpeg";
    std::string ffprobe = "ffprobe";
};

// A clip of the front picture, the rear one inset when the recording has a rear companion, and the
// telemetry burned in; the same telemetry as a GPX file beside it.
struct ClipRequest {
    // Full paths: the recording the clip starts in, then the recordings after it in its group (a
    // rear file stands for its pair). Each counts for its length as the media reports it.
    std::vector<std::string> recordings;
    // Start, from the start of recordings[0]; past its end it lies in the recordings after it.
    std::int64_t fromMs = 0;
    // End (exclusive), from the start of recordings[toRecording]: a window that marks the end while
    // playing a later recording of the group gives that recording's index and its playback time.
    // Past that recording's end it runs on into those after it.
    std::int64_t toMs = 0;
    std::size_t toRecording = 0;
    // The clip; the GPX file takes its name with the extension ".gpx".
    std::string outPath;
    // The user agreed to replace files already under either name.
    bool replaceExisting = false;
    ClipTools tools;
};

struct ClipProgress {
    double fraction = 0;       // 0 to 1 of the clip encoded
    std::int64_t doneMs = 0;   // clip time encoded
    std::int64_t totalMs = 0;  // clip length
    double secondsLeft = -1;   // estimate; negative while there is none
};

enum class ClipFailure {
    None,
    BadRequest,     // no recording, an empty or negative range, a range that starts after the recordings end
    TargetExists,   // a file is under the clip's or the GPX file's name and replacing was not agreed;
                    // found before any work, so a window can ask and run again with replaceExisting
    TargetFolder,   // the folder cannot be written (missing, read-only, not a folder)
    TargetIsSource, // the clip or the GPX file would replace a recording or its side file
    NoSpace,        // the disk filled up while writing
    SourceUnreadable,
    ToolMissing,    // ffmpeg or ffprobe cannot be started
    ToolFailed,     // ffmpeg ended with an error; the message holds the end of what it said
    Canceled,
};

struct ClipResult {
    bool ok = false;
    ClipFailure failure = ClipFailure::None;
    std::string message;  // why it failed; on success, a note when the recordings ended early
    std::string clipPath;
    std::string gpxPath;
    // What was exported, from the start of recordings[0]: the request's range, or less when the
    // recordings end before its end (endedEarly).
    std::int64_t fromMs = 0;
    std::int64_t toMs = 0;
    bool endedEarly = false;
    std::size_t recordingsUsed = 0;
    bool rearInset = false;
    bool audio = false;  // false: the clip has no audio stream (no recording in it has sound)
    int width = 0;
    int height = 0;
};

}  // namespace trivane
