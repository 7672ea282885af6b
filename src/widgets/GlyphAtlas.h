#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include <array>
#include <string_view>

class QPainter;

namespace trivane {

// A few characters of one font and colour rendered once, so that short texts that change on every
// paint (readings, labels) are drawn by copying glyphs instead of laying text out each time.
class CGlyphAtlas {
public:
    void Build(const QFont& font, const QColor& colour, std::string_view characters);

    // Draws `text` with its layout box's top-left at (x, top) over a box filled with `background`;
    // characters not in the atlas advance like a space. Returns the advance.
    int Draw(QPainter& p, int x, int top, std::string_view text, const QBrush& background) const;
    int Advance(std::string_view text) const;
    int Height() const { return m_height; }

private:
    static constexpr int kPad = 3;  // room for ink beyond a glyph's advance
    QImage m_image;
    std::array<int, 128> m_cellX{};
    std::array<int, 128> m_advance{};
    int m_height = 0;
    int m_spaceAdvance = 0;
};

}  // namespace trivane
