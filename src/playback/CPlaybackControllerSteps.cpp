// CPlaybackController: the keyboard's seeks by a step, frame steps and jumps to a place in a
// recording.
#include "playback/CPlaybackController.h"

#include <algorithm>
#include <cmath>

#include "library/CRecordingManager.h"
#include "playback/WindowMessages.h"

namespace trivane {

namespace {

constexpr int kSliderRange = 1000;
constexpr double kDefaultFrameRate = 25.0;

}  // namespace

// The master while it holds a picture: playing or paused on the current recording, not stopped.
IPlaybackChannel* CPlaybackController::ShownMaster() {
    if (CatalogueSize() == 0 || recordingDropped_) return nullptr;
    const int master = frontIsMaster_.load() ? kFrontChannel : kRearChannel;
    if (!InUse(master)) return nullptr;
    IPlaybackChannel& channel = Channel(master);
    if (channel.Playing() == 0 && channel.Paused() == 0) return nullptr;
    return &channel;
}

// A seek still waiting is where the picture is going; otherwise the playback clock (libVLC's
// own time lags the picture and stands still on frame steps). The clock keeps whole
// milliseconds, so while it still reads the last step the step's exact time is used.
double CPlaybackController::PictureTimeMs(const IPlaybackChannel& master) const {
    if (seekPending_.load()) return static_cast<double>(pendingSeekMs_.load());
    const std::int64_t clock = clock_.Anchored() ? clock_.TimeMs() : std::max<std::int64_t>(master.GetTime(), 0);
    if (stepSerial_ == serial_.load() && clock == std::llround(stepMs_)) return stepMs_;
    return static_cast<double>(clock);
}

void CPlaybackController::ShowPosition(std::int64_t timeMs, std::int64_t lengthMs) {
    view_.SetGpsIndicator(recordings_.UpdateTelemetryAt(timeMs, view_.GSensorEnabled(), view_.MapEnabled()));
    if (lengthMs > 0) {
        view_.SetPositionSlider(
            static_cast<int>(std::clamp<std::int64_t>(timeMs * kSliderRange / lengthMs, 0, kSliderRange)));
    }
}

void CPlaybackController::SeekBy(std::int64_t deltaMs) {
    const IPlaybackChannel* master = ShownMaster();
    if (master == nullptr) return;
    const std::int64_t length = master->GetLength();
    if (length <= 0) return;
    const std::int64_t from = std::llround(PictureTimeMs(*master));
    const std::int64_t target = std::clamp<std::int64_t>(from + deltaMs, 0, length);
    QueueSeek(target, length);
}

void CPlaybackController::QueueSeek(std::int64_t targetMs, std::int64_t lengthMs) {
    pendingSeekMs_ = targetMs;
    seekPending_ = true;
    ShowPosition(targetMs, lengthMs);
    if (!seekTimerRunning_) {
        view_.StartTimer(IDT_SEEK, kSeekPeriodMs);
        seekTimerRunning_ = true;
    }
}

bool CPlaybackController::ShownPosition(std::int64_t& timeMs, std::int64_t& lengthMs) {
    const IPlaybackChannel* master = ShownMaster();
    if (master == nullptr) return false;
    timeMs = std::llround(PictureTimeMs(*master));
    lengthMs = master->GetLength();
    return true;
}

void CPlaybackController::PlayAt(int index, std::int64_t timeMs) {
    if (index < 0 || index >= CatalogueSize()) return;
    if (index == ClampedCurrent() && ShownMaster() != nullptr) {
        const std::int64_t length = Master().GetLength();
        std::int64_t target = std::max<std::int64_t>(timeMs, 0);
        if (length > 0) target = std::min(target, length);
        QueueSeek(target, length);
        return;
    }
    PlayFile(index);
    if (ClampedCurrent() != index) return;
    // A player still opening its media drops a seek (and its Opening event ends any seek that
    // waits), so each channel is sent there when it reports that it plays.
    const std::int64_t length = recordings_.Entries()[static_cast<std::size_t>(index)].info.durationMs;
    playAtMs_ = std::max<std::int64_t>(timeMs, 0);
    if (length > 0) playAtMs_ = std::min<std::int64_t>(playAtMs_, length);
    playAtSerial_ = serial_.load();
    playAtWaiting_ = {InUse(kFrontChannel), InUse(kRearChannel)};
    ShowPosition(playAtMs_, length);
}

// The channel of a recording PlayAt opened plays: it goes to the place asked for; the master
// takes the slider, the clock and the telemetry there as a slider seek does.
void CPlaybackController::PlayAtWhenPlaying(int channel) {
    auto& waiting = playAtWaiting_[static_cast<std::size_t>(channel)];
    if (!waiting || playAtSerial_ != serial_.load()) return;
    waiting = false;
    const bool master = (channel == kFrontChannel) == frontIsMaster_.load();
    if (!master) {
        Channel(channel).SetTime(playAtMs_);
        return;
    }
    pendingSeekMs_ = playAtMs_;
    seekPending_ = true;
    ApplySeek();
}

void CPlaybackController::StepFrame(bool forward) {
    IPlaybackChannel* master = ShownMaster();
    if (master == nullptr || master->Playing() != 0) return;
    const double stated = master->FrameRate();
    const double rate = stated >= 1.0 && stated <= 240.0 ? stated : kDefaultFrameRate;
    const double interval = 1000.0 / rate;
    // Steps go to the middle of a picture: a seek to a picture's first millisecond may show the
    // one before it.
    const double picture = std::floor(PictureTimeMs(*master) * rate / 1000.0 + 1e-6);
    const std::int64_t length = master->GetLength();
    if (forward) {
        // A rear file that has already ended stays ended.
        const bool rearEnded = frontIsMaster_.load() && RearEnded();
        for (int c : {kFrontChannel, kRearChannel}) {
            if (InUse(c) && !(c == kRearChannel && rearEnded)) Channel(c).NextFrame();
        }
        stepMs_ = (picture + 1.5) * interval;
        if (length > 0) stepMs_ = std::min(stepMs_, static_cast<double>(length));
        clock_.Seek(std::llround(stepMs_));
        ShowPosition(std::llround(stepMs_), length);
    } else {
        // Back: a seek one picture earlier on both channels, at once.
        stepMs_ = (std::max(picture, 1.0) - 0.5) * interval;
        pendingSeekMs_ = std::llround(stepMs_);
        seekPending_ = true;
        ApplySeek();
        if (length > 0) view_.SetPositionSlider(static_cast<int>(std::llround(stepMs_) * kSliderRange / length));
    }
    stepSerial_ = serial_.load();
}

}  // namespace trivane
