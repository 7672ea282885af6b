#include "widgets/OutlinedText.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace trivane {
namespace {

struct GradientStop2 {
    double y0, y1;
    QColor c0, c1;
};

struct TextLook {
    const char* family;
    bool heavy;        // substitute a black weight where the heavy family is missing
    bool fixedX;
    bool fixedY;
    double originX, originY;
    bool outline;
    QColor outlineColour;
    QColor glow;
    GradientStop2 fill1, fill2;
};

QColor Argb(int a, int r, int g, int b) { return QColor(r, g, b, a); }

TextLook LookFor(OutlinedTextStyle style) {
    switch (style) {
    case TitleStyle:
        return {"Arial Black", true, true, true, 8, 4, true, Argb(155, 215, 215, 215),
                Argb(62, 0, 2, 2),
                {0, 90, Argb(200, 0, 0, 240), Argb(255, 30, 120, 195)},
                {10, 60, Argb(255, 255, 255, 255), Argb(15, 1, 1, 1)}};
    case SpeedStyle:
        return {"Arial", false, false, false, 0, 0, false, QColor(), Argb(80, 160, 80, 2),
                {0, 90, Argb(200, 190, 220, 24), Argb(255, 195, 120, 0)},
                {10, 40, Argb(255, 255, 188, 0), Argb(150, 255, 1, 1)}};
    case CounterStyle:
    default:
        return {"Arial", false, true, false, 10, 0, true, Argb(155, 215, 215, 215),
                Argb(80, 10, 150, 220),
                {0, 90, Argb(200, 20, 120, 240), Argb(255, 20, 120, 240)},
                {10, 120, Argb(255, 80, 188, 250), Argb(150, 80, 80, 155)}};
    }
}

QBrush VerticalGradient(const GradientStop2& g) {
    QLinearGradient gradient(0, g.y0, 0, g.y1);
    gradient.setColorAt(0, g.c0);
    gradient.setColorAt(1, g.c1);
    gradient.setSpread(QGradient::RepeatSpread);
    return QBrush(gradient);
}

QFont FontFor(const TextLook& look, double emSize) {
    QFont font(QString::fromLatin1(look.family));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(std::min(emSize, 2000.0)))));
    if (look.heavy) font.setWeight(QFont::Black);
    return font;
}

// Calls line(origin, text) for each non-empty line of text as drawn at (x, y) in that look.
template <typename Line>
void ForEachLine(const QString& text, const TextLook& look, const QFontMetricsF& metrics, int x, int y, Line line) {
    const double left = look.fixedX ? look.originX : x;
    const double top = look.fixedY ? look.originY : y;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) continue;
        line(QPointF(left, top + metrics.ascent() + static_cast<double>(i) * metrics.lineSpacing()), lines[i]);
    }
}

}  // namespace

QRect OutlinedTextBounds(const QString& text, OutlinedTextStyle style, int x, int y, double emSize) {
    const QString shown = text.left(kOutlinedTextMaxChars);
    if (shown.isEmpty() || !(emSize > 0) || !std::isfinite(emSize)) return {};
    const TextLook look = LookFor(style);
    const QFontMetricsF metrics(FontFor(look, emSize));
    QRectF ink;
    ForEachLine(shown, look, metrics, x, y,
                [&](const QPointF& origin, const QString& line) { ink |= metrics.boundingRect(line).translated(origin); });
    if (ink.isEmpty()) return {};
    // The widest glow stroke reaches 4 px beyond the outlines, antialiasing one more.
    constexpr int kReach = 8;
    return ink.toAlignedRect().adjusted(-kReach, -kReach, kReach, kReach);
}

void DrawOutlinedText(QPainter& painter, const QString& text, OutlinedTextStyle style, int x,
                      int y, double emSize) {
    const QString shown = text.left(kOutlinedTextMaxChars);
    if (shown.isEmpty() || !(emSize > 0) || !std::isfinite(emSize)) return;
    const TextLook look = LookFor(style);

    const QFont font = FontFor(look, emSize);
    QPainterPath path;
    ForEachLine(shown, look, QFontMetricsF(font), x, y,
                [&](const QPointF& origin, const QString& line) { path.addText(origin, font, line); });
    if (path.isEmpty()) return;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (look.outline) painter.strokePath(path, QPen(look.outlineColour, 3));
    for (int w = 1; w <= 8; ++w) {
        QPen glow(look.glow, w);
        glow.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(path, glow);
    }
    painter.fillPath(path, VerticalGradient(look.fill1));
    painter.fillPath(path, VerticalGradient(look.fill2));
    painter.restore();
}

}  // namespace trivane
