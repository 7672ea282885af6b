#pragma once

#include <cstdint>

namespace trivane {

// Receives decoded pictures when a channel renders into memory instead of a window (no
// display needed). Called on libVLC's video output thread; the pixels are 32-bit BGRA
// (blue in the lowest byte) and valid only during the call.
class IVideoFrameSink {
public:
    virtual void OnVideoFrame(const std::uint8_t* pixels, unsigned width, unsigned height,
                              unsigned pitch) noexcept = 0;

protected:
    ~IVideoFrameSink() = default;
};

}  // namespace trivane
