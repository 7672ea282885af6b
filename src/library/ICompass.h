#pragma once

namespace trivane {

class ICompass {
public:
    virtual ~ICompass() = default;
    virtual void SetImageIndex(int index) = 0;  // repaints
};

}  // namespace trivane
