#include "widgets/Edges.h"

#include <QColor>
#include <QPainter>

namespace trivane {
namespace {

const QColor kHighlight(255, 255, 255);
const QColor kLight(227, 227, 227);
const QColor kShadow(160, 160, 160);
const QColor kDarkShadow(105, 105, 105);

// One border line: top and left in `topLeft`, bottom and right in `bottomRight`.
void Frame(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    if (r.width() <= 0 || r.height() <= 0) return;
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    r.adjust(1, 1, -1, -1);
}

}  // namespace

void DrawEdge(QPainter& painter, QRect& rect, EdgeKind kind) {
    if (kind == EdgeKind::Raised) {
        Frame(painter, rect, kLight, kDarkShadow);
        Frame(painter, rect, kHighlight, kShadow);
    } else {
        Frame(painter, rect, kShadow, kHighlight);
        Frame(painter, rect, kDarkShadow, kLight);
    }
}

}  // namespace trivane
