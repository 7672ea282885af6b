#include "widgets/CTrackBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <limits>

#include "widgets/WindowMessage.h"

namespace trivane {

CTrackBar::CTrackBar(QWidget* parent, int notifyMessage, bool releaseMovesThumb)
    : QWidget(parent), m_notifyMessage(notifyMessage), m_releaseMovesThumb(releaseMovesThumb) {}

void CTrackBar::SetRange(int minimum, int maximum, bool redraw) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_pos = std::clamp(m_pos, m_min, m_max);
    if (redraw) update();
}

void CTrackBar::SetPos(int position, bool redraw) {
    const QRect before = ThumbRect();
    m_pos = std::clamp(position, m_min, m_max);
    if (!redraw) return;
    if (!m_thumbOnlyMoves) return update();
    const QRect after = ThumbRect();
    if (after != before) update(QRegion(before) | after);
}

int CTrackBar::ThumbDiameter() const { return std::clamp(height() - 4, 6, 16); }

QRect CTrackBar::ChannelRect() const {
    const int d = ThumbDiameter();
    const int left = d / 2 + 2;
    const int right = std::max(left + 1, width() - d / 2 - 2);
    return QRect(left, height() / 2 - 2, right - left, 4);
}

QRect CTrackBar::ThumbRect() const {
    const QRect channel = ChannelRect();
    const int d = ThumbDiameter();
    const long long span = static_cast<long long>(m_max) - m_min;
    const long long offset =
        span == 0 ? 0 : (static_cast<long long>(m_pos) - m_min) * channel.width() / span;
    const int cx = channel.left() + static_cast<int>(offset);
    return QRect(cx - d / 2, height() / 2 - d / 2, d, d);
}

int CTrackBar::PositionFromX(int x) const {
    const QRect channel = ChannelRect();
    const long long c0 = channel.left();
    const long long c1 = c0 + channel.width();
    if (c1 == c0) return m_min;
    const long long value = (static_cast<long long>(m_max) - m_min) * (x - c0) / (c1 - c0) + m_min;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

void CTrackBar::SetThumbColours(const QColor& normal, const QColor& pressed) {
    m_thumb = normal;
    m_thumbPressed = pressed;
    update();
}

QColor CTrackBar::ThumbColour(bool pressed) const {
    const QColor& chosen = pressed ? m_thumbPressed : m_thumb;
    if (chosen.rgb() != qRgb(0, 0, 0)) return chosen;
    return palette().color(pressed ? QPalette::Light : QPalette::Button);
}

void CTrackBar::DrawThumb(QPainter& p) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(ThumbColour(m_dragging));
    p.drawEllipse(QRectF(ThumbRect()).adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

void CTrackBar::MoveThumbTo(const QMouseEvent* event) { SetPos(PositionFromX(event->position().toPoint().x())); }

// Pressing only moves the thumb; the parent hears of it on the first move or on release.
void CTrackBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->ignore();
    MoveThumbTo(event);
    m_dragging = true;
    update(ThumbRect());  // pressed colour
    event->accept();
}

void CTrackBar::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        MoveThumbTo(event);
        SendWindowMessage(parentWidget(), m_notifyMessage);
    }
    event->accept();
}

void CTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->ignore();
    m_dragging = false;
    if (m_releaseMovesThumb) MoveThumbTo(event);
    // The thumb leaves its pressed colour.
    if (m_thumbOnlyMoves) update(ThumbRect());
    else update();
    SendWindowMessage(parentWidget(), m_notifyMessage);
    event->accept();
}

}  // namespace trivane
