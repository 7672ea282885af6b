#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

namespace trivane {

// Horizontal track bar: a range, a position clamped to it, a channel and a round thumb. The
// sliders derive from it and decide how the mouse moves the thumb and how the parts are drawn.
class CTrackBar : public QWidget {
    Q_OBJECT

public:
    explicit CTrackBar(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum, bool redraw);
    void SetPos(int position, bool redraw = true);
    int GetPos() const { return m_pos; }
    int RangeMin() const { return m_min; }
    int RangeMax() const { return m_max; }
    bool IsDragging() const { return m_dragging; }

    // Channel in client coordinates; left() is the position of the range minimum and
    // left() + width() that of the maximum.
    QRect ChannelRect() const;
    QRect ThumbRect() const;

    // Position for a client x coordinate, not clamped: the channel's ends map to the range's
    // ends, points beyond them to values beyond the range.
    int PositionFromX(int x) const;

    // A colour of (0, 0, 0) selects the palette's colour for that state.
    void SetThumbColours(const QColor& normal, const QColor& pressed);
    QColor ThumbColour(bool pressed) const;

protected:
    void DrawThumb(QPainter& p) const;

    bool m_dragging = false;

private:
    int ThumbDiameter() const;

    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    QColor m_thumb{100, 250, 100};
    QColor m_thumbPressed{240, 0, 180};
};

}  // namespace trivane
