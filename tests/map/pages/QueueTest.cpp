// Calls made before the provider's script has loaded (offline, or no key) are held, bounded, and
// applied in order once initialize runs with the provider present.
#include "PageView.h"

#include <gtest/gtest.h>

namespace trivane {
namespace {

using test::HostCalls;
using test::PageView;
using test::SamePoints;

// Route 4,5 (1..3 deleted); driven 13 (movpos), 14 (10..12 deleted); marker and centre 13.
const QStringList kEarlyCalls{
    QStringLiteral("path_plot(1,1)"),        QStringLiteral("path_plot(2,2)"),   QStringLiteral("path_plot(3,3)"),
    QStringLiteral("path_delete()"),         QStringLiteral("path_plot(4,4)"),   QStringLiteral("path_plot(5,5)"),
    QStringLiteral("movpos(10,10)"),         QStringLiteral("movpos(11,11)"),    QStringLiteral("pathdrived_plot(12,12)"),
    QStringLiteral("pathdrived_delete()"),   QStringLiteral("movpos(13,13)"),    QStringLiteral("pathdrived_plot(14,14)")};

void ExpectHeldNotDrawn(PageView& page)
{
    const QVariantMap s = page.State(true);
    EXPECT_FALSE(s[QStringLiteral("initialized")].toBool());
    EXPECT_TRUE(SamePoints(s[QStringLiteral("routePoints")], {{4, 4}, {5, 5}}));
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drivenPoints")], {{13, 13}, {14, 14}}));
    EXPECT_TRUE(SamePoints(QVariantList{s[QStringLiteral("marker")]}, {{13, 13}}));
    // Two route points, two driven points, one marker: nothing else is kept.
    EXPECT_EQ(s[QStringLiteral("queued")].toInt(), 5);
    EXPECT_EQ(s[QStringLiteral("drawnRoute")].toInt(), 0);
}

TEST(ProviderQueue, GoogleAppliesHeldCallsWhenTheApiArrives)
{
    PageView page(QStringLiteral("gmap.html"));
    ASSERT_TRUE(page.Loaded());
    page.Eval(HostCalls(kEarlyCalls));
    page.Eval(QStringLiteral("initialize()"));  // no API yet: stays waiting
    ExpectHeldNotDrawn(page);

    // The API's callback initializes the page, as the document has loaded.
    ASSERT_TRUE(page.InjectFake(QStringLiteral("FakeGoogle.js")));
    page.Eval(QStringLiteral("trivaneGoogleReady()"));
    QVariantMap s = page.State(true);
    ASSERT_TRUE(s[QStringLiteral("initialized")].toBool());
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnRoutePoints")], {{4, 4}, {5, 5}}));
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnDrivenPoints")], {{13, 13}, {14, 14}}));
    EXPECT_TRUE(SamePoints(QVariantList{s[QStringLiteral("center")]}, {{13, 13}}));
    EXPECT_EQ(s[QStringLiteral("zoom")].toInt(), 15);
    // Afterwards the calls draw at the next frame.
    page.Eval(HostCalls({QStringLiteral("set_center(20,21)"), QStringLiteral("pathdrived_plot_to_n(1)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnDriven === 1")));
    s = page.State(true);
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnDrivenPoints")], {{4, 4}}));
    EXPECT_TRUE(SamePoints(QVariantList{s[QStringLiteral("center")]}, {{20, 21}}));
}

TEST(ProviderQueue, BaiduAppliesHeldCallsWhenTheApiArrives)
{
    PageView page(QStringLiteral("BMap.html"));
    ASSERT_TRUE(page.Loaded());
    page.Eval(HostCalls(kEarlyCalls));
    page.Eval(QStringLiteral("initialize()"));
    ExpectHeldNotDrawn(page);

    ASSERT_TRUE(page.InjectFake(QStringLiteral("FakeBaidu.js")));
    page.Eval(QStringLiteral("initialize()"));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral(
        "var s = trivaneMapState(); s.drawnRoute === 2 && s.drawnDriven === 2 && fake.markers().length === 1"
        " && Math.abs(s.center[0] - 13.001) < 1e-9")));
    // Drawn in Baidu's coordinates (the fake shifts by 0.001, 0.002), in order.
    const QVariantMap s = page.State(true);
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnRoutePoints")], {{4.001, 4.002}, {5.001, 5.002}}));
    EXPECT_TRUE(SamePoints(s[QStringLiteral("drawnDrivenPoints")], {{13.001, 13.002}, {14.001, 14.002}}));
    EXPECT_TRUE(SamePoints(QVariantList{s[QStringLiteral("center")]}, {{13.001, 13.002}}));
    EXPECT_EQ(s[QStringLiteral("zoom")].toInt(), 16);
    EXPECT_EQ(page.Eval(QStringLiteral("JSON.stringify(fake.markers())")).toString(), QStringLiteral("[[13.001,13.002]]"));
}

// Event marks sent before the API arrived are drawn as circles once it has; a delete takes them off.
TEST(ProviderQueue, GoogleDrawsHeldEventMarksAsCircles)
{
    PageView page(QStringLiteral("gmap.html"));
    ASSERT_TRUE(page.Loaded());
    page.Eval(HostCalls({QStringLiteral("event_plot(1,1)"), QStringLiteral("event_delete()"),
                         QStringLiteral("event_plot(2,3)"), QStringLiteral("event_plot(4,5)")}));
    EXPECT_EQ(page.State()[QStringLiteral("queued")].toInt(), 2);
    ASSERT_TRUE(page.InjectFake(QStringLiteral("FakeGoogle.js")));
    page.Eval(QStringLiteral("trivaneGoogleReady()"));
    ASSERT_TRUE(page.State()[QStringLiteral("initialized")].toBool());
    EXPECT_EQ(page.State()[QStringLiteral("drawnEvents")].toInt(), 2);
    const QString shown = QStringLiteral(
        "JSON.stringify(fake.markers.filter(function (m) { return m.options.map && m.options.icon; })"
        ".map(function (m) { return [m.position.lat(), m.position.lng(), m.options.icon.path]; }))");
    EXPECT_EQ(page.Eval(shown).toString(), QStringLiteral("[[2,3,0],[4,5,0]]"));
    page.Eval(HostCalls({QStringLiteral("event_delete()")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().drawnEvents === 0")));
    EXPECT_EQ(page.Eval(shown).toString(), QStringLiteral("[]"));
}

// Coloured by speed on Google's lines too: a line per run over the plain one, which is hidden.
TEST(ProviderQueue, GoogleColoursTheRouteBySpeed)
{
    PageView page(QStringLiteral("gmap.html"));
    ASSERT_TRUE(page.Loaded());
    ASSERT_TRUE(page.InjectFake(QStringLiteral("FakeGoogle.js")));
    page.Eval(QStringLiteral("trivaneGoogleReady()"));
    page.Eval(HostCalls({QStringLiteral("route_colouring(1)"), QStringLiteral("path_plot(1,1)"),
                         QStringLiteral("path_plot(2,2)"), QStringLiteral("path_plot(3,3)"),
                         QStringLiteral("route_speeds([5,110,115])")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().speedRuns === 2")));
    const QString shown = QStringLiteral(
        "JSON.stringify(fake.lines.filter(function (l) { return l.options.map && l.options.strokeOpacity > 0; })"
        ".map(function (l) { return [l.options.strokeColor, l.getPath().getLength()]; }))");
    // The driven line (empty), then the slow run joined to the fast one.
    EXPECT_EQ(page.Eval(shown).toString(), QStringLiteral("[[\"#55EE55\",0],[\"#3288BD\",2],[\"#D53E4F\",2]]"));
    page.Eval(HostCalls({QStringLiteral("route_colouring(0)")}));
    ASSERT_TRUE(page.WaitTrue(QStringLiteral("trivaneMapState().speedRuns === 0")));
    EXPECT_EQ(page.Eval(shown).toString(), QStringLiteral("[[\"#8833FF\",3],[\"#55EE55\",0]]"));
}

}  // namespace
}  // namespace trivane
