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

}  // namespace
}  // namespace trivane
