#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/ClipSpan.h"
#include "export/MediaProbe.h"

namespace trivane {

// One segment of a clip with its files.
struct ClipInput {
    std::string frontPath;
    std::string rearPath;  // empty: no rear companion
    MediaInfo front;
    MediaInfo rear;
    ClipSegment segment;
};

// Where the pictures go: the front fills the frame; the rear, scaled to a third of its width with
// a thin white frame, sits in the top right corner.
struct ClipLayout {
    int width = 0;
    int height = 0;
    bool inset = false;
    int insetX = 0;  // the frame's outer corner
    int insetY = 0;
    int insetWidth = 0;  // the picture inside the frame
    int insetHeight = 0;
    int frame = 0;  // its width
};

// Sizes even, as the encoder's 4:2:0 pictures need; the rear's aspect kept.
ClipLayout ComputeClipLayout(int frontWidth, int frontHeight, int rearWidth, int rearHeight);

// The encoder settings: H.264 at constant quality for any player, AAC sound.
inline constexpr const char* kClipVideoEncoder = "libx264";
inline constexpr const char* kClipPreset = "veryfast";
inline constexpr const char* kClipCrf = "23";
inline constexpr const char* kClipAudioBitrate = "128k";

struct ClipCommand {
    std::string ffmpeg;
    std::span<const ClipInput> inputs;
    ClipLayout layout;
    bool audio = false;
    std::string overlayPath;  // ASS document; empty: none
    std::string outputPath;   // written as MP4 whatever its name
    std::int64_t lengthMs = 0;
};

// ffmpeg's arguments: progress as key=value lines on descriptor 3, errors only on standard error.
std::vector<std::string> ClipFfmpegArgs(const ClipCommand& command);

// A value inside a filter graph: escaped for the filter's option parser, then for the graph's.
std::string EscapeFilterValue(std::string_view value);

// Milliseconds as ffmpeg's seconds ("12.345").
std::string FfmpegSeconds(std::int64_t ms);

}  // namespace trivane
