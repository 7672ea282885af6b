#include "app/MainLayout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/ControlIds.h"

namespace trivane {
namespace {

constexpr int kPaneMargin = 5;       // right edge gap and splitter width
constexpr int kMinPaneSize = 20;     // smallest right pane width and map pane height
constexpr int kBottomBar = 64;       // control bar height below the panes
constexpr int kMapPaneReserve = 127;  // client height the map pane leaves for the file list

int Saturate(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A stored pane size limited to [20, available]; a tiny window gives "available" even below 20.
int ClampPaneSize(int size, int available)
{
    return size > available ? available : std::max(size, kMinPaneSize);
}

LayoutRect Shrunk(const LayoutRect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

void TitleBand(std::vector<Placement>& out, int cx)
{
    constexpr int kButton = 25;
    out.push_back({IDC_CLOSE, LayoutRect::FromSize(cx - 32, 2, kButton, kButton)});
    out.push_back({IDC_MAXIMISE, LayoutRect::FromSize(cx - 59, 2, kButton, kButton)});
    out.push_back({IDC_MINIMISE, LayoutRect::FromSize(cx - 86, 2, kButton, kButton)});
    out.push_back({IDC_ABOUT, LayoutRect::FromSize(cx - 113, 2, kButton, kButton)});
    const int lLeft = cx - 191;
    out.push_back({IDC_L, LayoutRect::FromSize(lLeft, 2, 32, 32)});

    // Packed leftwards from the L button, 8 px apart, centred in the band.
    constexpr int kGap = 8;
    constexpr int kIcon = 32;
    constexpr int kSpeedWidth = 90;
    constexpr int y = (kTitleBandHeight - kIcon) / 2;
    const int speedLeft = lLeft - kGap - kSpeedWidth;
    const int compassLeft = speedLeft - kGap - kIcon;
    const int gpsLeft = compassLeft - kGap - kIcon;
    out.push_back({IDC_GPS_INDICATOR, LayoutRect::FromSize(gpsLeft, y, kIcon, kIcon)});
    out.push_back({IDC_COMPASS, LayoutRect::FromSize(compassLeft, y, kIcon, kIcon)});
    out.push_back({IDC_SPEED, LayoutRect::FromSize(speedLeft, y, kSpeedWidth, kIcon)});
}

void ControlBar(std::vector<Placement>& out, int cx, int cy)
{
    out.push_back({IDC_OPEN, LayoutRect::FromSize(8, cy - 44, 48, 36)});
    out.push_back({IDC_SNAP, LayoutRect::FromSize(56, cy - 44, 48, 36)});
    out.push_back({IDC_SLOW, LayoutRect::FromSize(124, cy - 48, 40, 40)});
    out.push_back({IDC_PLAY, LayoutRect::FromSize(165, cy - 56, 48, 48)});
    out.push_back({IDC_FAST, LayoutRect::FromSize(214, cy - 48, 40, 40)});
    out.push_back({IDC_VOL, LayoutRect::FromSize(265, cy - 40, 12, 24)});
    out.push_back({IDC_VOLUME_SLIDER, LayoutRect::FromSize(279, cy - 36, 80, 20)});
    const int toggles[] = {IDC_LOOP, IDC_KML, IDC_MAP, IDC_GSR, IDC_LOCK};
    int x = cx - 195;
    for (const int id : toggles) {
        out.push_back({id, LayoutRect::FromSize(x, cy - 40, 32, 32)});
        x += 34;
    }
}

MainLayout FullScreenLayout(const LayoutInput& input)
{
    MainLayout layout;
    layout.mapSplitter = input.previousMapSplitter;
    const LayoutRect& monitor = input.monitorInClient;
    layout.placements.push_back({IDC_FRONT_PANEL, monitor});
    layout.placements.push_back({IDC_REAR_PANEL, monitor});
    LayoutRect front = monitor;
    LayoutRect rear = monitor;
    FitVideo(front, rear, input.frameWidth, input.frameHeight);
    if (input.fullScreenSurface == 1)
        layout.placements.push_back({IDC_FRONT_SURFACE, front});
    else if (input.fullScreenSurface == 2)
        layout.placements.push_back({IDC_REAR_SURFACE, rear});
    return layout;
}

ScreenRect ScaledWindowRect(const ScreenRect& monitor, int numerator, int denominator, int offsetDivisor)
{
    const std::int64_t w = monitor.width;
    const std::int64_t h = monitor.height;
    return {Saturate(monitor.x + w / offsetDivisor), Saturate(monitor.y + h / offsetDivisor),
            Saturate(std::max<std::int64_t>(w * numerator / denominator, kMinWindowWidth)),
            Saturate(std::max<std::int64_t>(h * numerator / denominator, kMinWindowHeight))};
}

}  // namespace

const LayoutRect* MainLayout::Find(int controlId) const
{
    const auto it = std::find_if(placements.begin(), placements.end(),
                                 [controlId](const Placement& p) { return p.controlId == controlId; });
    return it == placements.end() ? nullptr : &it->rect;
}

MainLayout ComputeLayout(const LayoutInput& input)
{
    if (input.fullScreen)
        return FullScreenLayout(input);

    const int cx = input.cx;
    const int cy = input.cy;
    const int bottom = cy - kBottomBar;
    MainLayout layout;
    std::vector<Placement>& out = layout.placements;
    TitleBand(out, cx);

    const int paneWidth = ClampPaneSize(input.rightPaneWidth, cx - 20);
    const int paneRight = cx - kPaneMargin;
    const int paneLeft = std::max(paneRight - paneWidth, 0);

    int listTop = kTitleBandHeight;
    if (input.mapEnabled) {
        const int mapHeight = ClampPaneSize(input.mapPaneHeight, cy - kMapPaneReserve);
        layout.map = {paneLeft, kTitleBandHeight, paneRight, kTitleBandHeight + mapHeight};
        layout.mapShown = true;
        layout.mapSplitter = {paneLeft, kTitleBandHeight, paneRight, bottom};
        listTop = mapHeight + kTitleBandHeight + kPaneMargin;
    } else {
        layout.mapSplitter = input.previousMapSplitter;
    }
    out.push_back({IDC_FILE_LIST, {paneLeft, listTop, paneRight, bottom}});
    layout.verticalSplitter = {paneLeft - kPaneMargin, kTitleBandHeight, paneLeft, bottom};

    const int half = paneLeft / 2 - 5;
    const int q = static_cast<int>(std::int64_t{6} * (std::int64_t{cy} - 112) / 7);
    const int videoBottom = q - 20;
    const LayoutRect frontPanel{5, kTitleBandHeight, half, videoBottom};
    const LayoutRect rearPanel{half, kTitleBandHeight, 2 * half + 5, videoBottom};
    out.push_back({IDC_FRONT_PANEL, frontPanel});
    out.push_back({IDC_REAR_PANEL, rearPanel});
    out.push_back({IDC_STATUS_BOARD, LayoutRect::FromSize(5, videoBottom - 30, half - 5, 30)});
    out.push_back({IDC_POSITION_SLIDER, LayoutRect::FromSize(5, videoBottom, 2 * half, 20)});
    if (input.gsensorEnabled)
        out.push_back({IDC_GSENSOR, {5, q + 5, 2 * half + 5, bottom}});

    ControlBar(out, cx, cy);

    LayoutRect front = Shrunk(frontPanel, input.edgeX, input.edgeY);
    LayoutRect rear = Shrunk(rearPanel, input.edgeX, input.edgeY);
    FitVideo(front, rear, input.frameWidth, input.frameHeight);
    out.push_back({IDC_FRONT_SURFACE, front});
    out.push_back({IDC_REAR_SURFACE, rear});
    return layout;
}

void FitVideo(LayoutRect& front, LayoutRect& rear, int frameWidth, int frameHeight)
{
    const std::int64_t rw = std::int64_t{front.right} - front.left;
    const std::int64_t rh = std::int64_t{front.bottom} - front.top;
    if (frameWidth <= 0 || frameHeight <= 0 || rw <= 0 || rh <= 0)
        return;
    const std::int64_t wv = frameWidth;
    const std::int64_t hv = frameHeight;
    // The new extent and the offset keep the front inside its panel; the rear saturates.
    if (hv * rw < rh * wv) {
        const std::int64_t newHeight = hv * rw / wv;
        const std::int64_t gap = (rh - newHeight) / 2;
        for (LayoutRect* r : {&front, &rear}) {
            r->top = Saturate(r->top + gap);
            r->bottom = Saturate(r->top + newHeight);
        }
    } else if (rh * wv < hv * rw) {
        const std::int64_t newWidth = rh * wv / hv;
        const std::int64_t gap = (rw - newWidth) / 2;
        for (LayoutRect* r : {&front, &rear}) {
            r->left = Saturate(r->left + gap);
            r->right = Saturate(r->left + newWidth);
        }
    }
}

ScreenRect SmallWindowRect(const ScreenRect& monitor)
{
    return ScaledWindowRect(monitor, 4, 5, 8);
}

ScreenRect MediumWindowRect(const ScreenRect& monitor)
{
    return ScaledWindowRect(monitor, 7, 8, 9);
}

bool DragMapSplitter(int y, int& mapPaneHeight)
{
    const int height = Saturate(std::int64_t{y} - kTitleBandHeight);
    const bool changed = height != mapPaneHeight;
    mapPaneHeight = height;
    return changed;
}

bool DragPaneSplitter(int x, int cx, int& rightPaneWidth)
{
    if (std::int64_t{x} <= std::int64_t{2} * cx / 3)
        return false;
    const int width = Saturate(std::int64_t{cx} - x - 10);
    const bool changed = width != rightPaneWidth;
    rightPaneWidth = width;
    return changed;
}

}  // namespace trivane
