#include "widgets/GlyphAtlas.h"

#include <QFontMetrics>
#include <QPainter>

namespace trivane {

void CGlyphAtlas::Build(const QFont& font, const QColor& colour, std::string_view characters) {
    const QFontMetrics metrics(font);
    m_height = metrics.height();
    m_spaceAdvance = metrics.horizontalAdvance(QLatin1Char(' '));
    m_cellX.fill(-1);
    m_advance.fill(0);
    int width = 0;
    for (char c : characters) {
        const auto i = static_cast<unsigned char>(c);
        if (i >= 128 || m_cellX[i] >= 0) continue;
        m_cellX[i] = width;
        m_advance[i] = metrics.horizontalAdvance(QLatin1Char(c));
        width += m_advance[i] + 2 * kPad;
    }
    m_image = QImage(std::max(1, width), std::max(1, m_height), QImage::Format_ARGB32_Premultiplied);
    m_image.fill(Qt::transparent);
    QPainter p(&m_image);
    p.setFont(font);
    p.setPen(colour);
    for (std::size_t i = 0; i < m_cellX.size(); ++i) {
        if (m_cellX[i] < 0) continue;
        p.drawText(m_cellX[i] + kPad, metrics.ascent(), QString(QLatin1Char(static_cast<char>(i))));
    }
}

int CGlyphAtlas::Advance(std::string_view text) const {
    int advance = 0;
    for (char c : text) {
        const auto i = static_cast<unsigned char>(c);
        advance += (i < 128 && m_cellX[i] >= 0) ? m_advance[i] : m_spaceAdvance;
    }
    return advance;
}

int CGlyphAtlas::Draw(QPainter& p, int x, int top, std::string_view text,
                      const QBrush& background) const {
    const int advance = Advance(text);
    p.fillRect(QRect(x, top, advance, m_height), background);
    int pen = x;
    for (char c : text) {
        const auto i = static_cast<unsigned char>(c);
        if (i < 128 && m_cellX[i] >= 0) {
            if (c != ' ')
                p.drawImage(QPoint(pen - kPad, top), m_image,
                            QRect(m_cellX[i], 0, m_advance[i] + 2 * kPad, m_height));
            pen += m_advance[i];
        } else {
            pen += m_spaceAdvance;
        }
    }
    return advance;
}

}  // namespace trivane
