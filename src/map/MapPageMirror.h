#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace trivane {

// What the map page holds, kept from the calls sent to it: the route with its speeds and its
// colouring, the driven path, the marker and the event marks. A fresh page (another provider, a
// reload after the renderer died) is given the same picture by replaying it.
class MapPageMirror {
public:
    // Takes note of one call; false when it is not one of the page's nine calls (nothing kept).
    bool Record(const std::string& script);
    // Calls that rebuild the picture on a page in any state: the route, its speeds and colouring,
    // the event marks (once any event call was made), the marker and the driven path, each exactly
    // as recorded.
    std::vector<std::string> Replay() const;
    void Clear();

    std::size_t RouteSize() const { return route_.size(); }
    std::size_t DrivenSize() const { return driven_.size(); }
    bool HasMarker() const { return !marker_.empty(); }
    std::size_t EventCount() const { return events_.size(); }

private:
    std::vector<std::string> route_;   // arguments of each route point, "lat,lon"
    std::vector<std::string> driven_;  // the same for the driven path
    std::vector<std::string> events_;  // the same for the event marks
    bool eventCalls_ = false;          // an event call was recorded
    std::string speeds_;               // the last route_speeds call
    std::string colouring_;            // the last route_colouring call; kept over Clear()
    std::string marker_;               // arguments of the last marker move
    bool drivenEndsAtMarker_ = false;  // the last driven point was added by the marker move
};

}  // namespace trivane
