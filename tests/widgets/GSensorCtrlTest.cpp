#include <QImage>

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "WidgetTestSupport.h"
#include "widgets/CGSensorCtrl.h"

namespace trivane {
namespace {

// 544 x 107, the panel's size in the 800 x 560 window: graph left 35, top 70, right 542,
// bottom 99, width 507, height 29, zero line 70 + 14 = 84.
constexpr int kL = 35, kT = 70, kRt = 542, kB = 99, kZ = 84;
const QColor kYellow(255, 255, 0), kGreen(60, 255, 60), kRed(255, 60, 60);
const QColor kWhite(255, 255, 255), kGrey(102, 102, 102), kBlue(0, 0, 255), kBlack(0, 0, 0);

class GSensorCtrlTest : public ::testing::Test {
protected:
    GSensorCtrlTest() { g.resize(544, 107); }

    // `count` samples at 10 Hz (0.01 per ms) with the given raw triple, range factor 8.
    void Load(int count, GSensorSample s, int range = 8) {
        g.ResetSamples();
        g.SetGRange(range);
        for (int i = 0; i < count; ++i) g.AppendSample(s);
        g.SetSampleRate(0.01);
        g.SetCursorTracking(true);
    }

    QColor At(int x, int y) { return test::PixelAt(g.Render(), x, y); }

    CGSensorCtrl g;
};

TEST_F(GSensorCtrlTest, FrameZeroLineAndAxisFollowTheClientSize) {
    Load(100, {64, -64, 32});
    g.SetPosition(5000);  // moves the cursor off the time axis
    EXPECT_EQ(g.Graph().left, kL);
    EXPECT_EQ(g.Graph().right, kRt);
    EXPECT_EQ(g.Graph().ZeroLine(), kZ);
    EXPECT_EQ(At(200, kT - 16), kWhite);  // legend separator, 2 px
    EXPECT_EQ(At(200, kT - 15), kWhite);
    EXPECT_EQ(At(200, kT - 14), kBlack);
    EXPECT_EQ(At(200, kT - 8), kWhite);   // frame top
    EXPECT_EQ(At(200, 107 - 7), kWhite);  // frame bottom
    EXPECT_EQ(At(0, 80), kWhite);         // frame left
    EXPECT_EQ(At(543, 80), kWhite);       // frame right
    EXPECT_EQ(At(200, kZ), kWhite);       // zero line ...
    EXPECT_EQ(At(kRt - 1, kZ), kWhite);
    EXPECT_EQ(At(kRt, kZ), kBlack);       // ... stops before the graph's right edge
    EXPECT_EQ(At(kL, 95), kGrey);         // time axis
    EXPECT_EQ(At(kL, kB), kBlack);
}

TEST_F(GSensorCtrlTest, TicksAreLongEveryTwoSecondsMediumAtOddSecondsShortOtherwise) {
    // Empty: 20 s drawn, 100 ticks; tick i at x = trunc(i * 507 / 100 + 35). The 0 s tick lies
    // under the cursor, which rests on the left edge.
    const auto tickLength = [&](int x, int base) {
        int len = 0;
        while (len < 10 && At(x, base - 1 - len) == kGrey) ++len;
        return len;
    };
    EXPECT_EQ(tickLength(136, kT), 6);  // 4 s
    EXPECT_EQ(tickLength(111, kT), 4);  // 3 s
    EXPECT_EQ(tickLength(40, kT), 2);   // 0.2 s
    EXPECT_EQ(tickLength(60, kT), 4);   // 1 s
    EXPECT_EQ(tickLength(85, kT), 6);   // 2 s
    EXPECT_EQ(tickLength(85, kB), 6);
    EXPECT_EQ(tickLength(60, kB), 4);
    EXPECT_EQ(tickLength(41, kT), 0);   // between ticks
    // On the zero line the tick rises above the white line.
    EXPECT_EQ(At(60, kZ - 4), kGrey);
    EXPECT_EQ(At(60, kZ - 5), kBlack);
}

TEST_F(GSensorCtrlTest, CurvesUseTheirColoursAndTheScaleOfOneG) {
    // R = 8: raw 64 is 0.5 G (y = trunc(84 - 0.5 * 29 / 2) = 76), -64 is -0.5 G (y = 91),
    // 32 is 0.25 G (y = trunc(84 - 3.625) = 80).
    Load(100, {64, -64, 32});
    g.SetPosition(0);
    EXPECT_EQ(At(235, 76), kYellow);
    EXPECT_EQ(At(235, 91), kGreen);
    EXPECT_EQ(At(235, 80), kRed);
    // Ten seconds fill the width: nothing past the graph's right edge.
    EXPECT_EQ(At(kRt - 1, 76), kYellow);
    EXPECT_NE(At(kRt, 76), kYellow);
}

TEST_F(GSensorCtrlTest, ValuesBeyondOneGAreDrawnAtTheGraphEdgesButReadTrue) {
    Load(100, {127, -128, 0}, 16);  // 1.98 G and -2 G
    g.SetPosition(2000);
    EXPECT_EQ(At(235, 69), kYellow);  // trunc(84 - 14.5)
    EXPECT_EQ(At(235, 98), kGreen);   // trunc(84 + 14.5)
    EXPECT_DOUBLE_EQ(g.LegendValue(CGSensorCtrl::AxisX), 127 * 16 / 1024.0);
    EXPECT_DOUBLE_EQ(g.LegendValue(CGSensorCtrl::AxisY), -2.0);
}

TEST_F(GSensorCtrlTest, ZeroSamplesAreBridgedOnTheirAxisOnly) {
    g.ResetSamples();
    g.SetGRange(8);
    for (int i = 0; i < 100; ++i) {
        const bool gap = i >= 50 && i < 60;
        g.AppendSample({static_cast<std::int8_t>(gap ? 0 : 64), -64, 0});
    }
    g.SetSampleRate(0.01);
    // Columns 254..304 fall on samples 50..59 (t = p * 10000 / 507). The x curve runs straight
    // at 0.5 G across them instead of dropping to the zero line; y is unaffected.
    const QImage& img = g.Render();
    for (int p : {254, 280, 304}) {
        EXPECT_EQ(test::PixelAt(img, kL + p, 76), kYellow) << p;
        for (int y = 77; y < kB; ++y) EXPECT_NE(test::PixelAt(img, kL + p, y), kYellow) << p << "," << y;
        EXPECT_EQ(test::PixelAt(img, kL + p, 91), kGreen) << p;
    }
    // z is zero everywhere: no red at all.
    for (int x = kL; x < kRt; ++x)
        for (int y = kT; y < kB; ++y) ASSERT_NE(test::PixelAt(img, x, y), kRed);
}

TEST_F(GSensorCtrlTest, CursorFollowsThePositionOnlyWhileTracking) {
    Load(100, {64, -64, 32});
    g.SetPosition(5000);  // x = 35 + trunc(5000 * 507 / 10000) = 288
    EXPECT_EQ(At(288, 95), kBlue);
    EXPECT_EQ(At(288, kT - 7), kBlue);
    EXPECT_NE(At(290, 95), kBlue);
    g.SetCursorTracking(false);
    EXPECT_EQ(At(kL, 95), kBlue);
    EXPECT_NE(At(288, 95), kBlue);
}

TEST_F(GSensorCtrlTest, StoppedPanelDrawsNoCurvesAndAGreyLegend) {
    Load(100, {64, -64, 32});
    g.SetPosition(5000);
    const auto brightestIn = [&](const QRect& r) {
        const QImage& img = g.Render();
        int best = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) best = std::max(best, QColor(img.pixel(x, y)).red());
        return best;
    };
    g.Render();
    EXPECT_EQ(g.LegendRect(0).top(), 16);
    EXPECT_EQ(brightestIn(g.LegendRect(0)), 255);
    g.SetStopped(true);
    g.Render();
    EXPECT_EQ(g.LegendRect(0).top(), 15);
    const int grey = brightestIn(g.LegendRect(0));
    EXPECT_GT(grey, 100);
    EXPECT_LE(grey, 160);
    EXPECT_NE(At(235, 76), kYellow);
}

TEST_F(GSensorCtrlTest, EmptyPanelShowsAGreyLegendWithZeroReadings) {
    g.Render();
    EXPECT_EQ(g.Total(), 0.0);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ(g.LegendRect(axis).top(), 15) << axis;
        EXPECT_EQ(g.LegendValue(axis), 0.0);
    }
    // Entries are laid out left to right, 50 pixels apart.
    EXPECT_EQ(g.LegendRect(0).left(), 20);
    EXPECT_EQ(g.LegendRect(1).left(), 20 + g.LegendRect(0).width() + 50);
}

TEST_F(GSensorCtrlTest, RangeFactorZeroMeansEight) {
    Load(10, {-128, 127, 0}, 0);
    g.SetPosition(0);
    EXPECT_DOUBLE_EQ(g.LegendValue(CGSensorCtrl::AxisX), -1.0);
    EXPECT_DOUBLE_EQ(g.LegendValue(CGSensorCtrl::AxisY), 127.0 / 128.0);  // 0.9922
    Load(10, {-128, 127, 0}, 2);
    EXPECT_DOUBLE_EQ(g.LegendValue(CGSensorCtrl::AxisX), -0.25);
    EXPECT_DOUBLE_EQ(g.LegendValue(CGSensorCtrl::AxisY), 127.0 * 2 / 1024);  // 0.2480
}

TEST_F(GSensorCtrlTest, PositionIsClampedAndTheViewFollowsLongRecordings) {
    Load(100, {1, 1, 1});  // 10 s
    g.SetPosition(60000);
    EXPECT_EQ(g.Position(), 10000.0);
    EXPECT_EQ(g.ViewStart(), 0.0);

    Load(5, {1, 1, 1});  // 0.5 s: the one-second window is wider than the recording
    g.SetPosition(300);
    EXPECT_EQ(g.WindowSpan(), 1000.0);
    EXPECT_EQ(g.ViewStart(), 0.0);

    Load(72000, {1, 1, 1});  // two hours: an hour-wide window centred on the position
    g.SetPosition(3600000);
    EXPECT_EQ(g.WindowSpan(), 3600000.0);
    EXPECT_EQ(g.ViewStart(), 1800000.0);
    g.SetPosition(7000000);  // near the end the window rests against it
    EXPECT_EQ(g.ViewStart(), 3600000.0);
    g.SetPosition(100);
    EXPECT_EQ(g.ViewStart(), 0.0);
}

TEST_F(GSensorCtrlTest, UnusableSampleRatesLeaveTheRecordingWithoutLength) {
    Load(100, {1, 1, 1});
    for (double rate : {0.0, -0.01, std::numeric_limits<double>::quiet_NaN()}) {
        g.SetSampleRate(rate);
        g.SetPosition(5000);
        EXPECT_EQ(g.Total(), 0.0) << rate;
        EXPECT_EQ(g.Position(), 0.0) << rate;
        g.Render();  // must neither crash nor hang
    }
    g.ResetSamples();
    g.SetSampleRate(0.0);
    EXPECT_EQ(g.Total(), 0.0);
}

TEST_F(GSensorCtrlTest, ClickingALegendEntryTogglesOnlyThatAxis) {
    Load(100, {64, -64, 32});
    g.SetPosition(0);
    g.Render();
    const QPoint onY = g.LegendRect(1).center();
    test::Press(&g, onY);
    test::Release(&g, onY);
    EXPECT_TRUE(g.AxisVisible(0));
    EXPECT_FALSE(g.AxisVisible(1));
    EXPECT_TRUE(g.AxisVisible(2));
    EXPECT_EQ(At(235, 76), kYellow);
    EXPECT_NE(At(235, 91), kGreen);
    // A click in the graph changes nothing; a double-click is ignored entirely.
    test::Press(&g, QPoint(300, 90));
    test::Release(&g, QPoint(300, 90));
    test::DoubleClick(&g, onY);
    EXPECT_FALSE(g.AxisVisible(1));
    EXPECT_EQ(g.Position(), 0.0);
}

TEST_F(GSensorCtrlTest, LegendClickWhileStoppedFlipsButStaysGrey) {
    Load(100, {64, -64, 32});
    g.SetStopped(true);
    g.Render();
    const QPoint onX = g.LegendRect(0).center();
    test::Press(&g, onX);
    test::Release(&g, onX);
    EXPECT_FALSE(g.AxisVisible(0));
    g.Render();
    EXPECT_EQ(g.LegendRect(0).top(), 15);
    // Visibility survives loading another recording.
    Load(50, {64, -64, 32});
    EXPECT_FALSE(g.AxisVisible(0));
}

// The panel on screen is only partly repainted while playing; after every kind of change it must
// still match a new panel given the same state and painted whole.
TEST(GSensorCtrlScreenTest, AfterEveryChangeTheScreenMatchesAFreshPanel) {
    struct State {
        QSize size{544, 107};
        std::vector<GSensorSample> samples;
        double rate = 0.01;
        int range = 8;
        bool tracking = true;
        bool stopped = false;
        std::array<bool, 3> visible{true, true, true};
        std::uint32_t position = 0;
    } state;
    const auto samples = [](int count, int phase) {
        std::vector<GSensorSample> out;
        for (int i = 0; i < count; ++i) {
            const int v = (i * 7 + phase) % 120 - 60;
            out.push_back({static_cast<std::int8_t>(v), static_cast<std::int8_t>((v * 3) % 100),
                           static_cast<std::int8_t>(v == 0 ? 0 : 60 - v / 2)});
        }
        return out;
    };
    const auto toggleAxis = [](CGSensorCtrl& panel, int axis) {
        panel.Render();
        test::Press(&panel, panel.LegendRect(axis).center());
        test::Release(&panel, panel.LegendRect(axis).center());
    };
    const auto fresh = [&] {
        CGSensorCtrl panel;
        panel.resize(state.size);
        panel.ResetSamples();
        panel.SetGRange(state.range);
        for (const GSensorSample& s : state.samples) panel.AppendSample(s);
        panel.SetSampleRate(state.rate);
        panel.SetCursorTracking(state.tracking);
        panel.SetStopped(state.stopped);
        for (int a = 0; a < 3; ++a)
            if (!state.visible[static_cast<std::size_t>(a)]) toggleAxis(panel, a);
        panel.SetPosition(state.position);
        return panel.Render().copy();
    };

    CGSensorCtrl shown;
    shown.resize(state.size);
    state.samples = samples(300, 0);  // 30 s
    shown.SetGRange(state.range);
    for (const GSensorSample& s : state.samples) shown.AppendSample(s);
    shown.SetSampleRate(state.rate);
    shown.show();
    const auto check = [&](const char* step) {
        ASSERT_TRUE(test::OnScreen(shown) == fresh()) << step;
    };
    const auto moveTo = [&](std::uint32_t ms) {
        state.position = ms;
        shown.SetPosition(ms);
    };

    moveTo(0);
    check("start");
    for (std::uint32_t ms : {1000u, 1030u, 15000u, 29999u, 400u}) {
        moveTo(ms);
        check("position");
    }
    toggleAxis(shown, 1);
    state.visible[1] = false;
    moveTo(8000);
    check("axis hidden");
    for (const GSensorSample& s : samples(100, 5)) {
        state.samples.push_back(s);
        shown.AppendSample(s);
    }
    moveTo(8000);
    check("samples appended");
    state.size = QSize(600, 131);
    shown.resize(state.size);
    moveTo(9000);
    check("resized");
    state.stopped = true;
    shown.SetStopped(true);
    moveTo(9500);
    check("stopped");
    state.stopped = false;
    shown.SetStopped(false);
    moveTo(9500);
    check("running");
    state.range = 4;
    shown.SetGRange(4);
    moveTo(9500);
    check("range");
    state.tracking = false;
    shown.SetCursorTracking(false);
    moveTo(12000);
    check("not tracking");
    state.tracking = true;
    shown.SetCursorTracking(true);
    moveTo(12000);
    check("tracking");
    state.rate = 0.0001;  // 4000 s, longer than the hour-wide window: the view scrolls
    shown.SetSampleRate(state.rate);
    for (std::uint32_t ms : {2000000u, 2000500u, 2100000u, 3999000u, 10u}) {
        moveTo(ms);
        check("scrolling");
    }
    state.samples = samples(50, 3);
    state.rate = 0.01;
    state.position = 0;
    shown.ResetSamples();
    for (const GSensorSample& s : state.samples) shown.AppendSample(s);
    shown.SetSampleRate(state.rate);
    check("reloaded");
}

}  // namespace
}  // namespace trivane
