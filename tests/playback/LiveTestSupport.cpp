#include "LiveTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace trivane::testing {

Watchdog::Watchdog(std::chrono::seconds budget)
    : thread_([this, budget] {
          std::unique_lock lock(mutex_);
          if (!done_.wait_for(lock, budget, [this] { return finished_; })) {
              std::fprintf(stderr, "watchdog: test still running after %lld s, aborting\n",
                           static_cast<long long>(budget.count()));
              std::abort();
          }
      })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

void EventLog::OnVlcEvent(const VlcEvent& event) noexcept
{
    {
        std::lock_guard lock(mutex_);
        events_.push_back({event, Clock::now()});
    }
    changed_.notify_all();
}

bool EventLog::WaitFor(const std::function<bool(const TimedEvent&)>& match, std::chrono::milliseconds timeout,
                       TimedEvent* found)
{
    std::unique_lock lock(mutex_);
    std::size_t checked = 0;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        for (; checked < events_.size(); ++checked) {
            if (match(events_[checked])) {
                if (found != nullptr) {
                    *found = events_[checked];
                }
                return true;
            }
        }
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && checked == events_.size()) {
            return false;
        }
    }
}

bool EventLog::WaitForType(VlcEventType type, std::chrono::milliseconds timeout, TimedEvent* found)
{
    return WaitFor([type](const TimedEvent& e) { return e.event.type == type; }, timeout, found);
}

std::vector<TimedEvent> EventLog::Snapshot()
{
    std::lock_guard lock(mutex_);
    return events_;
}

void EventLog::Clear()
{
    std::lock_guard lock(mutex_);
    events_.clear();
}

void FrameProbe::OnVideoFrame(const std::uint8_t* pixels, unsigned width, unsigned height,
                              unsigned pitch) noexcept
{
    std::size_t green = 0;
    for (unsigned y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * pitch;
        for (unsigned x = 0; x < width; ++x) {
            const std::uint8_t b = row[4 * x];
            const std::uint8_t g = row[4 * x + 1];
            const std::uint8_t r = row[4 * x + 2];
            if (g > 180 && r < 90 && b < 90) {
                ++green;
            }
        }
    }
    {
        std::lock_guard lock(mutex_);
        ++frames_;
        green_ = green;
    }
    changed_.notify_all();
}

std::uint64_t FrameProbe::Frames()
{
    std::lock_guard lock(mutex_);
    return frames_;
}

bool FrameProbe::WaitForGreen(const std::function<bool(std::size_t)>& test, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    std::uint64_t seen = frames_;
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        changed_.wait_until(lock, deadline, [&] { return frames_ != seen; });
        if (frames_ != seen) {
            seen = frames_;
            if (test(green_)) {
                return true;
            }
        }
    }
    return false;
}

std::string ClipPath(const char* name)
{
    const std::string_view relative = name;
    if (relative.starts_with("DCIM/")) return std::string(TRIVANE_SAMPLECARD_DIR) + "/" + name;
    return std::string(TRIVANE_CLIP_DIR) + "/" + name;
}

std::string ReadPrefix(const std::string& path, std::size_t count)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace trivane::testing
