#include "app/WindowPlacement.h"

#include <climits>

#include <gtest/gtest.h>

namespace trivane {
namespace {

void ExpectPlaced(const WindowRect& saved, int fullW, int fullH, int x, int y, int w, int h)
{
    const WindowGeometry g = PlaceWindow(saved, fullW, fullH);
    EXPECT_EQ(g.x, x);
    EXPECT_EQ(g.y, y);
    EXPECT_EQ(g.width, w);
    EXPECT_EQ(g.height, h);
}

TEST(WindowPlacement, DefaultsAndMinimumSize)
{
    ExpectPlaced(WindowRect{}, 1920, 1040, 0, 0, 800, 560);
    ExpectPlaced(WindowRect{}, 640, 480, 0, 0, 640, 480);  // screen smaller than the minimum
    ExpectPlaced({-50, -50, 250, 150}, 1920, 1040, 0, 0, 800, 560);
    ExpectPlaced({100, 80, 1300, 980}, 1920, 1040, 100, 80, 1200, 900);  // fits: kept as stored
}

TEST(WindowPlacement, PulledBackInsideTheScreen)
{
    // Beyond the right and bottom edges: moved so that it ends at them.
    ExpectPlaced({1500, 700, 2300, 1300}, 1920, 1040, 1120, 440, 800, 600);
    // Larger than the screen: shrunk to it and placed at the origin.
    ExpectPlaced({10, 20, 3000, 2000}, 1920, 1040, 0, 0, 1920, 1040);
    // Inverted rectangle: the minimum size.
    ExpectPlaced({600, 400, 100, 100}, 1920, 1040, 600, 400, 800, 560);
}

TEST(WindowPlacement, ExtremeValuesDoNotOverflow)
{
    ExpectPlaced({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, 1920, 1040, 0, 0, 1920, 1040);
    ExpectPlaced({INT_MAX, INT_MAX, INT_MIN, INT_MIN}, 1920, 1040, 1120, 480, 800, 560);
    // No screen size known: only the minimum size and the origin bound apply.
    ExpectPlaced({-5, 30, 100, 100}, 0, 0, 0, 30, 800, 560);
    const WindowGeometry g = PlaceWindow({INT_MAX - 10, 0, INT_MAX, 10}, 0, 0);
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.x, INT_MAX - 800);
}

void ExpectOnScreens(const WindowRect& saved, const std::vector<ScreenRect>& screens, std::size_t primary, int x, int y,
                     int w, int h)
{
    const WindowGeometry g = PlaceWindowOnScreens(saved, screens, primary);
    EXPECT_EQ(g.x, x);
    EXPECT_EQ(g.y, y);
    EXPECT_EQ(g.width, w);
    EXPECT_EQ(g.height, h);
}

TEST(WindowPlacement, OnTheScreenHoldingTheCentre)
{
    const ScreenRect primary{0, 0, 1920, 1080};
    const ScreenRect leftOf{-1280, -200, 1280, 1024};
    const ScreenRect rightOf{1920, 0, 2560, 1440};
    const std::vector<ScreenRect> screens{primary, leftOf, rightOf};
    // Inside the left monitor: kept; past its left edge: pulled to it, not to 0.
    ExpectOnScreens({-1200, 100, -200, 800}, screens, 0, -1200, 100, 1000, 700);
    ExpectOnScreens({-1500, -300, -500, 300}, screens, 0, -1280, -200, 1000, 600);
    // Beyond the right monitor's corner: moved back so that it ends at it.
    ExpectOnScreens({4000, 1000, 4800, 1600}, screens, 0, 3680, 840, 800, 600);
    // Straddling two monitors: the centre decides; right edges are exclusive.
    ExpectOnScreens({1000, 0, 2900, 600}, screens, 0, 1920, 0, 1900, 600);
    ExpectOnScreens({1520, 0, 2320, 560}, screens, 0, 1920, 0, 800, 560);
    ExpectOnScreens({1519, 0, 2319, 560}, screens, 0, 1120, 0, 800, 560);
}

TEST(WindowPlacement, GoneMonitorOpensOnThePrimary)
{
    const std::vector<ScreenRect> screens{{-1280, 0, 1280, 1024}, {0, 0, 1920, 1080}};
    const WindowRect onGoneMonitor{3000, 100, 3900, 700};
    ExpectOnScreens(onGoneMonitor, screens, 1, 1020, 100, 900, 600);
    ExpectOnScreens(onGoneMonitor, screens, 0, -900, 100, 900, 600);
    ExpectOnScreens(onGoneMonitor, screens, 7, -900, 100, 900, 600);  // invalid index: the first
    // No screens known: as PlaceWindow without a size.
    ExpectOnScreens(onGoneMonitor, {}, 0, 3000, 100, 900, 600);
}

TEST(WindowPlacement, ScreensAtExtremeOriginsDoNotOverflow)
{
    ExpectOnScreens({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {{0, 0, 1920, 1080}}, 0, 0, 0, 1920, 1080);
    const std::vector<ScreenRect> farAway{{INT_MAX - 1000, INT_MIN, 1000, 1000}};
    ExpectOnScreens({INT_MAX - 500, INT_MIN, INT_MAX, INT_MIN + 500}, farAway, 0, INT_MAX - 800, INT_MIN, 800, 560);
    ExpectOnScreens({INT_MIN, INT_MAX - 10, INT_MIN + 10, INT_MAX}, farAway, 0, INT_MAX - 1000, INT_MIN + 440, 800, 560);
    // A zero-size screen limits nothing; the result still ends inside the int range.
    const WindowGeometry g = PlaceWindowOnScreens({INT_MAX - 10, 0, INT_MAX, 10}, {{100, 0, 0, 0}}, 0);
    EXPECT_EQ(g.width, 800);
    EXPECT_EQ(g.x, INT_MAX - 800);
}

}  // namespace
}  // namespace trivane
