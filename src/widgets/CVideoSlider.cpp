#include "widgets/CVideoSlider.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

#include "widgets/Edges.h"
#include "widgets/WindowMessage.h"

namespace trivane {

namespace {

const QColor kEventColour(255, 150, 0);
const QColor kClipColour(0, 200, 255);

}  // namespace

CVideoSlider::CVideoSlider(QWidget* parent) : CTrackBar(parent, WM_SEEK_TO_SLIDER, true) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetThumbOnlyMoves(true);
    SetRange(0, 1000, false);
    SetThumbColours(QColor(100, 250, 100), QColor(240, 0, 180));
}

void CVideoSlider::SetEventMarks(std::vector<int> positions) {
    if (positions == m_events) return;
    m_events = std::move(positions);
    m_background = QImage();
    update();
}

void CVideoSlider::SetClipMarks(int in, int out) {
    if (in == m_in && out == m_out) return;
    m_in = in;
    m_out = out;
    m_background = QImage();
    update();
}

int CVideoSlider::MarkX(int position) const {
    const QRect channel = ChannelRect();
    const long long span = static_cast<long long>(RangeMax()) - RangeMin();
    if (span <= 0) return channel.left();
    const long long clamped = std::clamp<long long>(position, RangeMin(), RangeMax());
    return channel.left() + static_cast<int>((clamped - RangeMin()) * channel.width() / span);
}

void CVideoSlider::resizeEvent(QResizeEvent* event) {
    CTrackBar::resizeEvent(event);
    m_background = QImage();
}

void CVideoSlider::paintEvent(QPaintEvent* event) {
    if (size().isEmpty()) return;
    if (m_background.size() != size() || m_backgroundMin != RangeMin() || m_backgroundMax != RangeMax()) {
        m_background = QImage(size(), QImage::Format_RGB32);
        m_backgroundMin = RangeMin();
        m_backgroundMax = RangeMax();
        QPainter layer(&m_background);
        DrawBackground(layer);
    }
    QPainter p(this);
    for (const QRect& r : event->region() & rect()) p.drawImage(r.topLeft(), m_background, r);
    DrawThumb(p);
}

void CVideoSlider::DrawBackground(QPainter& p) const {
    QRect r = rect();
    p.fillRect(r, Qt::black);
    DrawEdge(p, r, EdgeKind::Sunken);

    // Inside the sunken edge, from top to bottom; the thumb covers them as it passes.
    const int top = 3;
    const int bottom = height() - 4;
    p.setPen(QPen(kEventColour, 2));
    for (int position : m_events) {
        const int x = MarkX(position);
        p.drawLine(x, top, x, bottom);
    }
    p.setPen(QPen(kClipColour, 2));
    for (const auto& [position, inward] : {std::pair{m_in, 3}, std::pair{m_out, -3}}) {
        if (position == kNoMark) continue;
        const int x = MarkX(position);
        p.drawLine(x, top, x, bottom);
        p.drawLine(x, top, x + inward, top);
        p.drawLine(x, bottom, x + inward, bottom);
    }
}

}  // namespace trivane
