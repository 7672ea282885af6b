#pragma once

#include <cstdint>

namespace trivane {

class ISpeedReadout {
public:
    virtual ~ISpeedReadout() = default;
    virtual void SetSpeed(std::uint16_t kmh) = 0;
};

}  // namespace trivane
