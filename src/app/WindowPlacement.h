#pragma once

#include <cstddef>
#include <vector>

namespace trivane {

// Window rectangle as stored under WINPOS (screen pixels, right and bottom exclusive).
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 800;
    int bottom = 560;
};

struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kMinWindowWidth = 800;
inline constexpr int kMinWindowHeight = 560;

// Where the main window opens for a stored rectangle: at least 800 x 560 but no larger than the
// full-screen client area, and moved back inside it. A non-positive screen size (no screen
// known) limits nothing.
WindowGeometry PlaceWindow(const WindowRect& saved, int fullWidth, int fullHeight);

// A monitor's rectangle in screen coordinates.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// PlaceWindow on the screen holding the stored rectangle's centre, else on the primary screen
// (the first one when that index is invalid), in that screen's own coordinates. A rectangle
// stored on a monitor that is gone so opens on the primary one. No screens limit nothing.
WindowGeometry PlaceWindowOnScreens(const WindowRect& saved, const std::vector<ScreenRect>& availableScreens,
                                    std::size_t primary);

}  // namespace trivane
