#pragma once

#include <QRect>
#include <QString>

class QPainter;

namespace trivane {

enum OutlinedTextStyle {
    TitleStyle,    // window caption: heavy face at (8, 4), blue-white gradient
    SpeedStyle,    // speed read-out: no outline, amber-yellow gradient
    CounterStyle,  // scan counter: blue gradient at x = 10
};

inline constexpr int kOutlinedTextMaxChars = 127;

// Paints `text` as a path: an optional 3-pixel outline, a glow of eight round-joined strokes of
// growing width, then two vertical repeating gradients. (x, y) is the top-left of the text's
// layout box; TitleStyle ignores both and CounterStyle ignores x. emSize is in pixels. Only the
// first 127 characters are drawn; each "\n" starts a new line.
void DrawOutlinedText(QPainter& painter, const QString& text, OutlinedTextStyle style, int x,
                      int y, double emSize);

// A rectangle holding every pixel DrawOutlinedText paints for the same arguments (empty when it
// paints none), found from the font's metrics without building the path.
QRect OutlinedTextBounds(const QString& text, OutlinedTextStyle style, int x, int y, double emSize);

}  // namespace trivane
