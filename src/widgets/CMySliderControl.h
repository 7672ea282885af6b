#pragma once

#include "widgets/CTrackBar.h"

namespace trivane {

// Volume (range 0..100, initially 50): transparent over the parent with a sunken groove and a
// red thumb. Dragging and releasing send WM_APPLY_VOLUME to the parent.
class CMySliderControl : public CTrackBar {
    Q_OBJECT

public:
    explicit CMySliderControl(QWidget* parent = nullptr);

    // The groove drawn around the channel.
    QRect GrooveRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace trivane
