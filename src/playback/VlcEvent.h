#pragma once

#include <cstdint>

namespace trivane {

class CVlcPlayer;

// The player events a channel subscribes to; the values are libVLC's own event type numbers.
enum class VlcEventType : int {
    MediaStateChanged = 5,
    MediaPlayerMediaChanged = 0x100,
    MediaPlayerOpening = 0x102,
    MediaPlayerBuffering = 0x103,
    MediaPlayerPlaying = 0x104,
    MediaPlayerPaused = 0x105,
    MediaPlayerStopped = 0x106,
    MediaPlayerEndReached = 0x109,
    MediaPlayerEncounteredError = 0x10A,
    MediaPlayerTimeChanged = 0x10B,
    MediaPlayerPositionChanged = 0x10C,
    MediaPlayerSeekableChanged = 0x10D,
};

// A copy of one libVLC event. Only the fields that belong to the event type are meaningful,
// except lengthMs, which always carries the latest length libVLC reported for the current
// media (-1 before any), so a handler needs no libVLC call to place a time on a slider.
struct VlcEvent {
    VlcEventType type = VlcEventType::MediaPlayerOpening;
    const CVlcPlayer* channel = nullptr;
    std::int64_t timeMs = -1;    // MediaPlayerTimeChanged
    std::int64_t lengthMs = -1;  // every event
    float position = 0.0f;       // MediaPlayerPositionChanged
    float bufferingPercent = 0.0f;  // MediaPlayerBuffering
    int seekable = 0;            // MediaPlayerSeekableChanged
};

// Receives a channel's events. Called on libVLC's threads and, for time changes caused by
// SetTime, for Stopped and around snapshots, synchronously on the thread that made the call.
// An implementation must only copy the event and post it: calling back into the player
// (stop or release deadlock forever) or waiting for another thread is not allowed.
class IVlcEventSink {
public:
    virtual void OnVlcEvent(const VlcEvent& event) noexcept = 0;

protected:
    ~IVlcEventSink() = default;
};

}  // namespace trivane
