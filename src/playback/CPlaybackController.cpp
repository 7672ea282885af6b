#include "playback/CPlaybackController.h"

#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include "library/CRecordingManager.h"
#include "library/FrontCompanionPath.h"
#include "playback/WindowMessages.h"

namespace trivane {

namespace {

constexpr std::uint32_t kSerialMask = 0x3FFFFFFF;  // a stamp fits a 32-bit lParam
constexpr int kSelectionWaitMs = 200;
constexpr int kMarqueeRepeats = 10;
constexpr int kDefaultMarqueeSize = 48;
constexpr int kAutoStartTicks = 5;
constexpr int kSliderRange = 1000;

struct ChannelFiles {
    std::string front;
    std::string rear;
};

// The files of a recording's two cameras. A camera that records alone names its files outside
// the pair rule; such a file plays on the front channel.
ChannelFiles FilesOf(const std::string& recordingPath) {
    ChannelFiles files{FrontCompanionPath(recordingPath), RearCompanionPath(recordingPath)};
    if (files.front.empty() && files.rear.empty()) files.front = recordingPath;
    return files;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Stem and extension (with its dot) of the file-name part; a leading dot starts a name, not an
// extension.
std::pair<std::string, std::string> SplitExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= nameStart) return {path, std::string()};
    return {path.substr(0, dot), path.substr(dot)};
}

float RateOf(int speedIndex) {
    return static_cast<float>(kPlaybackSpeeds[static_cast<std::size_t>(speedIndex)].rate);
}

// Row indexes arrive as the unsigned image of an int; -1 (below the last row) stays -1.
int RowIndex(std::uintptr_t wParam) {
    const auto value = static_cast<std::intptr_t>(wParam);
    if (value < 0 || value > std::numeric_limits<int>::max()) return -1;
    return static_cast<int>(value);
}

}  // namespace

CPlaybackController::CPlaybackController(CRecordingManager& recordings, IPlaybackChannel& front,
                                         IPlaybackChannel& rear, IPlaybackView& view,
                                         PlaybackClock::NowFunction now)
    : recordings_(recordings), front_(front), rear_(rear), view_(view), now_(std::move(now)), clock_(now_) {}

// ---- libVLC threads ----------------------------------------------------------------------------

void CPlaybackController::OnChannelEvent(int channel, const VlcEvent& event) noexcept {
    // The rear channel drives nothing while the front one is master; its start of play is still
    // needed to hold a rewound recording at its first picture.
    if (channel == kRearChannel && frontIsMaster_.load()) {
        if (event.type == VlcEventType::MediaPlayerPlaying) Post(WM_PLAY_STATE, kStatePlaying, channel);
        // A rear file shorter than the front one: Play/Pause must not start it again.
        if (event.type == VlcEventType::MediaPlayerEndReached) rearEndedSerial_ = serial_.load();
        if (event.type == VlcEventType::MediaPlayerTimeChanged) {
            const auto at = now_();
            std::lock_guard lock(rearTimeMutex_);
            rearTime_ = {event.timeMs, at};
            rearTimeSerial_ = serial_.load();
        }
        return;
    }
    switch (event.type) {
    case VlcEventType::MediaPlayerOpening:
        seekPending_ = false;
        Post(WM_PLAY_STATE, kStateOpening, channel);
        break;
    case VlcEventType::MediaPlayerPlaying:
        Post(WM_PLAY_STATE, kStatePlaying, channel);
        break;
    case VlcEventType::MediaPlayerPaused:
        seekPending_ = false;
        Post(WM_PLAY_STATE, kStatePaused, channel);
        break;
    case VlcEventType::MediaPlayerStopped:
        Post(WM_PLAY_STATE, kStateStopped, channel);
        break;
    case VlcEventType::MediaPlayerEndReached:
        // A recording that ends (or fails) before its first time update is no longer opening.
        openingGuard_ = false;
        Post(WM_END_REACHED, 1, channel);
        seekPending_ = false;
        break;
    case VlcEventType::MediaPlayerEncounteredError:
        openingGuard_ = false;
        Post(WM_PLAYER_ERROR, 1, channel);
        break;
    case VlcEventType::MediaPlayerTimeChanged:
        OnTimeChanged(event.timeMs, channel);
        break;
    default:
        break;
    }
}

void CPlaybackController::OnTimeChanged(std::int64_t timeMs, int channel) noexcept {
    // While a seek waits, the slider stays where the user put it.
    if (seekPending_.load()) return;
    openingGuard_ = false;
    latestTimeAt_ = now_().time_since_epoch().count();
    latestTimeMs_ = timeMs;
    if (timePosted_.exchange(true)) return;  // the queued message will carry this time
    if (!Post(WM_PLAY_TIME, static_cast<std::uint32_t>(timeMs), channel)) timePosted_ = false;
}

bool CPlaybackController::Post(int message, std::uintptr_t wParam, int channel) noexcept {
    const std::uint32_t stamp = ((serial_.load() & kSerialMask) << 1) | static_cast<std::uint32_t>(channel);
    try {
        view_.PostMessage(message, wParam, static_cast<std::intptr_t>(stamp));
        return true;
    } catch (...) {
        // The event is lost; a sink must not throw into libVLC.
        return false;
    }
}

// ---- window thread -----------------------------------------------------------------------------

bool CPlaybackController::IsCurrent(std::intptr_t stamp) const {
    return ((static_cast<std::uint32_t>(stamp) >> 1) & kSerialMask) == (serial_.load() & kSerialMask);
}

// Events stamped before this belong to what the channels played until now.
void CPlaybackController::NewStart() {
    serial_.fetch_add(1);
    pauseWhenPlaying_ = {false, false};
    clock_.Reset();
    drift_.Reset();
}

bool CPlaybackController::RearEnded() const { return rearEndedSerial_.load() == serial_.load(); }

bool CPlaybackController::InUse(int channel) {
    const bool holdsRecording = channel == kFrontChannel ? frontIsMaster_.load() : rearInUse_;
    return holdsRecording && Channel(channel).IsLoaded();
}

int CPlaybackController::CatalogueSize() const { return static_cast<int>(recordings_.Entries().size()); }

int CPlaybackController::ClampedCurrent() const {
    return std::min(recordings_.CurrentIndex(), CatalogueSize() - 1);
}

bool CPlaybackController::CurrentFrame(int& width, int& height) const {
    const int current = ClampedCurrent();
    if (current < 0) return false;
    const ContainerInfo& info = recordings_.Entries()[static_cast<std::size_t>(current)].info;
    width = info.videoWidth;
    height = info.videoHeight;
    return width > 0 && height > 0;
}

bool CPlaybackController::HandleMessage(int message, std::uintptr_t wParam, std::intptr_t lParam) {
    const int channel = static_cast<int>(lParam & 1);
    switch (message) {
    case WM_PLAYER_ERROR:
        OnPlayerError(wParam);
        return true;
    case WM_PLAY_STATE:
        if (IsCurrent(lParam)) OnPlayState(wParam, channel);
        return true;
    case WM_PLAY_TIME:
        // Cleared before the time is read: a time stored after this posts a message of its own.
        timePosted_ = false;
        if (IsCurrent(lParam)) OnPlayTime(latestTimeMs_.load());
        return true;
    case WM_END_REACHED:
        if (IsCurrent(lParam)) OnEndReached();
        return true;
    case WM_PLAY_GROUP:
        PlayGroup(RowIndex(wParam));
        return true;
    case WM_PLAY_FILE:
        PlayFile(RowIndex(wParam));
        return true;
    case WM_APPLY_VOLUME:
        ApplyVolume();
        return true;
    case WM_SEEK_TO_SLIDER:
        SeekToSlider(static_cast<int>(std::min<std::uintptr_t>(wParam, kSliderRange)), true);
        return true;
    default:
        return false;
    }
}

void CPlaybackController::OnTimer(int id) {
    switch (id) {
    case IDT_MARQUEE:
        MarqueeTick();
        break;
    case IDT_SEEK:
        ApplySeek();
        break;
    case IDT_AUTOSTART:
        AutoStartTick();
        break;
    case IDT_OPEN_GUARD:
        ClearOpeningGuard();
        break;
    default:
        break;
    }
}

void CPlaybackController::Shutdown() {
    front_.DetachEvents();
    rear_.DetachEvents();
    front_.Stop();
    rear_.Stop();
    NewStart();
    for (int id : {IDT_MARQUEE, IDT_SEEK, IDT_AUTOSTART, IDT_OPEN_GUARD}) view_.StopTimer(id);
    seekTimerRunning_ = false;
    autoStartCountdown_ = 0;
}

// ---- opening a source --------------------------------------------------------------------------

// A cancelled dialog leaves playback as it was.
void CPlaybackController::Open() {
    if (CatalogueSize() > 0 && openingGuard_.load()) return;
    SourceChoice choice;
    if (!view_.ChooseSource(choice)) return;
    ResetBeforeOpen();
    OpenChosen(choice);
}

void CPlaybackController::OpenSource(const SourceChoice& choice) {
    if (CatalogueSize() > 0 && openingGuard_.load()) return;
    ResetBeforeOpen();
    OpenChosen(choice);
}

void CPlaybackController::ResetBeforeOpen() {
    recordingDropped_ = false;
    mediaRenamed_ = false;
    CancelAutoStart();
    seekPending_ = false;
    StopChannels();
    speedIndex_ = kNormalSpeedIndex;
    front_.SetRate(1.0f);
    rear_.SetRate(RateOf(kNormalSpeedIndex));
}

void CPlaybackController::OpenChosen(const SourceChoice& choice) {
    sourceKind_ = choice.kind;
    if (choice.kind == SourceKind::File) {
        recordings_.ClearCatalogue();
        const std::size_t slash = choice.path.rfind('/');
        std::string folder;
        if (slash != std::string::npos) folder = slash == 0 ? std::string("/") : choice.path.substr(0, slash);
        const std::string name = slash == std::string::npos ? choice.path : choice.path.substr(slash + 1);
        if (recordings_.OpenSource(folder, name) == 0 || CatalogueSize() == 0) {
            ClearShownRecording();
            return;
        }
        StartFirstRecording(true);
        return;
    }

    SetOpeningGuard();
    sourcePath_ = choice.path;
    if (sourcePath_.empty()) {
        ClearOpeningGuard();
        return;
    }
    recordings_.ClearCatalogue();
    view_.SetScanBusy(true);
    recordings_.OpenSource(sourcePath_, "");
    view_.SetScanBusy(false);
    if (CatalogueSize() == 0) {
        ClearOpeningGuard();
        ClearShownRecording();
        return;
    }
    if (choice.kind == SourceKind::Disk) {
        StartFirstRecording(false);
    } else {
        // The window shows the catalogue before the first recording starts.
        autoStartIndex_ = 0;
        autoStartCountdown_ = kAutoStartTicks;
        view_.StartTimer(IDT_AUTOSTART, kAutoStartPeriodMs);
    }
}

// The first recording of a disk or of a single file: the button shows "pause" at once and the
// marquee is left as it is.
void CPlaybackController::StartFirstRecording(bool fileSource) {
    if (fileSource) {
        front_.SetWindow(view_.SurfaceWindow(kFrontChannel));
        ShowSurface(kFrontChannel);
    }
    recordings_.SelectCurrent(0);
    recordings_.LoadTelemetry(0);
    const std::string path = recordings_.CurrentPath();
    recordingDropped_ = false;
    mediaRenamed_ = false;
    NewStart();
    currentFrontPath_ = FilesOf(path).front;
    frontIsMaster_ = !currentFrontPath_.empty();
    if (frontIsMaster_.load()) {
        front_.OpenMedia(currentFrontPath_);
        view_.SetPlayButtonState(1);
        view_.FitSurfaces();
        ShowSurface(kFrontChannel);
        front_.Play();
        playingFrontPath_ = currentFrontPath_;
    }
    StartRear(path);
    EndOpeningIfNothingStarted();
}

// Nothing of the last recording stays on show: the window is empty.
void CPlaybackController::ClearShownRecording() {
    recordings_.ClearTelemetry();
    view_.ResetMap();
    view_.SetGpsIndicator(0);
    view_.SetPositionSlider(0);
    view_.SetGSensorStopped(true, true);
    HideSurface(kFrontChannel);
    HideSurface(kRearChannel);
    currentFrontPath_.clear();
    playingFrontPath_.clear();
    frontIsMaster_ = false;
    rearInUse_ = false;
}

// ---- starting recordings -----------------------------------------------------------------------

void CPlaybackController::StartRecording(int index, bool setGuard) {
    if (setGuard) SetOpeningGuard();
    ShowSurface(kFrontChannel);
    recordings_.SelectCurrent(index);
    recordings_.LoadTelemetry(index);
    const std::string path = recordings_.FullPath(index);
    recordingDropped_ = false;
    mediaRenamed_ = false;
    NewStart();
    currentFrontPath_ = FilesOf(path).front;
    frontIsMaster_ = !currentFrontPath_.empty();
    if (frontIsMaster_.load()) {
        PlayFrontFile();
        RefreshMarquee();
    }
    StartRear(path);
    EndOpeningIfNothingStarted();
}

// No channel plays (no file, or libVLC missing): no time update will ever end the opening.
void CPlaybackController::EndOpeningIfNothingStarted() {
    if (!InUse(kFrontChannel) && !InUse(kRearChannel)) ClearOpeningGuard();
}

void CPlaybackController::CancelAutoStart() {
    if (autoStartCountdown_ <= 0) return;
    autoStartCountdown_ = 0;
    view_.StopTimer(IDT_AUTOSTART);
}

void CPlaybackController::PlayFrontFile() {
    front_.OpenMedia(currentFrontPath_);
    view_.FitSurfaces();
    front_.Play();
    playingFrontPath_ = currentFrontPath_;
}

void CPlaybackController::StartRear(const std::string& recordingPath) {
    const std::string rearPath = FilesOf(recordingPath).rear;
    if (rearPath.empty()) {
        // A rebuilt player has no media, so the surface no longer shows the last picture.
        if (rear_.Recreate(0) == 1) rearRebuilt_ = true;
        rearInUse_ = false;
        return;
    }
    ShowSurface(kRearChannel);
    rear_.SetWindow(view_.SurfaceWindow(kRearChannel));
    rear_.OpenMedia(rearPath);
    if (rearRebuilt_) {
        // A new player starts at normal speed with sound on; keep it in step with the front.
        rear_.SetRate(RateOf(speedIndex_));
        rear_.SetMute(muted_);
        rearRebuilt_ = false;
    }
    rear_.Play();
    rearInUse_ = true;
}

void CPlaybackController::StopChannels() {
    front_.Stop();
    rear_.Stop();
    // The channels' own Stopped events are already stale.
    NewStart();
    view_.SetGpsIndicator(0);
}

void CPlaybackController::ShowSurface(int channel) {
    auto& hidden = surfaceHidden_[static_cast<std::size_t>(channel)];
    if (!hidden) return;
    view_.ShowSurface(channel, true);
    hidden = false;
}

void CPlaybackController::HideSurface(int channel) {
    auto& hidden = surfaceHidden_[static_cast<std::size_t>(channel)];
    if (hidden) return;
    view_.ShowSurface(channel, false);
    hidden = true;
}

void CPlaybackController::SetOpeningGuard() {
    openingGuard_ = true;
    view_.StartTimer(IDT_OPEN_GUARD, kOpenGuardPeriodMs);
}

void CPlaybackController::ClearOpeningGuard() {
    openingGuard_ = false;
    view_.StopTimer(IDT_OPEN_GUARD);
}

void CPlaybackController::PlayFile(int index) {
    if (index < 0) return;
    CancelAutoStart();
    StopChannels();
    view_.Wait(kSelectionWaitMs);
    if (recordings_.SelectCurrent(index) == 0) return;
    StartRecording(index, true);
    if (speedIndex_ != kNormalSpeedIndex) {
        ResetSpeed();
        RefreshMarquee();
    }
}

void CPlaybackController::PlayGroup(int group) {
    if (openingGuard_.load() || group < 0) return;
    CancelAutoStart();
    StopChannels();
    view_.Wait(kSelectionWaitMs);
    const auto& groups = recordings_.Groups();
    const int current = recordings_.CurrentGroup();
    const bool currentHolds = current >= 0 && static_cast<std::size_t>(current) < groups.size() &&
                              groups[static_cast<std::size_t>(current)].count > 0;
    if (static_cast<std::size_t>(group) < groups.size() && currentHolds) {
        recordings_.SelectCurrent(groups[static_cast<std::size_t>(group)].firstIndex);
    }
    const int index = ClampedCurrent();
    if (index < 0) return;
    StartRecording(index, true);
}

void CPlaybackController::AutoStartTick() {
    if (autoStartCountdown_ <= 0) {
        view_.StopTimer(IDT_AUTOSTART);
        return;
    }
    if (--autoStartCountdown_ > 0) return;
    view_.StopTimer(IDT_AUTOSTART);
    if (autoStartIndex_ >= 0 && autoStartIndex_ < CatalogueSize()) {
        StartRecording(autoStartIndex_, false);
    } else {
        ClearOpeningGuard();
    }
}

// ---- end of a recording ------------------------------------------------------------------------

void CPlaybackController::OnEndReached() {
    clock_.End();
    if (!autoPlayNext_) {
        // Rewinding would open the old names again.
        if (mediaRenamed_) {
            Stop();
            return;
        }
        Rewind();
        return;
    }
    const int count = CatalogueSize();
    if (count == 0) return;
    const int current = ClampedCurrent();
    std::string path;
    if (current >= 0 && current + 1 < count) {
        const int next = current + 1;
        recordings_.SelectCurrent(next);
        recordings_.LoadTelemetry(next);
        path = recordings_.FullPath(next);
        currentFrontPath_ = FilesOf(path).front;
        if (!currentFrontPath_.empty() && currentFrontPath_ == playingFrontPath_) {
            // The other file of the pair just played.
            Post(WM_END_REACHED, 1, kFrontChannel);
            seekPending_ = false;
            return;
        }
        if (!currentFrontPath_.empty() && !IsRegularFile(currentFrontPath_)) return;
        NewStart();
        frontIsMaster_ = !currentFrontPath_.empty();
        if (frontIsMaster_.load()) {
            PlayFrontFile();
            RefreshMarquee();
        }
    } else {
        // After the last recording the catalogue starts again from the first.
        StopChannels();
        recordings_.SelectCurrent(0);
        recordings_.LoadTelemetry(0);
        path = recordings_.FullPath(0);
        currentFrontPath_ = FilesOf(path).front;
        frontIsMaster_ = !currentFrontPath_.empty();
        if (frontIsMaster_.load()) PlayFrontFile();
    }
    StartRear(path);
    ApplyVolume();
}

// Back to the first picture, held there: each channel is paused once it reports that it plays
// (a pause asked for while the channel is still opening would be lost).
void CPlaybackController::Rewind() {
    std::array<bool, 2> used{InUse(kFrontChannel), InUse(kRearChannel)};
    for (int c : {kFrontChannel, kRearChannel}) {
        if (used[static_cast<std::size_t>(c)]) Channel(c).Stop();
    }
    NewStart();
    for (int c : {kFrontChannel, kRearChannel}) {
        if (!used[static_cast<std::size_t>(c)]) continue;
        Channel(c).Play();
        pauseWhenPlaying_[static_cast<std::size_t>(c)] = true;
    }
    view_.SetPositionSlider(0);
    view_.SetGSensorStopped(false, true);
}

// ---- player events -----------------------------------------------------------------------------

void CPlaybackController::OnPlayState(std::uintptr_t state, int channel) {
    auto& pause = pauseWhenPlaying_[static_cast<std::size_t>(channel)];
    if (state == kStatePlaying && pause) {
        pause = false;
        Channel(channel).SetPause(true);
    }
    if (state == kStatePlaying) PlayAtWhenPlaying(channel);
    if (channel == kRearChannel && frontIsMaster_.load()) return;
    switch (state) {
    case kStatePaused:
        clock_.Pause();
        [[fallthrough]];
    case 1:
        view_.SetPlayButtonState(0);
        break;
    case 2:
    case kStatePlaying:
        view_.SetPlayButtonState(1);
        break;
    case kStateOpening:
    case kStateStopped:
        view_.SetGpsIndicator(0);
        break;
    default:
        break;
    }
}

// The box runs a nested event loop; errors arriving meanwhile add no second box.
void CPlaybackController::OnPlayerError(std::uintptr_t wParam) {
    if (errorBoxShown_) return;
    errorBoxShown_ = true;
    view_.ShowMessage(wParam == 1 ? kTextPlayerError : 0, 0);
    errorBoxShown_ = false;
}

void CPlaybackController::OnPlayTime(std::int64_t timeMs) {
    if (seekPending_.load()) return;
    view_.SetGpsIndicator(recordings_.UpdateTelemetryAt(timeMs, view_.GSensorEnabled(), view_.MapEnabled()));
    const std::int64_t length = Master().GetLength();
    const std::int64_t position = length > 0 ? timeMs * kSliderRange / length : 0;
    view_.SetPositionSlider(static_cast<int>(std::clamp<std::int64_t>(position, 0, kSliderRange)));
    clock_.OnTimeEvent(timeMs, RateOf(speedIndex_), length);
    CorrectDrift(timeMs);
}

// The rear is brought back to the front's time; the front is never touched.
void CPlaybackController::CorrectDrift(std::int64_t frontMs) {
    if (!frontIsMaster_.load() || !rearInUse_ || RearEnded() || !rear_.IsLoaded()) return;
    DriftCorrector::ChannelTime rear;
    {
        std::lock_guard lock(rearTimeMutex_);
        if (rearTimeSerial_ != serial_.load()) return;
        rear = rearTime_;
    }
    const DriftCorrector::ChannelTime front{
        frontMs, PlaybackClock::Monotonic::time_point(PlaybackClock::Monotonic::duration(latestTimeAt_.load()))};
    if (const std::optional<std::int64_t> target = drift_.OnSample(front, rear, RateOf(speedIndex_), now_()))
        rear_.SetTime(*target);
}

// ---- commands ----------------------------------------------------------------------------------

// The master decides; the rear channel follows it, except that a rear file that has already
// ended (shorter than the front one) is left ended rather than started again from its beginning.
void CPlaybackController::PlayPause() {
    seekPending_ = false;
    pauseWhenPlaying_ = {false, false};
    view_.SetGSensorStopped(false, false);
    if (CatalogueSize() == 0) {
        view_.SetPlayButtonState(0);
        return;
    }
    if (recordingDropped_) {
        recordings_.ClampCurrentIndex();
        StartRecording(std::max(ClampedCurrent(), 0), true);
        return;
    }
    const bool frontMaster = frontIsMaster_.load();
    IPlaybackChannel& master = Master();
    const bool pausing = master.IsLoaded() && master.Playing() != 0;
    if (pausing) clock_.Pause();
    if (frontMaster) {
        if (pausing) {
            front_.SetPause(true);
        } else {
            ShowSurface(kFrontChannel);
            front_.Play();
            if (speedIndex_ != kNormalSpeedIndex) {
                ResetSpeed();
                RefreshMarquee();
            }
        }
    }
    if (!rearInUse_ || (frontMaster && RearEnded())) return;
    if (pausing) {
        rear_.SetPause(true);
    } else {
        ShowSurface(kRearChannel);
        rear_.Play();
    }
}

void CPlaybackController::Stop() {
    if (mediaRenamed_) {
        mediaRenamed_ = false;
        recordingDropped_ = true;
    }
    CancelAutoStart();
    ClearOpeningGuard();
    seekPending_ = false;
    view_.SetPlayButtonState(0);
    StopChannels();
    speedIndex_ = kNormalSpeedIndex;
    front_.SetRate(1.0f);
    rear_.SetRate(RateOf(kNormalSpeedIndex));
    view_.SetPositionSlider(0);
    view_.SetGSensorStopped(true, true);
    HideSurface(kFrontChannel);
    HideSurface(kRearChannel);
}

void CPlaybackController::ResetSpeed() {
    speedIndex_ = kNormalSpeedIndex;
    clock_.SetRate(RateOf(speedIndex_));
    front_.SetRate(1.0f);
    rear_.SetRate(RateOf(kNormalSpeedIndex));
}

void CPlaybackController::Faster() { ChangeSpeed(1); }

void CPlaybackController::Slower() { ChangeSpeed(-1); }

void CPlaybackController::ChangeSpeed(int step) {
    speedIndex_ = std::clamp(speedIndex_ + step, 0, static_cast<int>(kPlaybackSpeeds.size()) - 1);
    const float rate = RateOf(speedIndex_);
    if (frontIsMaster_.load() && front_.IsLoaded()) front_.SetRate(rate);
    if (rear_.IsLoaded()) rear_.SetRate(rate);
    clock_.SetRate(rate);
    drift_.Reset();
    ApplyMarquee();
}

int CPlaybackController::MarqueeSize() const {
    const int current = ClampedCurrent();
    if (current < 0) return kDefaultMarqueeSize;
    const int height = recordings_.Entries()[static_cast<std::size_t>(current)].info.videoHeight;
    return height != 0 ? height / 10 : kDefaultMarqueeSize;
}

void CPlaybackController::ApplyMarquee() {
    const char* label = kPlaybackSpeeds[static_cast<std::size_t>(speedIndex_)].label;
    const int size = MarqueeSize();
    const bool shown = speedIndex_ != kNormalSpeedIndex;
    front_.SetMarquee(label, size, shown);
    rear_.SetMarquee(label, size, shown);
}

// libVLC builds a channel's video output several times as it starts and the marquee can go
// with one of them, so it is applied again for a few seconds.
void CPlaybackController::RefreshMarquee() {
    ApplyMarquee();
    marqueeTicks_ = kMarqueeRepeats;
    view_.StartTimer(IDT_MARQUEE, kMarqueePeriodMs);
}

void CPlaybackController::MarqueeTick() {
    ApplyMarquee();
    if (marqueeTicks_ > 0) {
        --marqueeTicks_;
        return;
    }
    view_.StopTimer(IDT_MARQUEE);
}

void CPlaybackController::SeekToSlider(int position, bool syncTelemetry) {
    IPlaybackChannel& master = Master();
    const std::int64_t length = master.IsLoaded() ? master.GetLength() : -1;
    const std::int64_t target = static_cast<std::int64_t>(position) * (length / kSliderRange);
    // Without a known length there is no time to go to.
    const bool pending = length > 0;
    if (pending) {
        pendingSeekMs_ = target;
        seekPending_ = true;
    }
    if (syncTelemetry) {
        view_.SetGpsIndicator(recordings_.UpdateTelemetryAt(target, view_.GSensorEnabled(), view_.MapEnabled()));
    }
    if (pending && !seekTimerRunning_) {
        view_.StartTimer(IDT_SEEK, kSeekPeriodMs);
        seekTimerRunning_ = true;
    }
}

// The native scroll path measures with the front channel; without a front file for this
// recording that is the rear channel, the master.
void CPlaybackController::SeekFromSliderScroll(int position) {
    SeekToSlider(std::clamp(position, 0, kSliderRange), false);
}

void CPlaybackController::ApplySeek() {
    if (!seekPending_.load()) {
        view_.StopTimer(IDT_SEEK);
        seekTimerRunning_ = false;
        return;
    }
    const std::int64_t target = pendingSeekMs_.load();
    for (int c : {kFrontChannel, kRearChannel}) {
        if (InUse(c)) Channel(c).SetTime(target);
    }
    view_.SetGpsIndicator(recordings_.UpdateTelemetryAt(target, view_.GSensorEnabled(), view_.MapEnabled()));
    recordings_.ReplotDrivenPath(target);
    seekPending_ = false;
    clock_.Seek(target);
    drift_.Reset();
}

void CPlaybackController::Snapshot() {
    if (CatalogueSize() == 0) {
        view_.ShowMessage(kTextNoFiles, kTextOk);
        return;
    }
    // A rear file that has already ended has no picture left to take, and must not restart.
    const bool rearEnded = frontIsMaster_.load() && RearEnded();
    auto shows = [&](int c) { return InUse(c) && !(c == kRearChannel && rearEnded); };
    std::array<bool, 2> pausedHere{false, false};
    for (int c : {kFrontChannel, kRearChannel}) {
        if (shows(c) && Channel(c).Playing() != 0) {
            Channel(c).SetPause(true);
            pausedHere[static_cast<std::size_t>(c)] = true;
        }
    }
    std::string path;
    if (view_.ChooseSnapshotPath(path)) {
        const auto [stem, extension] = SplitExtension(path);
        for (int c : {kFrontChannel, kRearChannel}) {
            if (!shows(c)) continue;
            std::string target = stem;
            target += c == kFrontChannel ? "_f" : "_r";
            target += extension;
            if (PathExists(target) && !view_.ConfirmOverwrite(target)) continue;
            if (Channel(c).TakeSnapshot(target) != 0) view_.ShowPathMessage(kTextSnapshotFailed, kTextWarning, target);
        }
    }
    for (int c : {kFrontChannel, kRearChannel}) {
        if (pausedHere[static_cast<std::size_t>(c)]) Channel(c).Play();
    }
}

void CPlaybackController::SetMute(bool mute) {
    muted_ = mute;
    for (int c : {kFrontChannel, kRearChannel}) {
        if (Channel(c).IsLoaded()) Channel(c).SetMute(mute);
    }
}

void CPlaybackController::DropRecording() {
    Stop();
    front_.OpenMedia(std::string());
    rear_.OpenMedia(std::string());
    currentFrontPath_.clear();
    playingFrontPath_.clear();
    frontIsMaster_ = false;
    rearInUse_ = false;
    recordingDropped_ = true;
}

void CPlaybackController::RecordingRenamed() {
    if (!currentFrontPath_.empty() || rearInUse_) mediaRenamed_ = true;
}

void CPlaybackController::ToggleAutoPlayNext() { autoPlayNext_ = !autoPlayNext_; }

void CPlaybackController::ApplyVolume() {
    const int volume = view_.VolumeSliderPosition() * 2;
    for (int c : {kFrontChannel, kRearChannel}) {
        if (Channel(c).IsLoaded()) Channel(c).SetVolume(volume);
    }
}

}  // namespace trivane
