#pragma once

#include "Xvfb.h"
#include "playback/CVlcPlayer.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace trivane::testing {

using Clock = std::chrono::steady_clock;

// Aborts the process when a test outlives its budget, so a deadlock in libVLC fails fast.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds budget);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

struct TimedEvent {
    VlcEvent event;
    Clock::time_point at;
};

// Keeps every event with its arrival time; the test thread waits on it.
class EventLog final : public IVlcEventSink {
public:
    void OnVlcEvent(const VlcEvent& event) noexcept override;

    // Waits until some event satisfies the predicate; returns it, or nothing after the timeout.
    bool WaitFor(const std::function<bool(const TimedEvent&)>& match, std::chrono::milliseconds timeout,
                 TimedEvent* found = nullptr);
    bool WaitForType(VlcEventType type, std::chrono::milliseconds timeout, TimedEvent* found = nullptr);
    std::vector<TimedEvent> Snapshot();
    void Clear();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<TimedEvent> events_;
};

// Counts the marquee's green pixels in every picture rendered into memory.
class FrameProbe final : public IVideoFrameSink {
public:
    void OnVideoFrame(const std::uint8_t* pixels, unsigned width, unsigned height,
                      unsigned pitch) noexcept override;

    std::uint64_t Frames();
    // Waits for a frame, later than any seen so far, whose green count satisfies the test.
    bool WaitForGreen(const std::function<bool(std::size_t)>& test, std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t frames_ = 0;
    std::size_t green_ = 0;
};

std::string ClipPath(const char* name);
std::string ReadPrefix(const std::string& path, std::size_t count);

}  // namespace trivane::testing
