#include "app/CEventNavigator.h"

#include <utility>

#include "library/CRecordingManager.h"
#include "library/FrontCompanionPath.h"

namespace trivane {

namespace {

// The name a recording's events are kept under: its front file when it has one.
std::string RecordingKey(const std::string& path) {
    std::string front = FrontCompanionPath(path);
    return front.empty() ? path : front;
}

// The first and one past the last entry of the group holding `index`; the entry alone when no
// group holds it.
std::pair<int, int> GroupSpan(const CRecordingManager& manager, int index) {
    for (const RecordingGroup& group : manager.Groups()) {
        if (index >= group.firstIndex && index < group.firstIndex + group.count) {
            return {group.firstIndex, group.firstIndex + group.count};
        }
    }
    return {index, index + 1};
}

bool InCatalogue(const CRecordingManager& manager, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < manager.Entries().size();
}

}  // namespace

CEventNavigator::CEventNavigator(Loader loader) : loader_(std::move(loader)) {}

CEventNavigator::Loader CEventNavigator::TelemetryLoader(double thresholdG) {
    return [thresholdG](const std::string& path) {
        CRecordingManager scratch;
        const std::size_t slash = path.rfind('/');
        scratch.OpenSource(slash == std::string::npos ? "." : path.substr(0, slash),
                           slash == std::string::npos ? path : path.substr(slash + 1));
        if (scratch.Entries().empty() || !scratch.LoadTelemetry(0)) return std::vector<GForceEvent>{};
        return DetectGForceEvents(scratch.Track(), thresholdG);
    };
}

void CEventNavigator::Remember(const std::string& path, std::vector<GForceEvent> events) {
    events_[RecordingKey(path)] = std::move(events);
}

void CEventNavigator::Clear() { events_.clear(); }

const std::vector<GForceEvent>& CEventNavigator::EventsOf(const CRecordingManager& manager, int index) {
    static const std::vector<GForceEvent> kNone;
    if (!InCatalogue(manager, index)) return kNone;
    const std::string path = manager.FullPath(index);
    const std::string key = RecordingKey(path);
    auto it = events_.find(key);
    if (it == events_.end()) it = events_.emplace(key, loader_ ? loader_(path) : std::vector<GForceEvent>{}).first;
    return it->second;
}

std::optional<EventStop> CEventNavigator::Next(const CRecordingManager& manager, int index, std::int64_t timeMs) {
    if (!InCatalogue(manager, index)) return std::nullopt;
    for (const GForceEvent& event : EventsOf(manager, index)) {
        if (event.timeMs > timeMs + kNextSlackMs) return EventStop{index, event.timeMs};
    }
    const std::string current = RecordingKey(manager.FullPath(index));
    const int end = GroupSpan(manager, index).second;
    for (int i = index + 1; i < end; ++i) {
        if (RecordingKey(manager.FullPath(i)) == current) continue;
        const std::vector<GForceEvent>& events = EventsOf(manager, i);
        if (!events.empty()) return EventStop{i, events.front().timeMs};
    }
    return std::nullopt;
}

std::optional<EventStop> CEventNavigator::Previous(const CRecordingManager& manager, int index,
                                                   std::int64_t timeMs) {
    if (!InCatalogue(manager, index)) return std::nullopt;
    const std::vector<GForceEvent>& own = EventsOf(manager, index);
    for (auto it = own.rbegin(); it != own.rend(); ++it) {
        if (it->timeMs < timeMs - kPreviousSlackMs) return EventStop{index, it->timeMs};
    }
    const std::string current = RecordingKey(manager.FullPath(index));
    const int begin = GroupSpan(manager, index).first;
    for (int i = index - 1; i >= begin; --i) {
        if (RecordingKey(manager.FullPath(i)) == current) continue;
        const std::vector<GForceEvent>& events = EventsOf(manager, i);
        if (!events.empty()) return EventStop{i, events.back().timeMs};
    }
    return std::nullopt;
}

}  // namespace trivane
