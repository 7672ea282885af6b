#pragma once

#include <cstdint>
#include <string>

namespace trivane {

class IVlcEventSink;

// One video channel as the playback controller drives it (CVlcPlayer in the program, fakes in
// tests). Window thread only. A channel whose library is not loaded does nothing.
class IPlaybackChannel {
public:
    virtual bool IsLoaded() const = 0;
    virtual void AttachEvents(IVlcEventSink* sink) = 0;
    virtual void DetachEvents() = 0;
    virtual void SetWindow(std::uint32_t xwindow) = 0;
    // Path bytes exactly as named on disk; empty clears the media.
    virtual void OpenMedia(const std::string& path) = 0;
    virtual void Play() = 0;
    // Pauses without toggling (a paused channel stays paused).
    virtual void SetPause(bool paused) = 0;
    virtual void Stop() = 0;
    // Shows the next picture of a paused channel and stays paused (libVLC pauses a playing one
    // instead). A channel that cannot step does nothing.
    virtual void NextFrame() {}
    virtual int Recreate(int argumentSet) = 0;
    virtual std::int64_t GetLength() const = 0;
    virtual std::int64_t GetTime() const = 0;
    // Pictures per second of the open media's video as its track states it; 0 when unknown.
    virtual double FrameRate() const { return 0; }
    virtual void SetTime(std::int64_t ms) = 0;
    virtual int SetRate(float rate) = 0;
    virtual int SetMarquee(const std::string& text, int size, bool enable) = 0;
    virtual void SetVolume(int percent) = 0;
    virtual void SetMute(bool mute) = 0;
    virtual int TakeSnapshot(const std::string& path) = 0;
    virtual int Playing() const = 0;
    virtual int Paused() const = 0;

protected:
    ~IPlaybackChannel() = default;
};

}  // namespace trivane
