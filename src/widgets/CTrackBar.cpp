#include "widgets/CTrackBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QtMath>

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
    const QRect thumb = ThumbRect();
    const qreal ratio = p.device()->devicePixelRatioF();
    const QSize pixels(qCeil(thumb.width() * ratio), qCeil(thumb.height() * ratio));
    const QRgb colour = ThumbColour(m_dragging).rgba();
    if (m_thumbImage.size() != pixels || m_thumbImage.devicePixelRatio() != ratio || m_thumbImageColour != colour) {
        m_thumbImage = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_thumbImage.setDevicePixelRatio(ratio);
        m_thumbImage.fill(Qt::transparent);
        m_thumbImageColour = colour;
        QPainter layer(&m_thumbImage);
        layer.setRenderHint(QPainter::Antialiasing, true);
        layer.setPen(QPen(Qt::black, 1));
        layer.setBrush(QColor::fromRgba(colour));
        layer.drawEllipse(QRectF(0, 0, thumb.width(), thumb.height()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
    p.drawImage(thumb.topLeft(), m_thumbImage);
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
