#include "widgets/CVideoSlider.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/Edges.h"
#include "widgets/WindowMessage.h"

namespace trivane {

CVideoSlider::CVideoSlider(QWidget* parent) : CTrackBar(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetRange(0, 1000, false);
    SetThumbColours(QColor(100, 250, 100), QColor(240, 0, 180));
}

void CVideoSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, Qt::black);
    DrawEdge(p, r, EdgeKind::Sunken);
    DrawThumb(p);
}

// Pressing only moves the thumb; the parent hears of it on the first move or on release.
void CVideoSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->ignore();
    SetPos(PositionFromX(event->position().toPoint().x()));
    m_dragging = true;
    event->accept();
}

void CVideoSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        SetPos(PositionFromX(event->position().toPoint().x()));
        SendWindowMessage(parentWidget(), WM_SEEK_TO_SLIDER);
    }
    event->accept();
}

void CVideoSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->ignore();
    m_dragging = false;
    SetPos(PositionFromX(event->position().toPoint().x()));
    SendWindowMessage(parentWidget(), WM_SEEK_TO_SLIDER);
    event->accept();
}

}  // namespace trivane
