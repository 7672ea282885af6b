#pragma once

#include "widgets/CTrackBar.h"

namespace trivane {

// Playback position (range 0..1000): a click jumps the thumb to the clicked place; dragging and
// releasing send WM_SEEK_TO_SLIDER to the parent, which reads the position itself.
class CVideoSlider : public CTrackBar {
    Q_OBJECT

public:
    explicit CVideoSlider(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace trivane
