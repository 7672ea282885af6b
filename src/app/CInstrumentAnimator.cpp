#include "app/CInstrumentAnimator.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "library/CRecordingManager.h"
#include "library/ISpeedReadout.h"
#include "playback/CPlaybackController.h"
#include "widgets/CGSensorCtrl.h"
#include "widgets/CTrackBar.h"

namespace trivane {

namespace {

constexpr std::int64_t kSliderRange = 1000;
constexpr std::uint16_t kImpossibleSpeed = 500;  // the sync never shows such a value either

// The thumb's pixel column for a slider position.
long long ThumbColumn(const CTrackBar& slider, int position)
{
    const long long span = static_cast<long long>(slider.RangeMax()) - slider.RangeMin();
    if (span <= 0) return 0;
    return (static_cast<long long>(position) - slider.RangeMin()) * slider.ChannelRect().width() / span;
}

// The curve's pixel column for a time: the picture (cursor or scrolled curves) changes only
// when it does.
long long CurveColumn(const CGSensorCtrl& curve, double ms)
{
    const double span = curve.WindowSpan();
    if (!(span > 0)) return static_cast<long long>(ms);
    return static_cast<long long>(std::floor(ms * curve.Graph().Width() / span));
}

}  // namespace

CInstrumentAnimator::CInstrumentAnimator(CPlaybackController& controller, const CRecordingManager& recordings,
                                         const IPlaybackView& view, QWidget& window, CTrackBar& slider,
                                         CGSensorCtrl& gsensor, ISpeedReadout& speed)
    : controller_(controller),
      recordings_(recordings),
      view_(view),
      window_(window),
      slider_(slider),
      gsensor_(gsensor),
      speed_(speed)
{
    timer_.setObjectName(QStringLiteral("IDT_INSTRUMENTS"));
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CInstrumentAnimator::Step);
    controller_.Clock().SetRunningObserver([this](bool) { Follow(); });
    window_.installEventFilter(this);
    Follow();
}

CInstrumentAnimator::~CInstrumentAnimator()
{
    controller_.Clock().SetRunningObserver(nullptr);
}

bool CInstrumentAnimator::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange: Follow(); break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CInstrumentAnimator::Follow()
{
    const bool wanted = controller_.Clock().Running() && window_.isVisible() && !window_.isMinimized();
    if (wanted == timer_.isActive()) return;
    if (wanted) {
        shownFix_ = -2;
        timer_.start(kPeriodMs);
    } else {
        timer_.stop();
    }
}

void CInstrumentAnimator::Step()
{
    // The slider shows where the user put it until the seek is made.
    if (controller_.SeekPending()) return;
    const PlaybackClock& clock = controller_.Clock();
    const std::int64_t timeMs = clock.TimeMs();
    if (timeMs < 0) return;

    // Each repaint recomposes the whole window (in software without a GPU): the instruments
    // move only when what they draw moves by a pixel.
    const std::int64_t length = clock.LengthMs();
    if (length > 0 && !slider_.IsDragging()) {
        const auto position = static_cast<int>(std::clamp<std::int64_t>(timeMs * kSliderRange / length, 0, kSliderRange));
        if (ThumbColumn(slider_, position) != ThumbColumn(slider_, slider_.GetPos())) slider_.SetPos(position);
    }

    const TelemetryTrack& track = recordings_.Track();
    if (view_.GSensorEnabled() && !track.gsensorStore.empty() &&
        CurveColumn(gsensor_, static_cast<double>(timeMs)) != CurveColumn(gsensor_, gsensor_.Position()))
        gsensor_.SetPosition(static_cast<std::uint32_t>(std::min<std::int64_t>(timeMs, UINT32_MAX)));

    if (track.fixStore.empty()) return;
    const std::int64_t fix = track.FixIndexAt(static_cast<double>(timeMs));
    if (fix == shownFix_) return;
    shownFix_ = fix;
    if (fix < 0 || !track.fixStore[static_cast<std::size_t>(fix)].IsValid()) {
        speed_.SetSpeed(0);
        return;
    }
    const std::uint16_t kmh = track.fixStore[static_cast<std::size_t>(fix)].speedKmh;
    if (kmh < kImpossibleSpeed) speed_.SetSpeed(kmh);
}

}  // namespace trivane
