#include "widgets/CGSensorCtrl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace trivane {
namespace {

constexpr double kMinWindowSpan = 1000.0;
constexpr double kMaxWindowSpan = 3600000.0;
constexpr double kEmptyDrawingSpan = 20000.0;
// Far beyond any recording; keeps every time-to-pixel conversion inside int range.
constexpr double kMaxDrawingSpan = 1e12;

const QColor kWhite(255, 255, 255);
const QColor kAxisGrey(102, 102, 102);
const QColor kInactiveText(160, 160, 160);
const QColor kCursor(0, 0, 255);
const std::array<QColor, 3> kCurveColours{QColor(255, 255, 0), QColor(60, 255, 60),
                                          QColor(255, 60, 60)};
const std::array<const char*, 3> kAxisNames{"X", "Y", "Z"};

// Font of the given cell height (ascent plus descent), as the panel's fonts are specified.
QFont FontWithCellHeight(int cellHeight) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    for (int px = cellHeight; px > 1; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).height() <= cellHeight) break;
    }
    return font;
}

// Axis-aligned line without its end point.
void HLine(QPainter& p, int x0, int x1, int y, const QBrush& c) {
    if (x1 > x0) p.fillRect(QRect(x0, y, x1 - x0, 1), c);
}
void VLine(QPainter& p, int x, int y0, int y1, const QBrush& c) {
    if (y1 > y0) p.fillRect(QRect(x, y0, 1, y1 - y0), c);
}

}  // namespace

CGSensorCtrl::CGSensorCtrl(QWidget* parent)
    : QWidget(parent), m_labelFont(FontWithCellHeight(16)), m_legendFont(FontWithCellHeight(20)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (std::size_t a = 0; a < 3; ++a) m_curvePens[a] = QPen(kCurveColours[a], 1);
    m_white = QBrush(kWhite);
    m_grey = QBrush(kAxisGrey);
    m_blue = QBrush(kCursor);
    m_black = QBrush(Qt::black);
    constexpr std::string_view kChars = " -.0123456789:GXYZ";
    m_labelGlyphs.Build(m_labelFont, kWhite, kChars);
    m_activeGlyphs.Build(m_legendFont, kWhite, kChars);
    m_inactiveGlyphs.Build(m_legendFont, kInactiveText, kChars);
    RecomputeSpan();
}

void CGSensorCtrl::ResetSamples() {
    m_samples.clear();
    m_position = 0.0;
    RecomputeSpan();
    InvalidateChart();
    update();
}

void CGSensorCtrl::SetGRange(int rangeFactor) {
    const double range = rangeFactor == 0 ? 8.0 : static_cast<double>(rangeFactor);
    if (range == m_gRange) return;
    m_gRange = range;
    InvalidateChart();
}

void CGSensorCtrl::AppendSample(const GSensorSample& sample) {
    m_samples.push_back(sample);
    InvalidateChart();
}

void CGSensorCtrl::SetSampleRate(double samplesPerMs) {
    m_rate = samplesPerMs;
    RecomputeSpan();
    InvalidateChart();
}

void CGSensorCtrl::SetCursorTracking(bool tracking) {
    if (tracking == m_cursorTracking) return;
    m_cursorTracking = tracking;
    update(QRegion(m_shownCursor) | CursorRect());
}

void CGSensorCtrl::SetStopped(bool stopped) {
    if (stopped == m_stopped) return;
    m_stopped = stopped;
    InvalidateChart();
}

// Called on every playback tick: unless the view scrolls, only the cursor moves, and the legend
// readings change only with the sample under the cursor, so only they are repainted.
void CGSensorCtrl::SetPosition(std::uint32_t ms) {
    const double viewStart = m_viewStart;
    const double total = m_total;
    m_position = static_cast<double>(ms);
    RecomputeSpan();
    if (m_position > m_total) m_position = m_total;
    else m_position = std::max(0.0, m_position);
    const double half = m_windowSpan * 0.5;
    if (m_position < half || m_windowSpan > m_total) m_viewStart = 0.0;
    else if (m_total > m_position + half) m_viewStart = m_position - half;
    else m_viewStart = m_total - m_windowSpan;
    if (m_viewStart != viewStart || m_total != total) InvalidateChart();
    if (m_chartDirty) return update();
    QRegion region = QRegion(m_shownCursor) | CursorRect();
    if (LegendText() != m_paintedLegend) region |= m_shownLegend | LegendArea();
    update(region);
}

void CGSensorCtrl::InvalidateChart() {
    if (m_chartDirty) return;
    m_chartDirty = true;
    update();
}

double CGSensorCtrl::LegendValue(int axis) const {
    if (axis < 0 || axis >= 3) return 0.0;
    const long long index = IndexAt(m_position);
    return index < 0 ? 0.0 : AxisG(m_samples[static_cast<std::size_t>(index)], axis);
}

QRect CGSensorCtrl::LegendRect(int axis) const {
    if (axis < 0 || axis >= 3) return {};
    return m_legend[static_cast<std::size_t>(axis)];
}

CGSensorCtrl::GraphBox CGSensorCtrl::Graph() const {
    return GraphBox{35, 70, width() - 2, height() - 8};
}

// A rate that is zero, negative or not a number leaves the recording without a length instead
// of an infinite or undefined one.
void CGSensorCtrl::RecomputeSpan() {
    const double count = static_cast<double>(m_samples.size());
    m_total = (m_rate > 0.0 && std::isfinite(m_rate)) ? count / m_rate : 0.0;
    if (!std::isfinite(m_total)) m_total = kMaxDrawingSpan;
    m_windowSpan = std::clamp(m_total, kMinWindowSpan, kMaxWindowSpan);
}

double CGSensorCtrl::DrawingSpan() const {
    if (m_rate == 0.0 || !(m_rate > 0.0) || !std::isfinite(m_rate)) return kEmptyDrawingSpan;
    const double span = std::trunc(static_cast<double>(m_samples.size()) / m_rate);
    if (!(span >= 1.0)) return kEmptyDrawingSpan;
    return std::min(span, kMaxDrawingSpan);
}

double CGSensorCtrl::AxisG(const GSensorSample& s, int axis) const {
    const int raw = axis == AxisX ? s.x : axis == AxisY ? s.y : s.z;
    return raw * m_gRange * (1.0 / 128.0) * (1.0 / 8.0);
}

long long CGSensorCtrl::IndexAt(double ms) const {
    const double index = std::trunc(std::trunc(ms) * m_rate);
    if (!(index >= 0.0) || index >= static_cast<double>(m_samples.size())) return -1;
    return static_cast<long long>(index);
}

const QImage& CGSensorCtrl::Render() {
    Compose(QRegion(rect()));
    return m_buffer;
}

void CGSensorCtrl::PrepareChart() {
    if (m_chart.size() != size()) {
        m_chart = QImage(size(), QImage::Format_RGB32);
        m_chartDirty = true;
    }
    if (!m_chartDirty) return;
    QPainter p(&m_chart);
    DrawChart(p);
    m_chartDirty = false;
}

void CGSensorCtrl::Compose(const QRegion& region) {
    const QSize size = this->size();
    if (size.isEmpty()) return;
    PrepareChart();
    if (m_buffer.size() != size) m_buffer = QImage(size, QImage::Format_RGB32);
    const QRegion area = region & QRect(QPoint(0, 0), size);
    constexpr int kPixel = 4;  // Format_RGB32
    for (const QRect& r : area) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(m_buffer.scanLine(y) + r.left() * kPixel, m_chart.constScanLine(y) + r.left() * kPixel,
                        static_cast<std::size_t>(r.width()) * kPixel);
    }
    QPainter p(&m_buffer);
    p.setClipRegion(area);
    const QRect cursor = CursorRect();
    if (!cursor.isEmpty()) p.fillRect(cursor, m_blue);
    DrawLegend(p);
}

// The same layers as Compose, straight onto the screen: the paint is clipped to its region.
void CGSensorCtrl::paintEvent(QPaintEvent* event) {
    if (size().isEmpty()) return;
    const bool chartWasStale = m_chartDirty;
    const QRegion region = event->region() & rect();
    PrepareChart();
    QPainter p(this);
    for (const QRect& r : region) p.drawImage(r.topLeft(), m_chart, r);
    const QRect cursor = CursorRect();
    if (!cursor.isEmpty()) p.fillRect(cursor, m_blue);
    DrawLegend(p);
    m_shownCursor = cursor;
    // Readings outside the region keep what an earlier paint showed.
    const QRegion legend = LegendArea();
    if ((legend - region).isEmpty()) {
        m_shownLegend = legend;
        m_paintedLegend = LegendText();
    } else if (region.intersects(legend)) {
        m_shownLegend |= legend;
        m_paintedLegend.clear();
    }
    // A chart change reaching a partial repaint would leave the rest of the panel stale.
    if (chartWasStale && region != QRegion(rect())) update();
}

QRect CGSensorCtrl::CursorRect() const {
    const GraphBox g = Graph();
    if (g.Width() <= 0 || g.Height() <= 0) return {};
    int x = g.left;
    if (m_cursorTracking) {
        const double offset = (m_position - m_viewStart) * g.Width() / DrawingSpan();
        x = g.left + static_cast<int>(std::clamp(std::trunc(offset), -1e6, 1e6));
    }
    return QRect(x - 1, g.top - 7, 2, g.bottom - (g.top - 7));
}

QRegion CGSensorCtrl::LegendArea() const {
    // A glyph's ink reaches a few pixels beyond its advance.
    constexpr int kInkReach = 8;
    QRegion area;
    for (const LegendEntry& entry : LegendLayout()) area |= entry.box.adjusted(-kInkReach, 0, kInkReach, 0);
    return area;
}

void CGSensorCtrl::DrawChart(QPainter& p) {
    const int cw = width();
    const int ch = height();
    p.fillRect(QRect(0, 0, cw, ch), m_black);
    m_graph = Graph();
    const GraphBox& g = m_graph;
    const double span = DrawingSpan();

    p.fillRect(QRect(0, g.top - 16, cw, 2), m_white);  // legend separator, 2 px
    HLine(p, 0, cw, g.top - 8, m_white);
    VLine(p, 0, g.top - 8, ch - 7, m_white);
    VLine(p, cw - 1, g.top - 8, ch - 7, m_white);
    HLine(p, 0, cw, ch - 7, m_white);
    HLine(p, g.left, g.right, g.ZeroLine(), m_white);
    VLine(p, g.left, g.top, g.bottom, m_grey);

    if (g.Width() <= 0 || g.Height() <= 0) return;
    DrawTicks(p, span);
    DrawCurves(p, span);
}

// Every tick is drawn upward from the top edge, the zero line and the bottom edge. Ticks denser
// than the pixels collapse per column to the longest one that falls there.
void CGSensorCtrl::DrawTicks(QPainter& p, double span) {
    const GraphBox& g = m_graph;
    const int w = g.Width();
    m_tickLength.assign(static_cast<std::size_t>(w), 0);
    const double n = span / m_tickInterval;
    if (n >= 11.0 * w) {
        // Each column then holds at least ten consecutive ticks, one of them a multiple of ten.
        std::fill(m_tickLength.begin(), m_tickLength.end(), 6);
    } else {
        for (long long i = 0; n > static_cast<double>(i); ++i) {
            const double x = std::trunc(static_cast<double>(i * w) / n + g.left);
            const long long col = static_cast<long long>(x) - g.left;
            if (col < 0 || col >= w) continue;
            const int len = i % 10 == 0 ? 6 : i % 10 == 5 ? 4 : 2;
            int& slot = m_tickLength[static_cast<std::size_t>(col)];
            slot = std::max(slot, len);
        }
    }
    const int zero = g.ZeroLine();
    for (int col = 0; col < w; ++col) {
        const int len = m_tickLength[static_cast<std::size_t>(col)];
        if (len == 0) continue;
        const int x = g.left + col;
        VLine(p, x, g.top - len, g.top, m_grey);
        VLine(p, x, zero - len, zero, m_grey);
        VLine(p, x, g.bottom - len, g.bottom, m_grey);
    }
}

void CGSensorCtrl::DrawCurves(QPainter& p, double span) {
    if (m_stopped || m_samples.empty()) return;
    const GraphBox& g = m_graph;
    const int w = g.Width();
    const int h = g.Height();
    const int zero = g.ZeroLine();
    std::array<QPoint, 3> previous{QPoint(g.left, zero), QPoint(g.left, zero), QPoint(g.left, zero)};
    for (auto& lines : m_curveLines) {
        lines.clear();
        lines.reserve(static_cast<std::size_t>(w));
    }
    for (int col = 0; col < w; ++col) {
        const double t = col * span / w + m_viewStart;
        const long long index = IndexAt(t);
        if (index < 0) break;
        const GSensorSample& s = m_samples[static_cast<std::size_t>(index)];
        for (int axis = 0; axis < 3; ++axis) {
            const auto a = static_cast<std::size_t>(axis);
            if (!m_axisVisible[a]) continue;
            const double value = AxisG(s, axis);
            if (value == 0.0) continue;  // bridged by the next non-zero point
            const double clamped = std::clamp(value, -1.0, 1.0);
            const QPoint point(g.left + col, static_cast<int>(std::trunc(zero - clamped * h * 0.5)));
            m_curveLines[a].emplace_back(previous[a], point);
            previous[a] = point;
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t a = 0; a < 3; ++a) {
        if (m_curveLines[a].empty()) continue;
        p.setPen(m_curvePens[a]);
        p.drawLines(m_curveLines[a].data(), static_cast<int>(m_curveLines[a].size()));
    }
}

std::array<CGSensorCtrl::LegendEntry, 3> CGSensorCtrl::LegendLayout() const {
    std::array<LegendEntry, 3> entries;
    int x0 = 20;
    for (std::size_t a = 0; a < 3; ++a) {
        LegendEntry& entry = entries[a];
        // "%s: %0.4f G    "
        char* text = entry.text.data();
        text[0] = kAxisNames[a][0];
        text[1] = ':';
        text[2] = ' ';
        char* end = text + 3;
        const double value = std::clamp(LegendValue(static_cast<int>(a)), -1e6, 1e6);
        end = std::to_chars(end, text + 40, value, std::chars_format::fixed, 4).ptr;
        for (char c : std::string_view(" G    ")) *end++ = c;
        entry.length = static_cast<std::size_t>(end - text);

        entry.active = !m_stopped && m_axisVisible[a] && m_total != 0.0;
        const CGlyphAtlas& glyphs = entry.active ? m_activeGlyphs : m_inactiveGlyphs;
        const int left = entry.active ? x0 + 1 : x0;
        const int top = entry.active ? 16 : 15;
        const int w = glyphs.Advance(std::string_view(text, entry.length));
        entry.box = QRect(left, top, w, glyphs.Height());
        x0 += w + 50;
    }
    return entries;
}

std::string CGSensorCtrl::LegendText() const {
    std::string text;
    for (const LegendEntry& entry : LegendLayout()) {
        text.append(entry.text.data(), entry.length);
        text += entry.active ? '+' : '-';
    }
    return text;
}

// Readings change many times a second; they are formatted without the locale (a decimal point
// whatever the desktop language) and drawn from glyph atlases, so painting lays out no text.
void CGSensorCtrl::DrawLegend(QPainter& p) {
    const int b = (height() - 70) / 6;
    m_labelGlyphs.Draw(p, 4, b - 16 + 70, " 1G", m_black);
    m_labelGlyphs.Draw(p, 4, 3 * b - 16 + 76, " 0G", m_black);
    m_labelGlyphs.Draw(p, 4, 5 * b - 16 + 77, "-1G", m_black);

    const std::array<LegendEntry, 3> entries = LegendLayout();
    for (std::size_t a = 0; a < 3; ++a) {
        const LegendEntry& entry = entries[a];
        const CGlyphAtlas& glyphs = entry.active ? m_activeGlyphs : m_inactiveGlyphs;
        glyphs.Draw(p, entry.box.left(), entry.box.top(), std::string_view(entry.text.data(), entry.length), m_black);
        m_legend[a] = entry.box;
    }
}

void CGSensorCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RecomputeSpan();
    InvalidateChart();
}

void CGSensorCtrl::mousePressEvent(QMouseEvent* event) {
    // Qt grabs the mouse for the widget under a press, so the release comes here too.
    event->accept();
}

void CGSensorCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        for (std::size_t a = 0; a < 3; ++a) {
            if (m_legend[a].contains(pos)) {
                m_axisVisible[a] = !m_axisVisible[a];
                InvalidateChart();
                break;
            }
        }
        update();
    }
    event->accept();
}

void CGSensorCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) update();
    event->accept();
}

void CGSensorCtrl::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

}  // namespace trivane
