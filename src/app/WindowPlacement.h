#pragma once

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

}  // namespace trivane
