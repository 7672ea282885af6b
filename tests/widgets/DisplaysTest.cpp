#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>

#include <cstdint>
#include <utility>

#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "widgets/ArtResources.h"
#include "widgets/CPngCompassStatic.h"
#include "widgets/CPngStatic.h"
#include "widgets/CSpeedLabelStatic.h"
#include "widgets/CStatusBoardStatic.h"
#include "widgets/CTeskToolTipCtrl.h"
#include "widgets/CVideoStatic.h"
#include "widgets/CVideoStaticBg.h"

namespace trivane {
namespace {

const QColor kHostColour(0, 128, 0);

TEST(SpeedLabelTest, MilesPerHourAreTenSixteenthsTruncated) {
    CSpeedLabelStatic s;
    s.resize(90, 34);
    EXPECT_EQ(s.NumberText(), QStringLiteral("  0"));
    EXPECT_EQ(s.UnitText(), QStringLiteral("Km/h"));
    s.SetSpeed(87);
    EXPECT_EQ(s.NumberText(), QStringLiteral(" 87"));
    test::Press(&s, {5, 5});
    test::Release(&s, {5, 5});
    ASSERT_FALSE(s.IsMetric());
    EXPECT_EQ(s.UnitText(), QStringLiteral("MPH"));
    EXPECT_EQ(s.NumberText(), QStringLiteral(" 54"));
    const std::pair<std::uint16_t, const char*> cases[] = {
        {0, "  0"}, {1, "  0"}, {2, "  1"}, {100, " 62"}, {499, "311"}};
    for (const auto& [kmh, text] : cases) {
        s.SetSpeed(kmh);
        EXPECT_EQ(s.NumberText(), QString::fromLatin1(text)) << kmh;
    }
}

TEST(SpeedLabelTest, ReleasingOutsideDoesNotSwitchAndADoubleClickSwitchesThreeTimes) {
    CSpeedLabelStatic s;
    s.resize(90, 34);
    test::Press(&s, {5, 5});
    test::Release(&s, {120, 5});
    EXPECT_TRUE(s.IsMetric());
    // press, release, double-click, release
    test::Press(&s, {5, 5});
    test::Release(&s, {5, 5});
    test::DoubleClick(&s, {5, 5});
    test::Release(&s, {5, 5});
    EXPECT_FALSE(s.IsMetric());
}

// A speed that reads the same is not repainted; one that reads differently, or a unit switch, is,
// also when the reading was shown before.
TEST(SpeedLabelTest, TheScreenFollowsEveryChangeOfTheReadOut) {
    CSpeedLabelStatic shown;
    shown.resize(90, 34);
    shown.show();
    const auto fresh = [&](std::uint16_t kmh, bool metric) {
        CSpeedLabelStatic label;
        label.resize(90, 34);
        if (!metric) {
            test::Press(&label, {5, 5});
            test::Release(&label, {5, 5});
        }
        label.SetSpeed(kmh);
        label.show();
        const QImage image = test::OnScreen(label);
        label.hide();
        test::OnScreen(shown);  // whatever exposures that caused are done before the next change
        return image;
    };
    const std::pair<std::uint16_t, bool> steps[] = {{87, true}, {87, true}, {88, true}, {100, false}, {101, false},
                                                    {103, false}, {103, true}, {0, true},
                                                    {88, true},  {100, false}, {64, true}};  // drawn before: kept; " 64" as km/h
    for (const auto& [kmh, metric] : steps) {
        const QImage expected = fresh(kmh, metric);
        if (metric != shown.IsMetric()) {
            test::Press(&shown, {5, 5});
            test::Release(&shown, {5, 5});
        }
        shown.SetSpeed(kmh);
        ASSERT_TRUE(test::OnScreen(shown) == expected) << kmh << " " << metric;
    }
}

TEST(SpeedLabelTest, PaintsTheWindowColourBehindTheDigits) {
    auto host = test::MakeHost({90, 34}, kHostColour);
    auto* s = new CSpeedLabelStatic(host.get());
    s->resize(90, 34);
    s->SetSpeed(188);
    const QImage img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 89, 0), QColor(5, 5, 5));
    int warm = 0;  // digits are amber: red well above blue
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 40; ++x) {
            const QColor c = test::PixelAt(img, x, y);
            warm += c.red() > 150 && c.blue() < 100 ? 1 : 0;
        }
    EXPECT_GT(warm, 20);
}

TEST(CompassTest, IndexZeroIsTheFirstRoseInGreyAndIndexesBeyondTheListDrawNothing) {
    const QColor neutral(20, 20, 20);  // neutral, so that edges blended with it stay grey
    auto host = test::MakeHost({32, 32}, neutral);
    auto* c = new CPngCompassStatic(host.get());
    c->resize(32, 32);
    c->SetImageIndex(0);
    EXPECT_EQ(test::PixelAt(test::Snapshot(*host), 16, 16), neutral);  // no pictures yet
    EXPECT_FALSE(c->AddImage(9999));
    for (std::uint16_t id = 167; id <= 174; ++id) ASSERT_TRUE(c->AddImage(id));
    const auto colourful = [&] {
        const QImage img = test::Snapshot(*host);
        int coloured = 0, hostPixels = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QColor p = test::PixelAt(img, x, y);
                if (p == neutral) ++hostPixels;
                else if (std::abs(p.red() - p.green()) > 30) ++coloured;
            }
        return std::pair{coloured, hostPixels};
    };
    auto [coloured, hostPixels] = colourful();
    EXPECT_EQ(coloured, 0);           // grey
    EXPECT_LT(hostPixels, 32 * 32);   // but drawn
    c->SetImageIndex(1);
    EXPECT_GT(colourful().first, 5);  // red needle in colour
    c->SetImageIndex(9);
    EXPECT_EQ(colourful().second, 32 * 32);
}

TEST(StatusBoardTest, FilledShareIsTiledWithThePatternAndTheRestIsTheRemainderColour) {
    const QImage pattern = LoadBitmapResource(189);
    ASSERT_FALSE(pattern.isNull());
    auto host = test::MakeHost({200, 30}, kHostColour);
    auto* b = new CStatusBoardStatic(host.get());
    b->resize(200, 30);
    b->SetPatternBitmapId(189);
    const QColor remainder(5, 5, 5);

    b->SetProgress(0, QString());
    QImage img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 10, 15), remainder);
    EXPECT_EQ(test::PixelAt(img, 190, 15), remainder);

    b->SetProgress(50, QString());  // split at 100
    img = test::Snapshot(*host);
    EXPECT_EQ(img.pixel(40, 15), pattern.pixel(10, 15));  // tile repeats from the origin
    EXPECT_EQ(img.pixel(99, 20), pattern.pixel(9, 20));
    EXPECT_EQ(test::PixelAt(img, 100, 15), remainder);

    b->SetProgress(100, QStringLiteral("100 %"));
    img = test::Snapshot(*host);
    EXPECT_EQ(img.pixel(190, 4), pattern.pixel(10, 4));
    // Raised edge: light outer top-left, dark outer bottom-right, white inner top-left.
    EXPECT_EQ(test::PixelAt(img, 50, 0), QColor(227, 227, 227));
    EXPECT_EQ(test::PixelAt(img, 50, 29), QColor(105, 105, 105));
    EXPECT_EQ(test::PixelAt(img, 50, 1), QColor(255, 255, 255));
    EXPECT_EQ(test::PixelAt(img, 199, 15), QColor(105, 105, 105));

    b->SetProgress(250, QString());
    EXPECT_EQ(b->Percent(), 100);
}

TEST(StatusBoardTest, MissingPatternLeavesTheFilledPartUndrawn) {
    auto host = test::MakeHost({200, 30}, kHostColour);
    auto* b = new CStatusBoardStatic(host.get());
    b->resize(200, 30);
    b->SetPatternBitmapId(4242);
    b->SetProgress(50, QString());
    const QImage img = test::Snapshot(*host);
    EXPECT_EQ(test::PixelAt(img, 40, 15), kHostColour);
    EXPECT_EQ(test::PixelAt(img, 150, 15), QColor(5, 5, 5));
    // Without any pattern the fill colour is used.
    b->SetPatternBitmapId(0);
    b->SetFillColour(QColor(200, 10, 10));
    EXPECT_EQ(test::PixelAt(test::Snapshot(*host), 40, 15), QColor(200, 10, 10));
}

TEST(VideoStaticTest, CounterShowsOnlyWhileVisibleAndClicksStayWithTheSurface) {
    auto host = std::make_unique<test::MessageCounter>();
    host->setAttribute(Qt::WA_DontShowOnScreen);
    host->resize(300, 200);
    auto* v = new CVideoStatic(host.get());
    v->resize(300, 200);
    v->SetCounter(1234);
    QImage img = test::Snapshot(*host);
    for (int x = 0; x < 300; x += 7) ASSERT_EQ(test::PixelAt(img, x, 60), QColor(5, 5, 5));
    v->SetCounterVisible(true);
    img = test::Snapshot(*host);
    int blue = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) blue += QColor(img.pixel(x, y)).blue() > 150 ? 1 : 0;
    EXPECT_GT(blue, 500);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v, &press);
    EXPECT_TRUE(press.isAccepted());

    CVideoStaticBg bg;
    EXPECT_TRUE(bg.SurfaceHidden());
}

TEST(PngStaticTest, InactiveIsGreyActiveInColourAndNoImageDrawsNothing) {
    auto host = test::MakeHost({32, 32}, kHostColour);
    auto* s = new CPngStatic(host.get());
    s->resize(32, 32);
    EXPECT_FALSE(s->SetImage(9999));
    EXPECT_EQ(test::PixelAt(test::Snapshot(*host), 16, 16), kHostColour);
    ASSERT_TRUE(s->SetImage(150));
    const auto colouredPixels = [&] {
        const QImage img = test::Snapshot(*host);
        int n = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const QColor p = test::PixelAt(img, x, y);
                if (p != kHostColour && std::abs(p.red() - p.blue()) > 40) ++n;
            }
        return n;
    };
    EXPECT_EQ(colouredPixels(), 0);
    s->SetActive(1);
    EXPECT_GT(colouredPixels(), 5);
}

TEST(ToolTipTest, ToolsCarryTheirTextsAndTheListedControlsGetTheIcon) {
    // The owner fetches the label texts; descriptions come through the lookup.
    std::vector<int> looked;
    CTeskToolTipCtrl tips(nullptr, [&looked](int id) {
        looked.push_back(id);
        return "description " + std::to_string(id);
    });
    QWidget conf, speed, other;
    tips.AddTool(&conf, 1014, QStringLiteral("Configuration"));
    tips.AddTool(&speed, 1056, QStringLiteral("Change Speed Unit KPH/MPH."));
    tips.SetIconList({{1014, 0, 161}, {1056, 120, 161}});

    CTeskToolTipCtrl::Content content;
    ASSERT_TRUE(tips.PrepareContent(&conf, content));
    EXPECT_EQ(tips.CurrentControl(), 1014);
    EXPECT_EQ(content.label, QStringLiteral("Configuration"));
    EXPECT_TRUE(content.description.isEmpty());  // description id 0: no line, no lookup
    EXPECT_TRUE(looked.empty());
    EXPECT_EQ(content.icon.size(), QSize(32, 32));
    EXPECT_TRUE(CTeskToolTipCtrl::ToHtml(content).contains(QStringLiteral(":/bmp/161.png")));

    ASSERT_TRUE(tips.PrepareContent(&speed, content));
    EXPECT_EQ(content.description, QStringLiteral("description 120"));
    EXPECT_FALSE(tips.PrepareContent(&other, content));

    // A language change removes every tool and adds them again with the new texts.
    tips.RemoveAllTools();
    EXPECT_EQ(tips.ToolCount(), 0u);
    EXPECT_FALSE(tips.PrepareContent(&conf, content));
    tips.AddTool(&conf, 1014, QStringLiteral("Konfiguration"));
    ASSERT_TRUE(tips.PrepareContent(&conf, content));
    EXPECT_EQ(content.label, QStringLiteral("Konfiguration"));

    // A tooltip request on a tool is answered by the control; other widgets are left alone.
    QHelpEvent onTool(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    EXPECT_TRUE(QApplication::sendEvent(&conf, &onTool));
    EXPECT_EQ(tips.ToolCount(), 1u);
}

TEST(ToolTipTest, TextsAreEscapedAndAToolDestroyedEarlyIsForgotten) {
    CTeskToolTipCtrl tips(nullptr, [](int) { return std::string(); });
    auto widget = std::make_unique<QWidget>();
    tips.AddTool(widget.get(), 1001, QStringLiteral("<b>Files</b>"));
    CTeskToolTipCtrl::Content content;
    ASSERT_TRUE(tips.PrepareContent(widget.get(), content));
    EXPECT_TRUE(CTeskToolTipCtrl::ToHtml(content).contains(QStringLiteral("&lt;b&gt;Files")));
    widget.reset();
    EXPECT_EQ(tips.ToolCount(), 0u);
    tips.RemoveAllTools();
}

}  // namespace
}  // namespace trivane
