#pragma once

#include <vector>

#include "app/WindowPlacement.h"

namespace trivane {

// Client-area rectangle: left, top inclusive; right, bottom exclusive.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    static LayoutRect FromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

struct LayoutInput {
    int cx = 800;  // client size
    int cy = 560;
    int rightPaneWidth = 240;
    int mapPaneHeight = 240;
    bool mapEnabled = true;
    bool gsensorEnabled = true;
    bool fullScreen = false;
    int fullScreenSurface = 0;      // 1 front, 2 rear
    LayoutRect monitorInClient;     // the nearest monitor in client coordinates (full screen)
    int frameWidth = 0;             // current recording's picture; 0 when none or unknown
    int frameHeight = 0;
    int edgeX = 2;                  // sunken-edge size shrunk off the panels in normal mode
    int edgeY = 2;
    LayoutRect previousMapSplitter;  // kept when the map pane is off
};

struct Placement {
    int controlId;
    LayoutRect rect;
    friend bool operator==(const Placement&, const Placement&) = default;
};

// Every control the layout moves, in the order they are moved, plus the map pane and the two
// splitter hit areas. In full-screen mode only the panels and the chosen surface move; the map
// splitter then keeps input.previousMapSplitter and the vertical splitter is empty.
struct MainLayout {
    std::vector<Placement> placements;
    bool mapShown = false;  // the map pane gets room (map enabled, normal mode)
    LayoutRect map;         // map pane when shown
    LayoutRect mapSplitter;
    LayoutRect verticalSplitter;

    // The placement of a control, or nullptr when this layout does not move it.
    const LayoutRect* Find(int controlId) const;
};

MainLayout ComputeLayout(const LayoutInput& input);

// The video surfaces fitted into their panels keeping the picture's aspect ratio; the rear
// rectangle takes the offset and size computed for the front. Degenerate panels or pictures
// leave both rectangles as they are. Products are taken in 64 bits.
void FitVideo(LayoutRect& front, LayoutRect& rear, int frameWidth, int frameHeight);

// Title band: GPS indicator, compass and speed read-out, left to right, between the caption and
// the L button, vertically centred in the band.
inline constexpr int kTitleBandHeight = 48;

// Window sizes for the S and M commands on a monitor rectangle (screen coordinates).
ScreenRect SmallWindowRect(const ScreenRect& monitor);
ScreenRect MediumWindowRect(const ScreenRect& monitor);

// Limits of the splitter drags: the map pane height follows y - 48; the right pane width
// follows cx - x - 10 only while x > 2 * cx / 3. Return whether the value changed.
bool DragMapSplitter(int y, int& mapPaneHeight);
bool DragPaneSplitter(int x, int cx, int& rightPaneWidth);

}  // namespace trivane
