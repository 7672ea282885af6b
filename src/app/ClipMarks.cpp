#include "app/ClipMarks.h"

#include <string>

#include "export/ClipExport.h"
#include "library/CRecordingManager.h"
#include "library/FrontCompanionPath.h"

namespace trivane {

namespace {

bool InCatalogue(const CRecordingManager& manager, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < manager.Entries().size();
}

bool StillThere(const CRecordingManager& manager, const ClipMark& mark) {
    return InCatalogue(manager, mark.index) && manager.FullPath(mark.index) == mark.path;
}

std::string RecordingKey(const CRecordingManager& manager, int index) {
    const std::string path = manager.FullPath(index);
    std::string front = FrontCompanionPath(path);
    return front.empty() ? path : front;
}

}  // namespace

bool MarkIsIn(const CRecordingManager& manager, const ClipMark& mark, int index) {
    if (!StillThere(manager, mark) || !InCatalogue(manager, index)) return false;
    return mark.index == index || RecordingKey(manager, mark.index) == RecordingKey(manager, index);
}

std::optional<ClipRequest> ClipRequestFor(const CRecordingManager& manager, const ClipMarks& marks) {
    if (!marks.in || !marks.out) return std::nullopt;
    const ClipMark& in = *marks.in;
    const ClipMark& out = *marks.out;
    if (!StillThere(manager, in) || !StillThere(manager, out)) return std::nullopt;
    ClipRequest request;
    request.recordings = ClipRecordingsFrom(manager, in.index);
    request.fromMs = in.timeMs;
    request.toMs = out.timeMs;
    if (MarkIsIn(manager, out, in.index)) {
        // The other file of the pair counts as the same recording.
        if (out.timeMs <= in.timeMs) return std::nullopt;
        request.toRecording = 0;
        return request;
    }
    if (out.index < in.index) return std::nullopt;
    request.toRecording = static_cast<std::size_t>(out.index - in.index);
    // The out mark's recording is in the in mark's group.
    if (request.toRecording >= request.recordings.size()) return std::nullopt;
    return request;
}

}  // namespace trivane
