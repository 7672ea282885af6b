#include "widgets/CVideoSlider.h"

#include <QPainter>

#include "widgets/Edges.h"
#include "widgets/WindowMessage.h"

namespace trivane {

CVideoSlider::CVideoSlider(QWidget* parent) : CTrackBar(parent, WM_SEEK_TO_SLIDER, true) {
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

}  // namespace trivane
