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

int Saturate(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool Contains(const ScreenRect& screen, std::int64_t x, std::int64_t y)
{
    return x >= screen.x && x < std::int64_t{screen.x} + screen.width && y >= screen.y &&
           y < std::int64_t{screen.y} + screen.height;
}

}  // namespace

WindowGeometry PlaceWindow(const WindowRect& saved, int fullWidth, int fullHeight)
{
    WindowGeometry g;
    PlaceAxis(saved.left, saved.right, kMinWindowWidth, fullWidth, g.x, g.width);
    PlaceAxis(saved.top, saved.bottom, kMinWindowHeight, fullHeight, g.y, g.height);
    return g;
}

WindowGeometry PlaceWindowOnScreens(const WindowRect& saved, const std::vector<ScreenRect>& availableScreens,
                                    std::size_t primary)
{
    if (availableScreens.empty())
        return PlaceWindow(saved, 0, 0);
    const std::int64_t centreX = (std::int64_t{saved.left} + saved.right) / 2;
    const std::int64_t centreY = (std::int64_t{saved.top} + saved.bottom) / 2;
    const auto found = std::find_if(availableScreens.begin(), availableScreens.end(),
                                    [&](const ScreenRect& s) { return Contains(s, centreX, centreY); });
    const ScreenRect& screen = found != availableScreens.end() ? *found
                               : primary < availableScreens.size() ? availableScreens[primary]
                                                                   : availableScreens.front();
    // Far-off stored coordinates saturate; they end up pulled inside the screen either way.
    const WindowRect local{Saturate(std::int64_t{saved.left} - screen.x), Saturate(std::int64_t{saved.top} - screen.y),
                           Saturate(std::int64_t{saved.right} - screen.x),
                           Saturate(std::int64_t{saved.bottom} - screen.y)};
    WindowGeometry g = PlaceWindow(local, screen.width, screen.height);
    // Kept so that x + width and y + height still fit in an int.
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    g.x = static_cast<int>(std::min(std::int64_t{g.x} + screen.x, kMax - g.width));
    g.y = static_cast<int>(std::min(std::int64_t{g.y} + screen.y, kMax - g.height));
    return g;
}

}  // namespace trivane
