#pragma once

#include <QImage>

#include <vector>

#include "widgets/CTrackBar.h"

namespace trivane {

// Playback position (range 0..1000): a click jumps the thumb to the clicked place; dragging and
// releasing send WM_SEEK_TO_SLIDER to the parent, which reads the position itself. Marks in range
// positions are drawn as small ticks beside the channel, under the thumb: events above and below
// it, a clip's in and out marks as brackets.
class CVideoSlider : public CTrackBar {
    Q_OBJECT

public:
    static constexpr int kNoMark = -1;

    explicit CVideoSlider(QWidget* parent = nullptr);

    void SetEventMarks(std::vector<int> positions);
    const std::vector<int>& EventMarks() const { return m_events; }
    // kNoMark for a mark not on this recording.
    void SetClipMarks(int in, int out);
    int InMark() const { return m_in; }
    int OutMark() const { return m_out; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int MarkX(int position) const;
    // Bar, edge and marks: everything the thumb moves over.
    void DrawBackground(QPainter& p) const;

    QImage m_background;  // null when stale
    int m_backgroundMin = 0, m_backgroundMax = 0;  // range the marks were placed for
    std::vector<int> m_events;
    int m_in = kNoMark;
    int m_out = kNoMark;
};

}  // namespace trivane
