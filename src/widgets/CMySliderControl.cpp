#include "widgets/CMySliderControl.h"

#include <QPainter>

#include "widgets/Edges.h"
#include "widgets/WindowMessage.h"

namespace trivane {

// No background of its own: Qt composes the control over whatever the parent painted, so the
// parent's pixels show through at any place the control is moved to.
CMySliderControl::CMySliderControl(QWidget* parent) : CTrackBar(parent, WM_APPLY_VOLUME, false) {
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

}  // namespace trivane
