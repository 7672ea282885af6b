#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

namespace trivane {

class CGSensorCtrl;
class CPlaybackController;
class CRecordingManager;
class CTrackBar;
class IPlaybackView;
class ISpeedReadout;

// Moves the position slider, the G-sensor cursor and the speed read-out at the display's rate
// from the controller's playback clock, between the updates the controller makes on each of
// libVLC's time events (which stay as they are: this only fills the gaps). It runs only while
// the clock runs and the window is shown; it leaves the instruments alone while a seek waits,
// and the slider while the user drags it.
class CInstrumentAnimator final : public QObject {
    Q_OBJECT

public:
    // About 33 updates a second: each repaint recomposes the whole window, which costs a software-
    // rendered display several milliseconds.
    static constexpr int kPeriodMs = 30;

    CInstrumentAnimator(CPlaybackController& controller, const CRecordingManager& recordings, const IPlaybackView& view,
                        QWidget& window, CTrackBar& slider, CGSensorCtrl& gsensor, ISpeedReadout& speed);
    ~CInstrumentAnimator() override;

    bool Active() const { return timer_.isActive(); }
    // One step of the timer.
    void Step();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow();

    CPlaybackController& controller_;
    const CRecordingManager& recordings_;
    const IPlaybackView& view_;
    QWidget& window_;
    CTrackBar& slider_;
    CGSensorCtrl& gsensor_;
    ISpeedReadout& speed_;
    QTimer timer_;
    std::int64_t shownFix_ = -2;  // the fix whose speed this last showed
};

}  // namespace trivane
