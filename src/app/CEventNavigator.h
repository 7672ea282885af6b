#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "library/GForceEvents.h"

namespace trivane {

class CRecordingManager;

// Where a jump to an event goes: a catalogue entry and a time in it.
struct EventStop {
    int index = -1;
    std::int64_t timeMs = 0;

    bool operator==(const EventStop&) const = default;
};

// The G-force events of the catalogue's recordings, found once per recording, and the next or
// previous one from a place in a group: within the recording, then in the recordings after
// (before) it in the same group. A front/rear pair is one recording: its two entries share their
// events and a step never lands on the other file of the pair.
class CEventNavigator final {
public:
    // The events of the recording at a full path; an unreadable one has none.
    using Loader = std::function<std::vector<GForceEvent>(const std::string& path)>;

    // A jump forward passes events this close after the place, so "next" at an event moves on.
    static constexpr std::int64_t kNextSlackMs = 250;
    // A jump back passes events this close before the place, so "previous" while an event plays
    // goes to the one before it.
    static constexpr std::int64_t kPreviousSlackMs = 1500;

    explicit CEventNavigator(Loader loader);
    // A loader that reads the recording's telemetry with its own catalogue and detects over
    // `thresholdG`.
    static Loader TelemetryLoader(double thresholdG);

    // Events found elsewhere (the window's loaded track), kept for `path`.
    void Remember(const std::string& path, std::vector<GForceEvent> events);
    // Forgets every recording's events (a new source).
    void Clear();
    const std::vector<GForceEvent>& EventsOf(const CRecordingManager& manager, int index);

    std::optional<EventStop> Next(const CRecordingManager& manager, int index, std::int64_t timeMs);
    std::optional<EventStop> Previous(const CRecordingManager& manager, int index, std::int64_t timeMs);

private:
    Loader loader_;
    std::map<std::string, std::vector<GForceEvent>> events_;
};

}  // namespace trivane
