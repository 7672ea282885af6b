#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

namespace trivane {

// Horizontal track bar: a range, a position clamped to it, a channel and a round thumb. A left
// press moves the thumb to the pointer and starts a drag; every move while dragging and the
// release send the slider's window message to the parent, which reads the position itself. The
// sliders derive from it, choose the message and draw the parts.
class CTrackBar : public QWidget {
    Q_OBJECT

public:
    // `releaseMovesThumb`: the release also moves the thumb to the pointer; otherwise it stays
    // where the press or the last move put it.
    CTrackBar(QWidget* parent, int notifyMessage, bool releaseMovesThumb);

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
    // For a slider whose picture is its background with the thumb on top: a move repaints only
    // where the thumb was and where it is.
    void SetThumbOnlyMoves(bool thumbOnly) { m_thumbOnlyMoves = thumbOnly; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int ThumbDiameter() const;
    void MoveThumbTo(const QMouseEvent* event);

    int m_notifyMessage;
    bool m_releaseMovesThumb;
    bool m_dragging = false;
    bool m_thumbOnlyMoves = false;

    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
    QColor m_thumb{100, 250, 100};
    QColor m_thumbPressed{240, 0, 180};
    // The antialiased thumb as last drawn: the position slider draws it at every step of playback.
    mutable QImage m_thumbImage;
    mutable QRgb m_thumbImageColour = 0;
};

}  // namespace trivane
