#pragma once

namespace trivane {

// The front video surface, as far as the folder scan uses it.
class IVideoSurface {
public:
    virtual ~IVideoSurface() = default;
    virtual void SetCounter(int filesExamined) = 0;  // repaints at once
};

}  // namespace trivane
