#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace trivane {

// The part of one recording that goes into a clip.
struct ClipSegment {
    std::size_t recording = 0;   // index in the lengths given to PlanClipSpan
    std::int64_t inMs = 0;       // start within the recording
    std::int64_t lengthMs = 0;
    std::int64_t clipStartMs = 0;  // where it begins in the clip
};

struct ClipSpan {
    std::vector<ClipSegment> segments;  // empty when the range holds nothing
    std::int64_t fromMs = 0;            // the range exported, from the start of the first recording
    std::int64_t toMs = 0;
    bool endedEarly = false;            // the recordings end before the range does
    std::int64_t recordingsMs = 0;      // the recordings' lengths added up

    std::int64_t LengthMs() const { return toMs - fromMs; }
};

// A clip shorter than this is refused: it would hold hardly a frame.
inline constexpr std::int64_t kMinClipMs = 100;

// Cuts [fromMs, toMs), counted from the start of the first of recordings played back to back,
// into segments. A range that runs past the last recording ends with it (endedEarly); one that
// starts after it, is empty or would be shorter than kMinClipMs gives no segment.
ClipSpan PlanClipSpan(std::span<const std::int64_t> lengthsMs, std::int64_t fromMs, std::int64_t toMs);

}  // namespace trivane
