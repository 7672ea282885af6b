#pragma once

// A channel that records what it is asked to do, for the controller's and the window's tests.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "playback/IPlaybackChannel.h"
#include "playback/VlcEvent.h"

namespace trivane::test {

using Calls = std::vector<std::string>;

// Flags any call made from a thread other than the one that built the object (the window's).
class WindowThreadOnly {
public:
    bool CalledOffThread() const { return offThread_.load(); }

protected:
    void Touch() const {
        if (std::this_thread::get_id() != owner_) offThread_ = true;
    }

private:
    std::thread::id owner_ = std::this_thread::get_id();
    mutable std::atomic<bool> offThread_{false};
};

class FakeChannel final : public IPlaybackChannel, public WindowThreadOnly {
public:
    bool IsLoaded() const override { Touch(); return loaded; }
    void AttachEvents(IVlcEventSink* sink) override { sink_ = sink; }
    void DetachEvents() override { Note("detach"); sink_ = nullptr; }
    void SetWindow(std::uint32_t xwindow) override { Note("window " + std::to_string(xwindow)); }
    void OpenMedia(const std::string& path) override { Note("open " + path); }
    void Play() override { Note("play"); playing_ = 1; paused_ = 0; }
    void SetPause(bool paused) override { Note(paused ? "pause" : "resume"); playing_ = !paused; paused_ = paused; }
    void Stop() override { Note("stop"); playing_ = 0; paused_ = 0; }
    void NextFrame() override { Note("next frame"); playing_ = 0; paused_ = 1; }
    int Recreate(int argumentSet) override { Note("recreate " + std::to_string(argumentSet)); return 1; }
    std::int64_t GetLength() const override { Touch(); return length; }
    std::int64_t GetTime() const override { Touch(); return 0; }
    double FrameRate() const override { Touch(); return frameRate; }
    void SetTime(std::int64_t ms) override { Note("time " + std::to_string(ms)); }
    int SetRate(float rate) override {
        char text[16];
        std::snprintf(text, sizeof text, "rate %.1f", static_cast<double>(rate));
        Note(text);
        return 0;
    }
    int SetMarquee(const std::string& text, int size, bool enable) override {
        Note("marquee " + text + " " + std::to_string(size) + (enable ? " on" : " off"));
        return 1;
    }
    void SetVolume(int percent) override { Note("volume " + std::to_string(percent)); }
    void SetMute(bool mute) override { Note(mute ? "mute" : "unmute"); }
    int TakeSnapshot(const std::string& path) override { Note("snapshot " + path); return snapshotResult; }
    int Playing() const override { Touch(); return playing_; }
    int Paused() const override { Touch(); return paused_; }

    bool HasSink() const { return sink_ != nullptr; }

    void Fire(VlcEventType type, std::int64_t timeMs = -1) const {
        VlcEvent event;
        event.type = type;
        event.timeMs = timeMs;
        if (sink_ != nullptr) sink_->OnVlcEvent(event);
    }
    Calls Take() { return std::exchange(calls_, {}); }
    int Count(std::string_view prefix) const {
        return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                              [&](const std::string& c) { return c.starts_with(prefix); }));
    }
    std::string Last(std::string_view prefix) const {
        for (auto it = calls_.rbegin(); it != calls_.rend(); ++it) {
            if (it->starts_with(prefix)) return *it;
        }
        return {};
    }

    std::int64_t length = 60000;
    double frameRate = 0;     // unknown
    bool loaded = true;       // false: libVLC is missing
    int snapshotResult = 0;   // -1: the snapshot could not be written

private:
    void Note(std::string call) {
        Touch();
        calls_.push_back(std::move(call));
    }
    Calls calls_;
    IVlcEventSink* sink_ = nullptr;
    int playing_ = 0;
    int paused_ = 1;
};

}  // namespace trivane::test
