#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "playback/DriftCorrector.h"
#include "playback/IPlaybackChannel.h"
#include "playback/IPlaybackView.h"
#include "playback/PlaybackClock.h"
#include "playback/VlcEvent.h"

namespace trivane {

class CRecordingManager;

struct PlaybackSpeed {
    double rate;
    const char* label;  // drawn over the picture
};

inline constexpr std::array<PlaybackSpeed, 18> kPlaybackSpeeds = {{
    {0.3, "0.3 X"}, {0.4, "0.4 X"}, {0.5, "0.5 X"}, {0.6, "0.6 X"}, {0.7, "0.7 X"}, {0.8, "0.8 X"},
    {0.9, "0.9 X"}, {1.0, "1.0 X"}, {1.2, "1.2 X"}, {1.4, "1.4 X"}, {1.6, "1.6 X"}, {1.8, "1.8 X"},
    {2.0, "2.0 X"}, {2.4, "2.4 X"}, {2.8, "2.8 X"}, {3.2, "3.2 X"}, {3.6, "3.6 X"}, {4.0, "4.0 X"},
}};
inline constexpr int kNormalSpeedIndex = 7;

// Decides what the front and rear channels play and keeps the window in step with them: starts,
// pauses, speeds, seeks, snapshots and the end of each recording. A recording's two camera
// files are found from whichever of them the catalogue lists; the front file's channel is the
// master whose events drive the window, the rear channel takes over for a recording without one.
//
// Everything runs on the window thread except the two sinks, which libVLC calls on its own
// threads: they only touch the atomics below and post window messages, which come back through
// HandleMessage. Each posted event carries the start it belongs to (lParam); events of a
// recording that has since been replaced, stopped or rewound are dropped.
class CPlaybackController {
public:
    // WM_PLAY_STATE values: the button shows "play" for 1 and 4, "pause" for 2 and 3; 5 and 6 (a
    // master channel opening or stopping) reset the GPS indicator.
    static constexpr std::uintptr_t kStatePlaying = 3;
    static constexpr std::uintptr_t kStatePaused = 4;
    static constexpr std::uintptr_t kStateOpening = 5;
    static constexpr std::uintptr_t kStateStopped = 6;

    // Texts of the language tables.
    static constexpr int kTextPlayerError = 102;
    static constexpr int kTextNoFiles = 136;
    static constexpr int kTextOk = 145;
    static constexpr int kTextWarning = 131;
    static constexpr int kTextSnapshotFailed = 147;  // "Snapshot failed: %s"

    // Nothing is called on the view or the channels before the first command, so the window can
    // hold the controller as a member and pass itself as the view.
    // `now` is the monotonic clock of the playback clock, the drift measurement and the event
    // arrival stamps (a fake in tests).
    CPlaybackController(CRecordingManager& recordings, IPlaybackChannel& front, IPlaybackChannel& rear,
                        IPlaybackView& view, PlaybackClock::NowFunction now = PlaybackClock::Monotonic::now);
    CPlaybackController(const CPlaybackController&) = delete;
    CPlaybackController& operator=(const CPlaybackController&) = delete;

    // The window attaches these to the front and rear channel (AttachEvents).
    IVlcEventSink& FrontSink() { return frontSink_; }
    IVlcEventSink& RearSink() { return rearSink_; }

    // Commands.
    void Open();                                    // asks the view for a source
    void OpenSource(const SourceChoice& choice);    // the same for a source chosen elsewhere
    void PlayPause();
    void Stop();
    void Faster();
    void Slower();
    void Snapshot();
    void SetMute(bool mute);
    void ToggleAutoPlayNext();
    // The recording the channels hold is gone (deleted): as Stop, and both channels let go of
    // their media, so the next Play/Pause starts the current recording afresh.
    void DropRecording();
    // The files the channels play were renamed (unlocked): playing goes on from the open files,
    // but the channels' media still name the old paths, so a start after Stop or the end of the
    // recording opens the current recording afresh under its new name.
    void RecordingRenamed();
    // Volume slider position x 2 on both channels; the window also calls it once at start-up,
    // after placing the slider, so that both channels start at the slider's volume.
    void ApplyVolume();
    void SeekFromSliderScroll(int position);  // 0..1000, keyboard or track click on the slider
    // Keys: a seek by deltaMs from the picture shown (or from a seek still waiting), within the
    // recording, applied as a slider seek; slider and telemetry move at once.
    void SeekBy(std::int64_t deltaMs);
    // While paused, one picture on both channels: forward through the channels' frame step,
    // back as a seek into the picture before (by the video's frame rate, else 25 per second).
    // Ignored while playing or stopped.
    void StepFrame(bool forward);

    // The shown picture's time and the master's length; false while no recording is shown.
    bool ShownPosition(std::int64_t& timeMs, std::int64_t& lengthMs);
    // Catalogue entry `index` from `timeMs`: a seek within the recording on show (as a slider
    // seek), otherwise the recording opened as a click in the file list opens it, each channel
    // sent to the time once it reports that it plays.
    void PlayAt(int index, std::int64_t timeMs);

    // WM_PLAYER_ERROR, WM_PLAY_STATE, WM_PLAY_TIME, WM_END_REACHED, WM_PLAY_GROUP, WM_PLAY_FILE,
    // WM_APPLY_VOLUME, WM_SEEK_TO_SLIDER; false for any other message.
    bool HandleMessage(int message, std::uintptr_t wParam, std::intptr_t lParam);
    // IDT_MARQUEE, IDT_SEEK, IDT_AUTOSTART, IDT_OPEN_GUARD; other ids are ignored.
    void OnTimer(int id);
    // Detaches both sinks and stops both channels; afterwards no sink posts. Call before the view
    // or the channels go.
    void Shutdown();

    int SpeedIndex() const { return speedIndex_; }
    bool AutoPlayNext() const { return autoPlayNext_; }
    bool FrontIsMaster() const { return frontIsMaster_.load(); }
    bool OpeningGuard() const { return openingGuard_.load(); }
    bool SeekPending() const { return seekPending_.load(); }
    std::int64_t PendingSeekMs() const { return seekPending_.load() ? pendingSeekMs_.load() : 0; }
    bool FrontSurfaceHidden() const { return surfaceHidden_[kFrontChannel]; }
    bool RearSurfaceHidden() const { return surfaceHidden_[kRearChannel]; }
    bool RearInUse() const { return rearInUse_; }  // the rear channel holds the current recording
    bool Muted() const { return muted_; }
    const std::string& CurrentFrontPath() const { return currentFrontPath_; }
    const std::string& PlayingFrontPath() const { return playingFrontPath_; }
    SourceKind CurrentSourceKind() const { return sourceKind_; }
    const std::string& SourcePath() const { return sourcePath_; }
    int AutoStartIndex() const { return autoStartIndex_; }
    int AutoStartCountdown() const { return autoStartCountdown_; }
    int MarqueeTicks() const { return marqueeTicks_; }
    // Picture size of the current recording as its container states it; false when unknown.
    bool CurrentFrame(int& width, int& height) const;

    // The master's media time between its time events, for the instruments.
    PlaybackClock& Clock() { return clock_; }
    const PlaybackClock& Clock() const { return clock_; }
    // Seeks of the rear channel that keep it on the front one's time (on by default).
    void SetDriftCorrection(bool on) { drift_.SetEnabled(on); }
    const DriftCorrector& Drift() const { return drift_; }

private:
    class ChannelSink final : public IVlcEventSink {
    public:
        ChannelSink(CPlaybackController& owner, int channel) : owner_(owner), channel_(channel) {}
        void OnVlcEvent(const VlcEvent& event) noexcept override { owner_.OnChannelEvent(channel_, event); }

    private:
        CPlaybackController& owner_;
        int channel_;
    };

    void OnChannelEvent(int channel, const VlcEvent& event) noexcept;
    bool Post(int message, std::uintptr_t wParam, int channel) noexcept;
    void OnTimeChanged(std::int64_t timeMs, int channel) noexcept;
    void CorrectDrift(std::int64_t frontMs);
    bool IsCurrent(std::intptr_t stamp) const;
    void NewStart();
    bool RearEnded() const;

    IPlaybackChannel& Channel(int channel) { return channel == kFrontChannel ? front_ : rear_; }
    IPlaybackChannel& Master() { return frontIsMaster_.load() ? front_ : rear_; }
    bool InUse(int channel);
    int CatalogueSize() const;
    int ClampedCurrent() const;

    void ResetBeforeOpen();
    void OpenChosen(const SourceChoice& choice);
    void StartFirstRecording(bool fileSource);
    void StartRecording(int index, bool setGuard);
    void EndOpeningIfNothingStarted();
    void ClearShownRecording();
    void CancelAutoStart();
    void PlayFrontFile();
    void StartRear(const std::string& recordingPath);
    void StopChannels();
    void ShowSurface(int channel);
    void HideSurface(int channel);
    void SetOpeningGuard();
    void ClearOpeningGuard();
    void ResetSpeed();
    void ChangeSpeed(int step);
    void ApplyMarquee();
    void RefreshMarquee();
    int MarqueeSize() const;

    void OnPlayState(std::uintptr_t state, int channel);
    void OnPlayerError(std::uintptr_t wParam);
    void OnPlayTime(std::int64_t timeMs);
    void OnEndReached();
    void Rewind();
    void PlayFile(int index);
    void PlayGroup(int group);
    void SeekToSlider(int position, bool syncTelemetry);
    void PlayAtWhenPlaying(int channel);
    void ApplySeek();
    IPlaybackChannel* ShownMaster();
    double PictureTimeMs(const IPlaybackChannel& master) const;
    void ShowPosition(std::int64_t timeMs, std::int64_t lengthMs);
    // Seeks there as the slider does: the seek timer applies it, so held keys add up to one seek.
    void QueueSeek(std::int64_t targetMs, std::int64_t lengthMs);
    void AutoStartTick();
    void MarqueeTick();

    CRecordingManager& recordings_;
    IPlaybackChannel& front_;
    IPlaybackChannel& rear_;
    IPlaybackView& view_;
    PlaybackClock::NowFunction now_;
    PlaybackClock clock_;
    DriftCorrector drift_;
    ChannelSink frontSink_{*this, kFrontChannel};
    ChannelSink rearSink_{*this, kRearChannel};

    // Shared with the sinks.
    std::atomic<std::int64_t> pendingSeekMs_{0};
    std::atomic<bool> seekPending_{false};  // pendingSeekMs_ holds a target (0 ms included)
    std::atomic<bool> openingGuard_{false};
    std::atomic<bool> frontIsMaster_{false};
    std::atomic<std::uint32_t> serial_{1};
    // Time updates coalesce: the sink keeps the latest time and posts WM_PLAY_TIME only while
    // none is queued; the window thread clears the flag when it takes the message.
    std::atomic<std::int64_t> latestTimeMs_{0};
    std::atomic<bool> timePosted_{false};
    // Serial of the start whose rear channel reached its end while the front one was master.
    std::atomic<std::uint32_t> rearEndedSerial_{0};
    // Arrival of the time event in latestTimeMs_, and the rear's latest time event while the
    // front is master (for the drift measurement).
    std::atomic<PlaybackClock::Monotonic::rep> latestTimeAt_{0};
    std::mutex rearTimeMutex_;
    DriftCorrector::ChannelTime rearTime_;
    std::uint32_t rearTimeSerial_ = 0;

    // Window thread only.
    int speedIndex_ = kNormalSpeedIndex;
    bool autoPlayNext_ = true;
    bool muted_ = false;
    std::string currentFrontPath_;
    std::string playingFrontPath_;
    SourceKind sourceKind_ = SourceKind::Disk;
    std::string sourcePath_;
    std::array<bool, 2> surfaceHidden_{true, true};
    bool rearInUse_ = false;
    bool rearRebuilt_ = false;
    std::array<bool, 2> pauseWhenPlaying_{false, false};
    int autoStartIndex_ = 0;
    int autoStartCountdown_ = 0;
    int marqueeTicks_ = 10;
    bool seekTimerRunning_ = false;
    bool errorBoxShown_ = false;  // the error box runs a nested loop; one box at a time
    // The last frame step's time, for the start (serial) it was made in.
    double stepMs_ = 0;
    std::uint32_t stepSerial_ = 0;
    // A PlayAt time for the start (serial) it opened, and the channels still to be sent there.
    std::int64_t playAtMs_ = 0;
    std::uint32_t playAtSerial_ = 0;
    std::array<bool, 2> playAtWaiting_{false, false};
    bool recordingDropped_ = false;  // the channels hold nothing until a recording starts
    bool mediaRenamed_ = false;      // the channels' media name files that were renamed
};

}  // namespace trivane
