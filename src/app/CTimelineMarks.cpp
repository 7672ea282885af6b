#include "app/CTimelineMarks.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "library/CRecordingManager.h"
#include "library/GForceEvents.h"
#include "library/IMapHost.h"
#include "library/MapScripts.h"
#include "playback/CPlaybackController.h"
#include "widgets/CVideoSlider.h"

namespace trivane {

namespace {

constexpr int kSliderRange = 1000;

}  // namespace

CTimelineMarks::CTimelineMarks(CRecordingManager& manager, CPlaybackController& controller, CVideoSlider& slider,
                               double eventThresholdG)
    : manager_(manager),
      controller_(controller),
      slider_(slider),
      eventThresholdG_(eventThresholdG),
      events_(CEventNavigator::TelemetryLoader(eventThresholdG))
{
}

void CTimelineMarks::Reset()
{
    events_.Clear();
    clipMarks_ = {};
}

// Event marks once the recording's length is known; the map is given them with the route's speeds.
void CTimelineMarks::Refresh()
{
    const TelemetryTrack& track = manager_.Track();
    if (track.sourcePath.empty() && mapEventsShown_) {
        if (map_ != nullptr) map_->RunScript(kEventDeleteScript);
        mapEventsShown_ = false;
    }
    std::int64_t time = 0;
    std::int64_t length = 0;
    if (!controller_.ShownPosition(time, length) || length <= 0) {
        marksPath_.clear();
        slider_.SetEventMarks({});
        slider_.SetClipMarks(CVideoSlider::kNoMark, CVideoSlider::kNoMark);
        return;
    }
    const int current = manager_.CurrentIndex();
    const auto position = [&](const std::optional<ClipMark>& mark) {
        if (!mark || !MarkIsIn(manager_, *mark, current)) return CVideoSlider::kNoMark;
        return static_cast<int>(std::clamp<std::int64_t>(mark->timeMs * kSliderRange / length, 0, kSliderRange));
    };
    slider_.SetClipMarks(position(clipMarks_.in), position(clipMarks_.out));
    if (track.sourcePath.empty()) {
        marksPath_.clear();
        slider_.SetEventMarks({});
        return;
    }
    if (track.sourcePath == marksPath_ && length == marksLengthMs_) return;
    marksPath_ = track.sourcePath;
    marksLengthMs_ = length;
    std::vector<GForceEvent> found = DetectGForceEvents(track, eventThresholdG_);
    std::vector<int> positions;
    for (const GForceEvent& event : found) {
        if (event.timeMs <= length) positions.push_back(static_cast<int>(event.timeMs * kSliderRange / length));
    }
    if (map_ != nullptr) {
        map_->RunScript(RouteSpeedsScript(track));
        const std::vector<std::string> scripts = EventMarkScripts(track, found);
        for (const std::string& script : scripts) map_->RunScript(script);
        mapEventsShown_ = scripts.size() > 1;
    }
    events_.Remember(track.sourcePath, std::move(found));
    slider_.SetEventMarks(std::move(positions));
}

// From the picture shown, or from the start of the current recording while none is.
void CTimelineMarks::JumpToEvent(bool forward)
{
    const int index = manager_.CurrentIndex();
    std::int64_t time = 0;
    std::int64_t length = 0;
    if (!controller_.ShownPosition(time, length)) time = forward ? -CEventNavigator::kNextSlackMs - 1 : 0;
    const std::optional<EventStop> stop =
        forward ? events_.Next(manager_, index, time) : events_.Previous(manager_, index, time);
    if (stop) controller_.PlayAt(stop->index, stop->timeMs);
}

void CTimelineMarks::Mark(bool in)
{
    std::int64_t time = 0;
    std::int64_t length = 0;
    if (!controller_.ShownPosition(time, length)) return;
    (in ? clipMarks_.in : clipMarks_.out) = ClipMark{manager_.CurrentIndex(), manager_.CurrentPath(), time};
    if (clipMarks_.in && clipMarks_.out && !ClipRequestFor(manager_, clipMarks_)) {
        (in ? clipMarks_.out : clipMarks_.in).reset();
    }
    Refresh();
}

std::optional<ClipRequest> CTimelineMarks::Request() const { return ClipRequestFor(manager_, clipMarks_); }

}  // namespace trivane
