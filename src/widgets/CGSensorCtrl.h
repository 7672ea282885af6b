#pragma once

#include <QFont>
#include <QImage>
#include <QLine>
#include <QPen>
#include <QRect>
#include <QRegion>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "telemetry/IGSensorCurve.h"
#include "widgets/GlyphAtlas.h"

namespace trivane {

// The three G-sensor axes of the current recording drawn as curves across the panel, a cursor at
// the playback position and a legend with the reading there. Clicking a legend entry hides or
// shows that axis; nothing else reacts to the mouse.
class CGSensorCtrl : public QWidget, public IGSensorCurve {
    Q_OBJECT

public:
    enum Axis { AxisX = 0, AxisY = 1, AxisZ = 2 };

    struct GraphBox {
        int left = 0, top = 0, right = 0, bottom = 0;
        int Width() const { return right - left; }
        int Height() const { return bottom - top; }
        int ZeroLine() const { return top + Height() / 2; }
    };

    explicit CGSensorCtrl(QWidget* parent = nullptr);

    void ResetSamples() override;
    void SetGRange(int rangeFactor) override;
    void AppendSample(const GSensorSample& sample) override;
    void SetSampleRate(double samplesPerMs) override;
    void SetCursorTracking(bool tracking) override;
    void SetStopped(bool stopped) override;
    void SetPosition(std::uint32_t ms) override;

    double Position() const { return m_position; }
    double Total() const { return m_total; }
    double WindowSpan() const { return m_windowSpan; }
    double ViewStart() const { return m_viewStart; }
    double GRange() const { return m_gRange; }
    std::size_t SampleCount() const { return m_samples.size(); }
    bool AxisVisible(int axis) const { return axis >= 0 && axis < 3 && m_axisVisible[static_cast<std::size_t>(axis)]; }
    bool IsStopped() const { return m_stopped; }
    bool CursorTracking() const { return m_cursorTracking; }
    // Graph rectangle for the current client size.
    GraphBox Graph() const;
    // Reading of an axis at the position in G, as the legend shows it (0 past the end).
    double LegendValue(int axis) const;
    // Hit area of a legend entry as of the last paint (empty before the first).
    QRect LegendRect(int axis) const;

    // Draws the whole panel into the back buffer and returns it.
    const QImage& Render();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RecomputeSpan();
    double DrawingSpan() const;
    double AxisG(const GSensorSample& s, int axis) const;
    // Sample index for a time, or -1 when it lies outside the store.
    long long IndexAt(double ms) const;
    // Marks the chart layer (everything but the cursor and the legend) for redrawing and asks
    // for a full repaint.
    void InvalidateChart();
    // Brings the back buffer up to date inside `region`, redrawing the chart layer first when
    // it is stale.
    void Compose(const QRegion& region);
    // Redraws the chart layer when it is stale or the size changed.
    void PrepareChart();
    QRect CursorRect() const;
    struct LegendEntry {
        std::array<char, 64> text{};
        std::size_t length = 0;
        bool active = false;
        QRect box;  // layout box; the glyphs' ink may reach a little beyond its sides
    };
    // The legend readings as they are drawn for the current state.
    std::array<LegendEntry, 3> LegendLayout() const;
    // Every pixel the legend readings paint.
    QRegion LegendArea() const;
    // What the legend readings show, to tell whether a step changes them.
    std::string LegendText() const;
    void DrawChart(QPainter& p);
    void DrawTicks(QPainter& p, double span);
    void DrawCurves(QPainter& p, double span);
    void DrawLegend(QPainter& p);

    std::vector<GSensorSample> m_samples;
    double m_gRange = 1.0;
    double m_rate = 0.016;
    double m_position = 0.0;
    double m_total = 0.0;
    double m_windowSpan = 1000.0;
    double m_viewStart = 0.0;
    int m_tickInterval = 200;
    std::array<bool, 3> m_axisVisible{true, true, true};
    bool m_stopped = false;
    bool m_cursorTracking = true;
    std::array<QRect, 3> m_legend{};
    GraphBox m_graph;

    QImage m_buffer;
    // Background, frame, ticks and curves; the buffer is this plus the cursor and the legend.
    QImage m_chart;
    bool m_chartDirty = true;
    // Cursor as last painted on screen, to be erased when it moves.
    QRect m_shownCursor;
    QRegion m_shownLegend;
    // The readings as last painted whole on screen; empty when a paint covered only part of them.
    std::string m_paintedLegend;
    QFont m_labelFont;
    QFont m_legendFont;
    // Reused by every paint so that painting allocates nothing once the size is settled.
    std::array<std::vector<QLine>, 3> m_curveLines;
    std::vector<int> m_tickLength;
    std::array<QPen, 3> m_curvePens;
    QBrush m_white, m_grey, m_blue, m_black;
    CGlyphAtlas m_labelGlyphs;
    CGlyphAtlas m_activeGlyphs;
    CGlyphAtlas m_inactiveGlyphs;
};

}  // namespace trivane
