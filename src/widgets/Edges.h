#pragma once

#include <QRect>

class QPainter;

namespace trivane {

enum class EdgeKind { Raised, Sunken };

// Two-pixel 3-D border (outer and inner line) on all four sides of `rect`, which shrinks by the
// border. `rect` uses exclusive right and bottom, as the client rectangles of the controls do.
void DrawEdge(QPainter& painter, QRect& rect, EdgeKind kind);

}  // namespace trivane
