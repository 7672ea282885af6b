#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/CEventNavigator.h"
#include "app/ClipMarks.h"
#include "export/ClipRequest.h"

namespace trivane {

class CPlaybackController;
class CRecordingManager;
class CVideoSlider;
class IMapHost;

// What the window marks on the recording it shows: the loaded recording's G-force events on the
// position slider and, with the route's speeds, on the map page; the jumps to the next or
// previous event of the group; the in and out marks of a clip and the request for their range.
class CTimelineMarks final {
public:
    CTimelineMarks(CRecordingManager& manager, CPlaybackController& controller, CVideoSlider& slider,
                   double eventThresholdG);

    void SetMapHost(IMapHost* host) { map_ = host; }
    // After each position the controller shows: the marks of the recording on show.
    void Refresh();
    // A new catalogue: events are read afresh and the clip marks go.
    void Reset();

    void JumpToEvent(bool forward);
    // At the picture shown; a mark that would leave the range empty drops the other one.
    void Mark(bool in);
    const ClipMarks& Marks() const { return clipMarks_; }
    std::optional<ClipRequest> Request() const;

private:
    CRecordingManager& manager_;
    CPlaybackController& controller_;
    CVideoSlider& slider_;
    IMapHost* map_ = nullptr;
    double eventThresholdG_;
    CEventNavigator events_;
    ClipMarks clipMarks_;
    std::string marksPath_;  // the recording whose events are shown
    std::int64_t marksLengthMs_ = 0;
    bool mapEventsShown_ = false;  // the map page was given event marks
};

}  // namespace trivane
