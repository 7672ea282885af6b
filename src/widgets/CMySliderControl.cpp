#include "widgets/CMySliderControl.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/Edges.h"
#include "widgets/WindowMessage.h"

namespace trivane {

// No background of its own: Qt composes the control over whatever the parent painted, so the
// parent's pixels show through at any place the control is moved to.
CMySliderControl::CMySliderControl(QWidget* parent) : CTrackBar(parent) {
    setAutoFillBackground(false);
    SetRange(0, 100, false);
    SetPos(50, false);
    SetThumbColours(QColor(255, 0, 0), QColor(170, 0, 0));
}

QRect CMySliderControl::GrooveRect() const {
    QRect groove = ChannelRect();
    if (groove.height() > groove.width()) groove.adjust(-1, 0, 1, 0);
    else groove.adjust(0, -2, 0, 2);
    return groove;
}

void CMySliderControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect groove = GrooveRect();
    DrawEdge(p, groove, EdgeKind::Sunken);
    DrawThumb(p);
}

void CMySliderControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->ignore();
    SetPos(PositionFromX(event->position().toPoint().x()));
    m_dragging = true;
    event->accept();
}

void CMySliderControl::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        SetPos(PositionFromX(event->position().toPoint().x()));
        SendWindowMessage(parentWidget(), WM_APPLY_VOLUME);
    }
    event->accept();
}

// The position stays where the last press or move put it.
void CMySliderControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return event->ignore();
    m_dragging = false;
    update();
    SendWindowMessage(parentWidget(), WM_APPLY_VOLUME);
    event->accept();
}

}  // namespace trivane
