#include "app/WindowPlacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace trivane {
namespace {

// One axis; 64-bit because stored coordinates are arbitrary ints and their difference may overflow.
void PlaceAxis(std::int64_t start, std::int64_t end, std::int64_t minimum, std::int64_t full, int& pos, int& size)
{
    std::int64_t length = std::max(end - start, minimum);
    std::int64_t at = std::max<std::int64_t>(start, 0);
    if (full > 0) {
        length = std::min(length, full);
        if (start > full - length)
            at = full - length;
    }
    length = std::min<std::int64_t>(length, std::numeric_limits<int>::max());
    at = std::min<std::int64_t>(at, std::numeric_limits<int>::max() - length);
    pos = static_cast<int>(at);
    size = static_cast<int>(length);
}

}  // namespace

WindowGeometry PlaceWindow(const WindowRect& saved, int fullWidth, int fullHeight)
{
    WindowGeometry g;
    PlaceAxis(saved.left, saved.right, kMinWindowWidth, fullWidth, g.x, g.width);
    PlaceAxis(saved.top, saved.bottom, kMinWindowHeight, fullHeight, g.y, g.height);
    return g;
}

}  // namespace trivane
