#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "export/ClipRequest.h"

namespace trivane {

class CRecordingManager;

// A place marked for a clip: a catalogue entry, its full path and a time in it. A mark whose entry
// no longer holds that path (entries were deleted) marks nothing.
struct ClipMark {
    int index = -1;
    std::string path;
    std::int64_t timeMs = 0;
};

// The in and out marks the user set on the slider, each in whichever recording was on show.
struct ClipMarks {
    std::optional<ClipMark> in;
    std::optional<ClipMark> out;
};

// The request for the marked range: both marks set, in the same group, the out mark after the in
// mark (the two files of a pair count as one recording). Nothing otherwise. The caller fills in
// the target.
std::optional<ClipRequest> ClipRequestFor(const CRecordingManager& manager, const ClipMarks& marks);

// Whether a mark lies in the recording of catalogue entry `index` (either file of a pair).
bool MarkIsIn(const CRecordingManager& manager, const ClipMark& mark, int index);

}  // namespace trivane
