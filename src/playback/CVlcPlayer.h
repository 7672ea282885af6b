#pragma once

#include "playback/IPlaybackChannel.h"
#include "playback/IVideoFrameSink.h"
#include "playback/VlcEvent.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_t;
struct libvlc_event_manager_t;
struct libvlc_event_t;

namespace trivane {

struct VlcApi;
struct VlcFrameBridge;

// One video channel: a libVLC instance, its media player and the media set on it. The library
// is loaded at run time by name and never linked; when it (or one of the entry points needed
// to build the player) is missing, the object is inert: every operation does nothing and
// returns its failure value.
//
// Everything is called on one thread (the window thread). Events reach the sink given to
// AttachEvents on libVLC's threads; see IVlcEventSink for what a sink may do. libVLC's
// plug-ins come from the system's plug-in folder only, never from the working folder.
class CVlcPlayer final : public IPlaybackChannel {
public:
    // Turns the PNG libVLC wrote into the JPEG the caller asked for. Returns success; writes
    // atomically, so that on failure nothing under jpegPath has changed.
    using SnapshotConverter = std::function<bool(const std::string& pngPath, const std::string& jpegPath)>;

    static constexpr const char* kDefaultLibrary = "libvlc.so.5";
    static constexpr const char* kFallbackLibrary = "libvlc.so";

    // Loads kDefaultLibrary, then kFallbackLibrary.
    CVlcPlayer();
    // Loads exactly this library (file name or path). With keepPluginsLoaded the first channel
    // of the process also creates one instance that is never released (see KeepPluginsLoaded).
    explicit CVlcPlayer(const std::string& libraryName, bool keepPluginsLoaded = true);
    ~CVlcPlayer();

    CVlcPlayer(const CVlcPlayer&) = delete;
    CVlcPlayer& operator=(const CVlcPlayer&) = delete;

    // Rebuilds instance and player with argument set 0 (standard) or 1 (alternate), keeping
    // the event subscription and the volume. Only a channel that has opened a media is
    // rebuilt; the new player has neither media nor window. Returns 1 when rebuilt.
    int Recreate(int argumentSet) override;

    // Subscribes the sink to the channel's events (replacing an earlier sink). Once either
    // returns, no callback is running in the sink it replaced and none will, so that sink may be
    // destroyed at once. Never call them while holding a lock the sink itself takes.
    void AttachEvents(IVlcEventSink* sink) override;
    void DetachEvents() override;

    // X11 window id the picture is drawn into.
    void SetWindow(std::uint32_t xwindow) override;
    // Renders into memory instead of a window; for display-free use. As with AttachEvents, the
    // replaced sink is out of every callback when this returns.
    void SetFrameSink(IVideoFrameSink* sink);
    // Selects libVLC's audio output module (e.g. "adummy"). Returns libVLC's result, -1 when inert.
    int SetAudioOutput(const std::string& module);
    // With false, libVLC's OpenGL video outputs are left out; with true (the default) libVLC
    // chooses. Without a GPU, OpenGL is Mesa's software renderer, and scaling the picture on the
    // CPU and putting it to the window through X11 costs less from small windows up: a third
    // less for a 480x270 picture, a third of it for 960x540 (a fifth more only for 263x147).
    // Rebuilds the player, which keeps its events, volume and audio output but not its window or
    // frame sink: call it before those. A player with a media keeps its output until Recreate.
    // Returns 1 when the choice took effect at once, 0 otherwise (inert, or a media is open).
    int SetOpenGlVideo(bool allowed);

    // Sets the file to play (UTF-8, may be null); does not start playback.
    void OpenMedia(const char* utf8Path);
    // The same; an empty path leaves the player without media.
    void OpenMedia(const std::string& utf8Path) override;
    void Play() override;
    // Toggles: libVLC resumes a paused player, and ignores the call while the media is opening.
    void Pause();
    // Pauses (true) or resumes (false) whatever the player's state; pausing twice stays paused.
    void SetPause(bool paused) override;
    void Stop() override;
    // A playing player is paused by this rather than stepped.
    void NextFrame() override;

    // Window thread only: these call into libVLC, which an event sink must never do.
    std::int64_t GetLength() const override;
    std::int64_t GetTime() const override;
    double FrameRate() const override;
    void SetTime(std::int64_t ms) override;
    int SetRate(float rate) override;

    int SetMarquee(const std::string& text, int size, bool enable) override;
    void SetVolume(int percent) override;
    void SetMute(bool mute) override;

    // Writes the current picture to utf8Path: JPEG for ".jpg"/".jpeg" names (through the
    // converter, which must write its file atomically), PNG otherwise. libVLC writes into a new
    // hidden file beside the target, which then replaces the target as a whole. Returns 0 on
    // success; -1 on failure, with nothing left behind and an existing file of that name untouched.
    int TakeSnapshot(const std::string& utf8Path) override;
    void SetSnapshotConverter(SnapshotConverter converter);

    bool IsLoaded() const override { return loaded_ != 0; }
    int Playing() const override { return playing_; }
    int Paused() const override { return paused_; }
    // The window keeps the pair in step with its own pause and play steps.
    void SetPlayFlags(int playing, int paused) { playing_ = playing; paused_ = paused; }
    const std::string& MediaPath() const { return mediaPath_; }
    int ArgumentSet() const { return argumentSet_; }
    int Volume() const { return volume_; }
    float Rate() const { return rate_; }

private:
    void Load(const std::string& first, const std::string& fallback, bool keepPluginsLoaded);
    void KeepPluginsLoaded(const std::string& loadedName);
    bool BuildPlayer();
    void ReleasePlayer();
    bool Rebuild();
    void Subscribe();
    void Unsubscribe();
    void ApplyMarquee();
    int FinishSnapshot(const std::string& temporary, const std::string& target, bool jpeg);
    static void OnLibvlcEvent(const libvlc_event_t* event, void* data) noexcept;

    std::unique_ptr<VlcApi> api_;
    libvlc_instance_t* instance_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
    libvlc_media_t* media_ = nullptr;
    libvlc_event_manager_t* eventManager_ = nullptr;
    // Held by the event callback around the sink call and by the window thread only to swap the
    // pointer, never across a libVLC call (libVLC calls us with its own event lock held).
    std::mutex sinkMutex_;
    IVlcEventSink* sink_ = nullptr;
    bool subscribed_ = false;
    void* module_ = nullptr;
    std::string mediaPath_;
    std::string audioOutput_;  // set again on every rebuilt player
    int loaded_ = 1;
    int playing_ = 0;
    int paused_ = 1;
    int argumentSet_ = 0;
    bool openGlVideo_ = true;  // given to every rebuilt instance
    int volume_ = 200;
    float rate_ = 1.0f;

    std::atomic<std::int64_t> lengthMs_{-1};
    std::unique_ptr<VlcFrameBridge> frames_;
    bool frameSinkSet_ = false;
    SnapshotConverter snapshotConverter_;
    bool marqueeSet_ = false;
    std::string marqueeText_;
    int marqueeSize_ = 0;
    bool marqueeEnabled_ = false;
};

}  // namespace trivane
