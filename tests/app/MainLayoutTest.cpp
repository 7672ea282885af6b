#include "app/MainLayout.h"

#include <climits>
#include <ostream>

#include <gtest/gtest.h>

#include "app/ControlIds.h"

namespace trivane {

void PrintTo(const LayoutRect& r, std::ostream* os)
{
    *os << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}

void PrintTo(const Placement& p, std::ostream* os)
{
    *os << p.controlId << ' ';
    PrintTo(p.rect, os);
}

namespace {

LayoutRect Sized(int x, int y, int w, int h)
{
    return LayoutRect::FromSize(x, y, w, h);
}

bool Overlap(const LayoutRect& a, const LayoutRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(MainLayout, DefaultWindowPlacesEveryControl)
{
    const MainLayout layout = ComputeLayout(LayoutInput{});
    const std::vector<Placement> expected = {
        {IDC_CLOSE, Sized(768, 2, 25, 25)},
        {IDC_MAXIMISE, Sized(741, 2, 25, 25)},
        {IDC_MINIMISE, Sized(714, 2, 25, 25)},
        {IDC_ABOUT, Sized(687, 2, 25, 25)},
        {IDC_L, Sized(609, 2, 32, 32)},
        {IDC_GPS_INDICATOR, Sized(431, 8, 32, 32)},
        {IDC_COMPASS, Sized(471, 8, 32, 32)},
        {IDC_SPEED, Sized(511, 8, 90, 32)},
        {IDC_FILE_LIST, {555, 293, 795, 496}},
        {IDC_FRONT_PANEL, {5, 48, 272, 364}},
        {IDC_REAR_PANEL, {272, 48, 549, 364}},
        {IDC_STATUS_BOARD, Sized(5, 334, 267, 30)},
        {IDC_POSITION_SLIDER, Sized(5, 364, 544, 20)},
        {IDC_GSENSOR, {5, 389, 549, 496}},
        {IDC_OPEN, Sized(8, 516, 48, 36)},
        {IDC_SNAP, Sized(56, 516, 48, 36)},
        {IDC_SLOW, Sized(124, 512, 40, 40)},
        {IDC_PLAY, Sized(165, 504, 48, 48)},
        {IDC_FAST, Sized(214, 512, 40, 40)},
        {IDC_VOL, Sized(265, 520, 12, 24)},
        {IDC_VOLUME_SLIDER, Sized(279, 524, 80, 20)},
        {IDC_LOOP, Sized(605, 520, 32, 32)},
        {IDC_KML, Sized(639, 520, 32, 32)},
        {IDC_MAP, Sized(673, 520, 32, 32)},
        {IDC_GSR, Sized(707, 520, 32, 32)},
        {IDC_LOCK, Sized(741, 520, 32, 32)},
        // No picture yet: the panels less the 2-px edge.
        {IDC_FRONT_SURFACE, Sized(7, 50, 263, 312)},
        {IDC_REAR_SURFACE, Sized(274, 50, 273, 312)},
    };
    EXPECT_EQ(layout.placements, expected);
    EXPECT_TRUE(layout.mapShown);
    EXPECT_EQ(layout.map, (LayoutRect{555, 48, 795, 288}));
    EXPECT_EQ(layout.mapSplitter, (LayoutRect{555, 48, 795, 496}));
    EXPECT_EQ(layout.verticalSplitter, (LayoutRect{550, 48, 555, 496}));
    EXPECT_EQ(layout.Find(IDC_DEL), nullptr);
}

TEST(MainLayout, SurfacesKeepThePictureAspect)
{
    LayoutInput input;
    input.frameWidth = 1920;
    input.frameHeight = 1080;
    const MainLayout layout = ComputeLayout(input);
    // Front 263 x 312 after the edge: letterboxed to 263 x 147, 82 px down; the rear takes the
    // same height and offset inside its own rectangle.
    EXPECT_EQ(*layout.Find(IDC_FRONT_SURFACE), Sized(7, 132, 263, 147));
    EXPECT_EQ(*layout.Find(IDC_REAR_SURFACE), Sized(274, 132, 273, 147));

    // A picture narrower than the panel: pillarboxed, centred horizontally.
    LayoutRect front{0, 0, 1920, 1080};
    LayoutRect rear{2000, 10, 3920, 1090};
    FitVideo(front, rear, 640, 480);
    EXPECT_EQ(front, Sized(240, 0, 1440, 1080));
    EXPECT_EQ(rear, Sized(2240, 10, 1440, 1080));
}

TEST(MainLayout, DegeneratePanelsAndPicturesAreLeftAlone)
{
    const LayoutRect panel = Sized(10, 20, 263, 312);
    for (const auto& [w, h] : {std::pair{0, 1080}, {1920, 0}, {-1920, 1080}, {1920, -1}}) {
        LayoutRect front = panel;
        LayoutRect rear = panel;
        FitVideo(front, rear, w, h);
        EXPECT_EQ(front, panel);
        EXPECT_EQ(rear, panel);
    }
    for (const LayoutRect& empty : {LayoutRect{10, 20, 10, 300}, LayoutRect{10, 20, 300, 20}, LayoutRect{50, 50, 0, 0}}) {
        LayoutRect front = empty;
        LayoutRect rear = panel;
        FitVideo(front, rear, 1920, 1080);
        EXPECT_EQ(front, empty);
        EXPECT_EQ(rear, panel);
    }

    // Extreme picture sizes: the products need 64 bits.
    LayoutRect front = panel;
    LayoutRect rear = panel;
    FitVideo(front, rear, INT_MAX, 1);
    EXPECT_EQ(front, Sized(10, 176, 263, 0));
    front = panel;
    FitVideo(front, rear, 1, INT_MAX);
    EXPECT_EQ(front, Sized(141, 20, 0, 312));
    front = panel;
    FitVideo(front, rear, INT_MAX, INT_MAX - 1);
    EXPECT_FALSE(front.IsEmpty());
    EXPECT_LE(front.Width(), panel.Width());
    // A panel spanning the whole int range.
    front = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    rear = front;
    FitVideo(front, rear, 16, 9);
    EXPECT_EQ(front, (LayoutRect{INT_MIN, -1207959552, INT_MAX, 1207959551}));
    EXPECT_EQ(rear, front);

    // A client too small for the video panels: no division by zero, surfaces left as the panels.
    LayoutInput input;
    input.cx = 100;
    input.cy = 100;
    input.frameWidth = 1920;
    input.frameHeight = 1080;
    const MainLayout tiny = ComputeLayout(input);
    const LayoutRect* frontPanel = tiny.Find(IDC_FRONT_PANEL);
    ASSERT_NE(frontPanel, nullptr);
    EXPECT_TRUE(frontPanel->IsEmpty());
    EXPECT_EQ(*tiny.Find(IDC_FRONT_SURFACE), (LayoutRect{frontPanel->left + 2, frontPanel->top + 2,
                                                         frontPanel->right - 2, frontPanel->bottom - 2}));
}

TEST(MainLayout, PaneSizesAreClamped)
{
    struct Case {
        int rightPaneWidth;
        int mapPaneHeight;
        int paneLeft;
        int mapBottom;
    };
    // At 800 x 560 the right pane takes 20..780 px and the map pane 20..433 px.
    for (const Case c : {Case{5, 5, 775, 68}, Case{INT_MIN, INT_MIN, 775, 68}, Case{781, 434, 15, 481},
                         Case{INT_MAX, INT_MAX, 15, 481}, Case{780, 433, 15, 481}, Case{20, 20, 775, 68}}) {
        LayoutInput input;
        input.rightPaneWidth = c.rightPaneWidth;
        input.mapPaneHeight = c.mapPaneHeight;
        const MainLayout layout = ComputeLayout(input);
        SCOPED_TRACE(c.rightPaneWidth);
        EXPECT_EQ(layout.map, (LayoutRect{c.paneLeft, 48, 795, c.mapBottom}));
        EXPECT_EQ(*layout.Find(IDC_FILE_LIST), (LayoutRect{c.paneLeft, c.mapBottom + 5, 795, 496}));
        EXPECT_EQ(layout.verticalSplitter.right, c.paneLeft);
    }
}

TEST(MainLayout, OptionalPanesOff)
{
    LayoutInput input;
    input.mapEnabled = false;
    input.previousMapSplitter = {1, 2, 3, 4};
    const MainLayout noMap = ComputeLayout(input);
    EXPECT_FALSE(noMap.mapShown);
    EXPECT_TRUE(noMap.map.IsEmpty());
    EXPECT_EQ(noMap.mapSplitter, input.previousMapSplitter);
    EXPECT_EQ(*noMap.Find(IDC_FILE_LIST), (LayoutRect{555, 48, 795, 496}));

    // Without the G-sensor nothing else changes and its panel is not moved at all.
    input = LayoutInput{};
    const MainLayout full = ComputeLayout(input);
    input.gsensorEnabled = false;
    const MainLayout noGraph = ComputeLayout(input);
    EXPECT_EQ(noGraph.Find(IDC_GSENSOR), nullptr);
    std::vector<Placement> rest = full.placements;
    std::erase_if(rest, [](const Placement& p) { return p.controlId == IDC_GSENSOR; });
    EXPECT_EQ(noGraph.placements, rest);
}

TEST(MainLayout, FullScreenMovesOnlyThePanelsAndTheChosenSurface)
{
    LayoutInput input;
    input.fullScreen = true;
    input.monitorInClient = {-100, -40, 1820, 1040};
    input.frameWidth = 1440;
    input.frameHeight = 1080;
    input.previousMapSplitter = {555, 48, 795, 496};
    const LayoutRect monitor = input.monitorInClient;
    const LayoutRect fitted = Sized(140, -40, 1440, 1080);  // no edge shrink in full screen
    for (const auto& [surface, id] : {std::pair{1, IDC_FRONT_SURFACE}, {2, IDC_REAR_SURFACE}, {0, 0}}) {
        input.fullScreenSurface = surface;
        const MainLayout layout = ComputeLayout(input);
        std::vector<Placement> expected = {{IDC_FRONT_PANEL, monitor}, {IDC_REAR_PANEL, monitor}};
        if (id != 0)
            expected.push_back({id, fitted});
        EXPECT_EQ(layout.placements, expected);
        EXPECT_FALSE(layout.mapShown);
        EXPECT_EQ(layout.mapSplitter, input.previousMapSplitter);
        EXPECT_EQ(layout.verticalSplitter, LayoutRect{});
    }
}

TEST(MainLayout, TitleBandControlsNeverOverlap)
{
    const int titleIds[] = {IDC_CLOSE, IDC_MAXIMISE, IDC_MINIMISE, IDC_ABOUT,
                            IDC_L,     IDC_GPS_INDICATOR, IDC_COMPASS, IDC_SPEED};
    for (const int cx : {800, 801, 1024, 1366, 1920, 3840}) {
        SCOPED_TRACE(cx);
        LayoutInput input;
        input.cx = cx;
        const MainLayout layout = ComputeLayout(input);
        std::vector<LayoutRect> rects;
        for (const int id : titleIds) {
            const LayoutRect* r = layout.Find(id);
            ASSERT_NE(r, nullptr);
            EXPECT_GE(r->left, 200);  // clear of the caption
            EXPECT_LE(r->right, cx);
            EXPECT_GE(r->top, 0);
            EXPECT_LE(r->bottom, kTitleBandHeight);
            for (const LayoutRect& other : rects)
                EXPECT_FALSE(Overlap(*r, other));
            rects.push_back(*r);
        }
        const LayoutRect& gps = *layout.Find(IDC_GPS_INDICATOR);
        const LayoutRect& compass = *layout.Find(IDC_COMPASS);
        const LayoutRect& speed = *layout.Find(IDC_SPEED);
        EXPECT_EQ(compass.left - gps.right, 8);
        EXPECT_EQ(speed.left - compass.right, 8);
        EXPECT_EQ(layout.Find(IDC_L)->left - speed.right, 8);
        EXPECT_EQ(gps.top + gps.bottom, kTitleBandHeight);
        EXPECT_EQ(speed.top + speed.bottom, kTitleBandHeight);
    }
}

TEST(MainLayout, SmallAndMediumWindowSizes)
{
    EXPECT_EQ(SmallWindowRect({0, 0, 1920, 1080}), (ScreenRect{240, 135, 1536, 864}));
    EXPECT_EQ(MediumWindowRect({0, 0, 1920, 1080}), (ScreenRect{213, 120, 1680, 945}));
    // Small monitors: never below 800 x 560.
    EXPECT_EQ(SmallWindowRect({100, -50, 800, 600}), (ScreenRect{200, 25, 800, 560}));
    EXPECT_EQ(MediumWindowRect({100, -50, 800, 600}), (ScreenRect{188, 16, 800, 560}));
    // w * 4 and w * 7 overflow an int.
    EXPECT_EQ(SmallWindowRect({0, 0, INT_MAX, INT_MAX}).width, 1717986917);
    EXPECT_EQ(MediumWindowRect({0, 0, INT_MAX, INT_MAX}).height, 1879048191);
}

TEST(MainLayout, SplittersFollowTheMouse)
{
    int height = 240;
    EXPECT_TRUE(DragMapSplitter(300, height));
    EXPECT_EQ(height, 252);
    EXPECT_FALSE(DragMapSplitter(300, height));
    LayoutInput input;
    input.mapPaneHeight = height;
    EXPECT_EQ(ComputeLayout(input).map.bottom, 300);

    for (const int cx : {800, 801, 1920}) {
        SCOPED_TRACE(cx);
        for (int x = 0; x <= cx; ++x) {
            int width = 240;
            const bool changed = DragPaneSplitter(x, cx, width);
            if (x <= 2 * cx / 3) {
                EXPECT_FALSE(changed);
                EXPECT_EQ(width, 240);
            } else {
                EXPECT_EQ(changed, width != 240);
                EXPECT_LE(width, cx / 3 + 10);
            }
        }
        int width = 0;
        const int x = 2 * cx / 3 + 1;
        ASSERT_TRUE(DragPaneSplitter(x, cx, width));
        input.cx = cx;
        input.rightPaneWidth = width;
        EXPECT_EQ(ComputeLayout(input).verticalSplitter.left, x);  // the hit area stays under the mouse
        EXPECT_FALSE(DragPaneSplitter(x, cx, width));
    }
}

}  // namespace
}  // namespace trivane
