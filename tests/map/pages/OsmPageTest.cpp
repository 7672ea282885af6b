// The key-less OpenStreetMap page offline: Leaflet through the link beside the pages, the host's
// calls drawn in order, a long route drawn in linear time, a page without Leaflet that stays quiet.
#include "PageView.h"

#include "TempDir.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
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

// Glide durations (ms) of the marker's icon and shadow and of the map pane, as computed: 0 when
// their transform does not transition.
const QString kGlides = QStringLiteral(
    "[document.querySelector('img.leaflet-marker-icon'), document.querySelector('img.leaflet-marker-shadow'),"
    " document.querySelector('.leaflet-map-pane')].map(function (e) { var c = getComputedStyle(e);"
    " return c.transitionProperty === 'transform' ? Math.round(parseFloat(c.transitionDuration) * 1000) : 0; })");

// Runs the host's calls and waits until the page has drawn them.
void Drawn(PageView& page, const QString& calls)
{
    page.Eval(calls);
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("var s = trivaneMapState(); s.drawnDriven === s.driven")));
}

QList<int> Glides(PageView& page)
{
    QList<int> ms;
    for (const QVariant& v : page.Eval(kGlides).toList()) ms << v.toInt();
    return ms;
}

// Steps of the same three glides: 0 when not stepped.
QList<int> GlideSteps(PageView& page)
{
    QList<int> steps;
    const QVariantList found = page.Eval(QStringLiteral(
        "[document.querySelector('img.leaflet-marker-icon'), document.querySelector('img.leaflet-marker-shadow'),"
        " document.querySelector('.leaflet-map-pane')].map(function (e) {"
        " var m = /steps\\((\\d+)/.exec(getComputedStyle(e).transitionTimingFunction); return m ? +m[1] : 0; })"))
                                   .toList();
    for (const QVariant& v : found) steps << v.toInt();
    return steps;
}

// Every 25 ms, count times: the map pane's left edge and how far the marker's tip is from the
// middle of the view, as [left, distance].
QVariantList SampleGlide(PageView& page, int count)
{
    page.Eval(QStringLiteral(
                  "window.samples = []; var t = setInterval(function () {"
                  " var m = document.querySelector('#map').getBoundingClientRect();"
                  " var i = document.querySelector('img.leaflet-marker-icon').getBoundingClientRect();"
                  " var p = document.querySelector('.leaflet-map-pane').getBoundingClientRect();"
                  " samples.push([p.left, Math.hypot(i.left + 12 - m.width / 2, i.top + 41 - m.height / 2)]);"
                  " if (samples.length === %1) clearInterval(t); }, 25)")
                  .arg(count));
    if (!page.WaitTrue(QStringLiteral("samples.length === %1").arg(count))) return {};
    return page.Eval(QStringLiteral("samples")).toList();
}

// A movpos glides the marker and the view together over the interval since the last one and
// reports its target at once; jumps, a new route, a seek (driven path replotted) and a zoom snap.
TEST(OsmPage, MarkerAndViewGlideBetweenFixesAndSnapOnJumps)
{
    PageView page(QStringLiteral("osmmap.html"));
    ASSERT_TRUE(page.Loaded());
    // A route of about 450 m, fitted at a zoom where 100 m are many pixels.
    Drawn(page, QStringLiteral("path_plot(35.6000,139.7000); path_plot(35.6040,139.7040); movpos(35.6000,139.7000)"));
    const QList<int> snapped{0, 0, 0};
    EXPECT_EQ(Glides(page), snapped);  // the first placement

    // A fix 1.1 s later, 150 m on: the state has it at once; the glide lasts the clamped interval.
    test::WaitFor([] { return false; }, 1100);
    const QVariantMap at = page.Eval(QStringLiteral("movpos(35.6010,139.7012); trivaneMapState()")).toMap();
    EXPECT_DOUBLE_EQ(Lat(at[QStringLiteral("marker")]), 35.601);
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnDriven === 2")));
    EXPECT_EQ(Glides(page), (QList<int>{1000, 1000, 1000}));
    QVariantMap s = page.State();
    EXPECT_NEAR(Lat(s[QStringLiteral("center")]), 35.601, kPixel);
    EXPECT_NEAR(Lon(s[QStringLiteral("center")]), 139.7012, kPixel);
    // While the map pane slides, the marker stays at the middle of the view.
    const QVariantList samples = SampleGlide(page, 40);
    ASSERT_EQ(samples.size(), 40);
    const double from = samples.front().toList()[0].toDouble();
    const double to = samples.back().toList()[0].toDouble();
    int between = 0;
    double offCentre = 0;
    for (const QVariant& sample : samples) {
        const double left = sample.toList()[0].toDouble();
        between += std::abs(left - from) > 1 && std::abs(left - to) > 1 ? 1 : 0;
        offCentre = std::max(offCentre, sample.toList()[1].toDouble());
    }
    EXPECT_GT(std::abs(to - from), 20);
    EXPECT_GE(between, 3);
    EXPECT_LT(offCentre, 3);
    // One step per pixel of the way, at most 25 a second: here more pixels than that.
    const QList<int> steps = GlideSteps(page);
    EXPECT_EQ(steps, (QList<int>{25, 25, 25})) << "moved " << std::abs(to - from) << " px";

    // A move of less than a pixel still glides, in one step: the page draws once, not per frame.
    test::WaitFor([] { return false; }, 1100);
    Drawn(page, QStringLiteral("movpos(35.601001,139.701201)"));
    EXPECT_EQ(Glides(page), (QList<int>{1000, 1000, 1000}));
    EXPECT_EQ(GlideSteps(page), (QList<int>{1, 1, 1}));

    // Two fixes in one frame glide for the shortest time.
    Drawn(page, QStringLiteral("movpos(35.6011,139.7013); movpos(35.6012,139.7014)"));
    EXPECT_EQ(Glides(page), (QList<int>{100, 100, 100}));

    // A jump of 700 m (within the view, so Leaflet itself would pan) snaps, and so does one of 6 km.
    Drawn(page, QStringLiteral("movpos(35.6012,139.7091)"));
    EXPECT_EQ(Glides(page), snapped);
    Drawn(page, QStringLiteral("movpos(35.6500,139.7500)"));
    EXPECT_EQ(Glides(page), snapped);
    EXPECT_NEAR(Lat(page.State()[QStringLiteral("center")]), 35.65, kPixel);

    // A new route, a seek and a zoom each snap a glide at once; after a route or a zoom the next
    // move snaps too, while after a seek the playing that follows glides again.
    const std::pair<QString, bool> snaps[] = {
        {QStringLiteral("path_delete(); path_plot(35.6500,139.7500); path_plot(35.6540,139.7540)"), true},
        {QStringLiteral("pathdrived_delete(); pathdrived_plot(35.6500,139.7500)"), false},
        {QStringLiteral("document.querySelector('.leaflet-control-zoom-in').click()"), true}};
    for (const auto& [snap, nextSnaps] : snaps) {
        SCOPED_TRACE(snap.toStdString());
        Drawn(page, QStringLiteral("movpos(35.6501,139.7501)"));
        Drawn(page, QStringLiteral("movpos(35.6502,139.7501)"));
        ASSERT_GT(Glides(page)[0], 0);
        page.Eval(snap);
        EXPECT_TRUE(page.WaitTrue(kGlides + QStringLiteral(".join() === '0,0,0'")));
        ASSERT_TRUE(page.WaitTrue(QStringLiteral("!document.querySelector('.leaflet-zoom-anim')")));
        Drawn(page, QStringLiteral("movpos(35.6501,139.7502)"));
        EXPECT_EQ(Glides(page)[0] == 0, nextSnaps);
    }

    // The driven path holds every move since the seek's replot, in order.
    s = page.State(true);
    const std::vector<std::pair<double, double>> driven{
        {35.65, 139.75}, {35.6501, 139.7502}, {35.6501, 139.7501}, {35.6502, 139.7501}, {35.6501, 139.7502}};
    EXPECT_TRUE(test::SamePoints(s[QStringLiteral("drivenPoints")], driven));
    EXPECT_TRUE(test::SamePoints(s[QStringLiteral("drawnDrivenPoints")], driven));
}

// Where each of the marker's icon and the map pane is shown against where Leaflet placed it, in
// pixels: [shown x, placed x, shown y, placed y] per element.
const QString kShownAndPlaced = QStringLiteral(
    "[document.querySelector('img.leaflet-marker-icon'), document.querySelector('.leaflet-map-pane')].map("
    "function (e) { var m = new DOMMatrix(getComputedStyle(e).transform); var p = e._leaflet_pos;"
    " return [m.m41, p.x, m.m42, p.y]; })");

// Without a GPU the host has the page's timer step the glides: a few frames a second instead of
// one per display frame, the marker still in the middle of the view, and a zoom mid-way leaves
// nothing shown away from where Leaflet placed it.
TEST(OsmPage, TimerGlideStepsAFewTimesASecondAndStopsForLeaflet)
{
    PageView page(QStringLiteral("osmmap.html"));
    ASSERT_TRUE(page.Loaded());
    page.Eval(QStringLiteral("trivaneGlideTimer(125)"));
    Drawn(page, QStringLiteral("path_plot(35.6000,139.7000); path_plot(35.6040,139.7040); movpos(35.6000,139.7000)"));

    test::WaitFor([] { return false; }, 1100);
    const auto paneShownX = [&] { return page.Eval(kShownAndPlaced).toList()[1].toList()[0].toDouble(); };
    const double before = paneShownX();
    Drawn(page, QStringLiteral("movpos(35.6010,139.7012)"));
    EXPECT_EQ(Glides(page), (QList<int>{0, 0, 0}));  // no transition: the compositor stays idle
    EXPECT_NE(paneShownX(), before);  // the first step comes with the redraw, not a frame later
    const QVariantList samples = SampleGlide(page, 48);
    ASSERT_EQ(samples.size(), 48);
    QList<double> places;
    double offCentre = 0;
    for (const QVariant& sample : samples) {
        const double left = sample.toList()[0].toDouble();
        if (places.isEmpty() || places.back() != left) places << left;
        offCentre = std::max(offCentre, sample.toList()[1].toDouble());
    }
    // Moving one way in whole pixels, at most 8 steps in the second.
    EXPECT_GT(std::abs(places.back() - places.front()), 20);
    EXPECT_GE(places.size(), 4);
    EXPECT_LE(places.size(), 9);
    for (double place : places) EXPECT_EQ(place, std::round(place));
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end()) || std::is_sorted(places.rbegin(), places.rend()));
    EXPECT_LT(offCentre, 3);
    // It ends exactly where Leaflet placed both.
    EXPECT_TRUE(page.WaitTrue(kShownAndPlaced + QStringLiteral(".every(function (v) { return v[0] === v[1] && v[2] === v[3]; })")));

    // A zoom half-way through a glide: everything where Leaflet put it, and it stays there.
    test::WaitFor([] { return false; }, 1100);
    Drawn(page, QStringLiteral("movpos(35.6020,139.7024)"));
    test::WaitFor([] { return false; }, 300);
    const int zoom = page.State()[QStringLiteral("zoom")].toInt();
    page.Eval(QStringLiteral("document.querySelector('.leaflet-control-zoom-in').click()"));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().zoom === %1 && !document.querySelector('.leaflet-zoom-anim')")
                                  .arg(zoom + 1)));
    // The pane at once (Leaflet's zoom transition moves only the marker's icon), both a second on.
    const QVariantList pane = page.Eval(kShownAndPlaced).toList()[1].toList();
    EXPECT_EQ(pane[0].toDouble(), pane[1].toDouble());
    EXPECT_EQ(pane[2].toDouble(), pane[3].toDouble());
    test::WaitFor([] { return false; }, 1000);
    for (const QVariant& e : page.Eval(kShownAndPlaced).toList()) {
        const QVariantList v = e.toList();
        EXPECT_EQ(v[0].toDouble(), v[1].toDouble());
        EXPECT_EQ(v[2].toDouble(), v[3].toDouble());
    }
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
// A recording's events as circles on its route: a bad point left out, the next recording's
// events in place of the last one's.
TEST(OsmPage, EventMarksDrawAsCirclesAndAreReplaced)
{
    PageView page(QStringLiteral("osmmap.html"));
    ASSERT_TRUE(page.Loaded());
    page.Eval(HostCalls({QStringLiteral("path_plot(35.6000,139.7000)"), QStringLiteral("path_plot(35.7000,139.8000)"),
                         QStringLiteral("event_delete()"), QStringLiteral("event_plot(35.6500,139.7500)"),
                         QStringLiteral("event_plot(Infinity,139.7600)"),
                         QStringLiteral("event_plot(35.6900,139.7900)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnEvents === 2")));
    EXPECT_TRUE(test::SamePoints(page.State(true)[QStringLiteral("eventPoints")],
                                 {{35.65, 139.75}, {35.69, 139.79}}));
    // Drawn over the route in the slider's event colour.
    EXPECT_EQ(page.Eval(QStringLiteral("document.querySelectorAll('path[fill=\"#FF9600\"]').length")).toInt(), 2);

    page.Eval(HostCalls({QStringLiteral("event_delete()"), QStringLiteral("event_plot(35.6100,139.7100)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnEvents === 1")));
    EXPECT_TRUE(test::SamePoints(page.State(true)[QStringLiteral("eventPoints")], {{35.61, 139.71}}));
    page.Eval(HostCalls({QStringLiteral("event_delete()")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnEvents === 0")));
}

// Coloured by speed: runs of one colour over the plain line, a legend; speeds that do not match
// the route one for one, or the colouring off, leave the route's plain colour.
TEST(OsmPage, RouteColouredBySpeedWithALegend)
{
    PageView page(QStringLiteral("osmmap.html"));
    ASSERT_TRUE(page.Loaded());
    const QString legendShown = QStringLiteral(
        "(function () { var e = document.getElementById('trivaneSpeedLegend');"
        " return !!e && e.style.display !== 'none'; })()");
    const auto paths = [&](const QString& selector) {
        return page.Eval(QStringLiteral("document.querySelectorAll('%1').length").arg(selector)).toInt();
    };
    page.Eval(HostCalls({QStringLiteral("path_plot(35.60,139.70)"), QStringLiteral("path_plot(35.61,139.71)"),
                         QStringLiteral("path_plot(35.62,139.72)"), QStringLiteral("path_plot(35.63,139.73)"),
                         QStringLiteral("route_speeds([10,15,50,120])")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute === 4")));
    EXPECT_EQ(page.State()[QStringLiteral("speedRuns")].toInt(), 0);  // off by default
    EXPECT_FALSE(page.Eval(legendShown).toBool());

    page.Eval(HostCalls({QStringLiteral("route_colouring(1)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().speedRuns === 3")));
    EXPECT_TRUE(page.State()[QStringLiteral("colouring")].toBool());
    EXPECT_TRUE(page.Eval(legendShown).toBool());
    EXPECT_EQ(page.Eval(QStringLiteral("document.getElementById('trivaneSpeedLegend').children.length")).toInt(), 7);
    // Slow, middle and fast runs, joined end to start.
    for (const char* colour : {"#3288BD", "#ABDDA4", "#D53E4F"})
        EXPECT_EQ(paths(QStringLiteral("path[stroke=\"%1\"]").arg(QLatin1String(colour))), 1) << colour;

    // The next recording's route before its speeds: plain until they arrive.
    page.Eval(HostCalls({QStringLiteral("path_delete()"), QStringLiteral("path_plot(35.70,139.80)"),
                         QStringLiteral("path_plot(35.71,139.81)")}));
    ASSERT_TRUE(
        page.WaitTrue(QStringLiteral("trivaneMapState().speedRuns === 0 && trivaneMapState().drawnRoute === 2")));
    page.Eval(HostCalls({QStringLiteral("route_speeds([90,95])")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().speedRuns === 1")));

    page.Eval(HostCalls({QStringLiteral("route_colouring(0)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().speedRuns === 0")));
    EXPECT_FALSE(page.Eval(legendShown).toBool());
    EXPECT_EQ(paths(QStringLiteral("path[stroke=\"#8833FF\"][stroke-opacity=\"0.5\"]")), 1);
}

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
