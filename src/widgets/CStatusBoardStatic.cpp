#include "widgets/CStatusBoardStatic.h"

#include <QPainter>

#include <algorithm>

#include "widgets/ArtResources.h"
#include "widgets/Edges.h"

namespace trivane {

// Not opaque: with a pattern that fails to load, the filled part shows what lies behind.
CStatusBoardStatic::CStatusBoardStatic(QWidget* parent) : QWidget(parent) {}

void CStatusBoardStatic::SetProgress(int percent, const QString& caption) {
    m_percent = std::clamp(percent, 0, 100);
    m_caption = caption;
    update();
}

void CStatusBoardStatic::SetPatternBitmapId(std::uint16_t id) {
    m_patternId = id;
    m_pattern = id == 0 ? QImage() : LoadBitmapResource(id);
    update();
}

int CStatusBoardStatic::SplitX() const {
    return static_cast<int>(static_cast<long long>(width()) * m_percent / 100);
}

void CStatusBoardStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int split = SplitX();
    const QRect filled(0, 0, split, height());
    if (m_patternId != 0) {
        if (!m_pattern.isNull()) {
            p.setBrushOrigin(0, 0);
            p.fillRect(filled, QBrush(m_pattern));
        }
    } else {
        p.fillRect(filled, m_fill);
    }
    p.fillRect(QRect(split, 0, width() - split, height()), m_remainder);
    p.setPen(m_text);
    p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_caption);
    QRect edge = rect();
    DrawEdge(p, edge, EdgeKind::Raised);
}

}  // namespace trivane
