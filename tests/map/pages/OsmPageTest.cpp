// The key-less OpenStreetMap page offline: Leaflet through the link beside the pages, the host's
// calls drawn in order, a long route drawn in linear time, a page without Leaflet that stays quiet.
#include "PageView.h"

#include "TempDir.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

namespace trivane {
namespace {

using test::HostCalls;
using test::Lat;
using test::Lon;
using test::PageView;

// Leaflet centres on whole pixels: about 3e-4 degrees at the zoom a 10 km route is fitted to.
constexpr double kPixel = 1e-3;

TEST(OsmPage, DrawsTheHostsCallsInOrderOffline)
{
    PageView page(QStringLiteral("osmmap.html"));
    ASSERT_TRUE(page.Loaded());
    EXPECT_EQ(page.Eval(QStringLiteral("typeof L")).toString(), QStringLiteral("object"));
    QVariantMap s = page.State();
    EXPECT_EQ(s[QStringLiteral("page")].toString(), QStringLiteral("osm"));
    ASSERT_TRUE(s[QStringLiteral("initialized")].toBool());
    EXPECT_EQ(s[QStringLiteral("zoom")].toInt(), 15);

    // A point that is not a number is left out instead of breaking the line for good.
    page.Eval(HostCalls({QStringLiteral("path_plot(35.6000,139.7000)"), QStringLiteral("path_plot(NaN,139.7200)"),
                         QStringLiteral("path_plot(35.6500,139.7500)"), QStringLiteral("path_plot(35.7000,139.8000)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute === 3")));
    s = page.State();
    EXPECT_EQ(s[QStringLiteral("route")].toInt(), 3);
    // The view was fitted to the route.
    const QVariantList bounds = s[QStringLiteral("bounds")].toList();
    ASSERT_EQ(bounds.size(), 2);
    EXPECT_LE(Lat(bounds[0]), 35.60);
    EXPECT_LE(Lon(bounds[0]), 139.70);
    EXPECT_GE(Lat(bounds[1]), 35.70);
    EXPECT_GE(Lon(bounds[1]), 139.80);
    const int fittedZoom = s[QStringLiteral("zoom")].toInt();
    EXPECT_NE(fittedZoom, 15);

    // movpos: marker, centre at the fitted zoom, one driven point; the default icon loads from the link.
    page.Eval(HostCalls({QStringLiteral("movpos(35.6200,139.7100)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnDriven === 1")));
    s = page.State();
    EXPECT_DOUBLE_EQ(Lat(s[QStringLiteral("marker")]), 35.62);
    EXPECT_NEAR(Lat(s[QStringLiteral("center")]), 35.62, kPixel);
    EXPECT_NEAR(Lon(s[QStringLiteral("center")]), 139.71, kPixel);
    EXPECT_EQ(s[QStringLiteral("zoom")].toInt(), fittedZoom);
    EXPECT_TRUE(page.WaitTrue(QStringLiteral(
        "(function(){var i = document.querySelector('img.leaflet-marker-icon');"
        " return !!i && i.complete && i.naturalWidth > 0;})()")));
    EXPECT_EQ(page.Eval(QStringLiteral("Array.from(document.querySelectorAll('path.leaflet-interactive')).map("
                                       "function(p){return [p.getAttribute('stroke'), p.getAttribute('stroke-opacity'),"
                                       " p.getAttribute('stroke-width')].join(' ');}).join(', ')"))
                  .toString(),
              QStringLiteral("#8833FF 0.5 6, #55EE55 0.5 6"));

    // The driven path replaced by the first two route points; centre only; the deletes.
    page.Eval(HostCalls({QStringLiteral("pathdrived_plot_to_n(2)"), QStringLiteral("set_center(35.0,139.0)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("Math.abs(trivaneMapState().center[0] - 35) < 1e-3")));
    s = page.State(true);
    EXPECT_TRUE(test::SamePoints(s[QStringLiteral("drawnDrivenPoints")], {{35.60, 139.70}, {35.65, 139.75}}));
    EXPECT_EQ(s[QStringLiteral("zoom")].toInt(), fittedZoom);

    page.Eval(HostCalls({QStringLiteral("path_delete()"), QStringLiteral("pathdrived_delete()")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute + trivaneMapState().drawnDriven === 0")));
    s = page.State();
    EXPECT_EQ(s[QStringLiteral("route")].toInt() + s[QStringLiteral("driven")].toInt(), 0);
    EXPECT_DOUBLE_EQ(Lat(s[QStringLiteral("marker")]), 35.62);
}

// 36,000 points as the host sends them, in chunks: a redraw per point would take minutes.
TEST(OsmPage, LongRouteDrawsQuicklyAndShowsWithoutTiles)
{
    PageView page(QStringLiteral("osmmap.html"));
    ASSERT_TRUE(page.Loaded());
    constexpr int points = 36000;
    constexpr int chunk = 6000;
    QElapsedTimer timer;
    timer.start();
    for (int first = 0; first < points; first += chunk) {
        QStringList calls;
        for (int i = first; i < first + chunk; ++i) {
            const double lat = 35.60 + 0.10 * i / points;
            const double lon = 139.70 + 0.02 * std::sin(i / 3000.0);
            calls << QStringLiteral("path_plot(%1,%2)").arg(lat, 0, 'f', 6).arg(lon, 0, 'f', 6);
        }
        page.Eval(HostCalls(calls));
    }
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute === 36000"), 20000));
    EXPECT_LT(timer.elapsed(), 5000);

    // The route is really painted (tiles fail offline), and the scale bar shows both units.
    EXPECT_EQ(page.Eval(QStringLiteral("document.querySelectorAll('.leaflet-control-scale-line').length")).toInt(), 2);
    auto routePixels = [&page] {
        const QImage image = page.View().grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                const QColor c = image.pixelColor(x, y);
                // #8833FF at half opacity over the light background.
                if (c.blue() > c.red() + 30 && c.blue() > c.green() + 60) ++count;
            }
        }
        return count;
    };
    EXPECT_TRUE(test::WaitFor([&] { return routePixels() > 200; }, 5000));
}

// Without Leaflet (libjs-leaflet missing) the page raises nothing and still holds the calls.
TEST(OsmPage, WithoutLeafletStaysQuietAndHoldsTheCalls)
{
    test::TempDir emptyLeafletFolder;
    PageView page(QStringLiteral("osmmap.html"), QStringLiteral(TRIVANE_MAP_PAGE_DIR),
                  QString::fromStdString(emptyLeafletFolder.Path()));
    ASSERT_TRUE(page.Loaded());
    EXPECT_EQ(page.Eval(QStringLiteral("typeof L")).toString(), QStringLiteral("undefined"));
    EXPECT_EQ(page.Eval(QStringLiteral("try { path_plot(35.1,139.1); movpos(35.2,139.2); initialize(); 'quiet' }"
                                       " catch (e) { String(e) }"))
                  .toString(),
              QStringLiteral("quiet"));
    const QVariantMap s = page.State();
    EXPECT_FALSE(s[QStringLiteral("initialized")].toBool());
    EXPECT_EQ(s[QStringLiteral("route")].toInt(), 1);
    EXPECT_EQ(s[QStringLiteral("driven")].toInt(), 1);
    EXPECT_TRUE(s[QStringLiteral("center")].isNull());
}

}  // namespace
}  // namespace trivane
