#pragma once

#include <string>

namespace trivane {

// Runs script calls in the map page; results are never read.
class IMapHost {
public:
    virtual ~IMapHost() = default;
    virtual void RunScript(const std::string& script) = 0;
    // Coordinates are stored NMEA values already divided by 100; see MovePositionScript.
    virtual void MovePosition(double latitude, double longitude) = 0;
};

}  // namespace trivane
