// Baidu's convertor completes in any order: lines keep the plotting order, the marker shows the
// latest position, and conversions of deleted points and replaced event marks are dropped.
#include "PageView.h"

#include <gtest/gtest.h>

#include <vector>

namespace trivane {
namespace {

using test::HostCalls;
using test::PageView;
using test::SamePoints;

// A page initialized on the fake API whose conversions wait for fake.complete().
void OpenWithHeldConversions(PageView& page)
{
    ASSERT_TRUE(page.Loaded());
    ASSERT_TRUE(page.InjectFake(QStringLiteral("FakeBaidu.js")));
    page.Eval(QStringLiteral("fake.autoConvert = false; initialize()"));
    ASSERT_TRUE(page.State()[QStringLiteral("initialized")].toBool());
}

QStringList Plots(int first, int count, std::vector<std::pair<double, double>>& converted)
{
    QStringList calls;
    for (int i = first; i < first + count; ++i) {
        const double lat = 30 + 0.01 * i;
        const double lon = 100 + 0.01 * i;
        calls << QStringLiteral("path_plot(%1,%2)").arg(lat, 0, 'f', 6).arg(lon, 0, 'f', 6);
        converted.emplace_back(lat + 0.001, lon + 0.002);
    }
    return calls;
}

TEST(BaiduPage, OutOfOrderConversionsKeepThePlottingOrder)
{
    PageView page(QStringLiteral("BMap.html"));
    OpenWithHeldConversions(page);
    // No marker until the first position; the starting view.
    QVariantMap s = page.State();
    EXPECT_EQ(page.Eval(QStringLiteral("fake.markers().length")).toInt(), 0);
    EXPECT_TRUE(SamePoints(QVariantList{s[QStringLiteral("center")]}, {{35.7101, 139.8107}}));

    std::vector<std::pair<double, double>> route;
    page.Eval(HostCalls(Plots(0, 25, route) << QStringLiteral("movpos(1,1)")));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 6")));  // 3 route, driven, marker, centre
    page.Eval(HostCalls({QStringLiteral("movpos(2,2)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 9")));
    EXPECT_EQ(page.Eval(QStringLiteral("Math.max.apply(null, fake.batchSizes)")).toInt(), 10);

    // The newest conversions first: the earlier marker and centre arrive last and are not shown.
    EXPECT_EQ(page.Eval(QStringLiteral("fake.complete('reverse')")).toInt(), 9);
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute === 25 && trivaneMapState().drawnDriven === 2")));
    s = page.State(true);
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnRoutePoints")], route));
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnDrivenPoints")], {{1.001, 1.002}, {2.001, 2.002}}));
    EXPECT_TRUE(SamePoints(QVariantList{s[QStringLiteral("center")]}, {{2.001, 2.002}}));
    EXPECT_EQ(page.Eval(QStringLiteral("JSON.stringify(fake.markers())")).toString(), QStringLiteral("[[2.001,2.002]]"));
}

TEST(BaiduPage, ConversionsOfDeletedPointsAreIgnored)
{
    PageView page(QStringLiteral("BMap.html"));
    OpenWithHeldConversions(page);
    std::vector<std::pair<double, double>> deleted;
    std::vector<std::pair<double, double>> route;
    page.Eval(HostCalls(Plots(0, 15, deleted)));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 2")));
    // The route replaced before any conversion came back; the new points complete first here.
    page.Eval(HostCalls(QStringList{QStringLiteral("path_delete()")} + Plots(50, 3, route)));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 3")));
    page.Eval(QStringLiteral("fake.complete('reverse')"));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute === 3")));
    EXPECT_TRUE(SamePoints(page.State(true)[QStringLiteral("drawnRoutePoints")], route));
}

// A recording's event marks replaced before their conversion came back: only the new ones show,
// as circle symbols in Baidu's coordinates, apart from the vehicle's marker.
TEST(BaiduPage, EventMarksShowConvertedAndReplacedOnesAreDropped)
{
    PageView page(QStringLiteral("BMap.html"));
    OpenWithHeldConversions(page);
    page.Eval(HostCalls({QStringLiteral("event_plot(30,100)"), QStringLiteral("event_plot(31,101)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 1")));
    page.Eval(HostCalls({QStringLiteral("event_delete()"), QStringLiteral("event_plot(32,102)"),
                         QStringLiteral("movpos(33,103)")}));
    // The old events, the new ones, the driven path, the marker and the centre.
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 5")));
    page.Eval(QStringLiteral("fake.complete('reverse')"));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnEvents === 1")));
    EXPECT_EQ(page.Eval(QStringLiteral("JSON.stringify(fake.eventMarks())")).toString(),
              QStringLiteral("[[32.001,102.002,\"circle\"]]"));
    EXPECT_EQ(page.Eval(QStringLiteral("JSON.stringify(fake.markers())")).toString(),
              QStringLiteral("[[33.001,103.002]]"));
    page.Eval(HostCalls({QStringLiteral("event_delete()")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnEvents === 0 && fake.eventMarks().length === 0")));
}

// Coloured by speed: each run shows over the converted points as they arrive, joined to the next.
TEST(BaiduPage, RouteColouredBySpeedFollowsTheConversions)
{
    PageView page(QStringLiteral("BMap.html"));
    OpenWithHeldConversions(page);
    std::vector<std::pair<double, double>> route;
    page.Eval(HostCalls(Plots(0, 12, route) << QStringLiteral("route_speeds([5,5,5,5,5,5,5,5,5,5,110,110])")
                                            << QStringLiteral("route_colouring(1)")));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("fake.conversions.length === 2 && trivaneMapState().speedRuns === 2")));
    const QString shown = QStringLiteral(
        "JSON.stringify(fake.map.overlays.filter(function (o) { return o instanceof BMap.Polyline &&"
        " o.options.strokeOpacity > 0; }).map(function (l) { return [l.options.strokeColor, l.getPath().length]; }))");
    // Nothing converted yet: the driven line and two empty runs; the plain route is hidden.
    EXPECT_EQ(page.Eval(shown).toString(), QStringLiteral("[[\"red\",0],[\"#3288BD\",0],[\"#D53E4F\",0]]"));
    page.Eval(QStringLiteral("fake.complete()"));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnRoute === 12")));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral(
        "fake.map.overlays.filter(function (o) { return o.options && o.options.strokeColor === '#D53E4F'; })[0]"
        ".getPath().length === 2")));
    EXPECT_EQ(page.Eval(shown).toString(), QStringLiteral("[[\"red\",0],[\"#3288BD\",11],[\"#D53E4F\",2]]"));
    EXPECT_NEAR(page.Eval(QStringLiteral("fake.map.overlays.filter(function (o) { return o.options &&"
                                         " o.options.strokeColor === '#D53E4F'; })[0].getPath()[0].lat"))
                    .toDouble(),
                route[10].first, 1e-9);
}

}  // namespace
}  // namespace trivane
