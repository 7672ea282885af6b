#pragma once

#include <cstdint>
#include <string>

namespace trivane {

// Where a source dialog (or the command line) points.
enum class SourceKind : int { Disk = 0, Folder = 1, File = 2 };

struct SourceChoice {
    SourceKind kind = SourceKind::File;
    std::string path;  // bytes as named on disk
};

inline constexpr int kFrontChannel = 0;
inline constexpr int kRearChannel = 1;

// The main window as the playback controller sees it. PostMessage may be called from any
// thread (libVLC's included); everything else runs on the window thread.
class IPlaybackView {
public:
    // Queues a window message (WM_...) for the window thread; the window hands it back to the
    // controller's HandleMessage.
    virtual void PostMessage(int message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

    virtual void ShowSurface(int channel, bool shown) = 0;
    virtual std::uint32_t SurfaceWindow(int channel) = 0;  // X11 window id, 0 when none
    virtual void FitSurfaces() = 0;                         // after the current recording changed
    virtual void SetScanBusy(bool busy) = 0;                // front surface's scan counter, repainted at once

    virtual void SetPlayButtonState(int state) = 0;  // 0 "play" image, 1 "pause" image; clears grey
    virtual void SetPositionSlider(int position) = 0;  // 0..1000
    virtual int VolumeSliderPosition() const = 0;      // 0..100
    virtual void SetGpsIndicator(int value) = 0;       // 1 fix, 0 none; repaints
    virtual void SetGSensorStopped(bool stopped, bool resetPosition) = 0;  // repaints
    virtual bool GSensorEnabled() const = 0;
    virtual bool MapEnabled() const = 0;

    virtual void StartTimer(int id, int periodMs) = 0;  // (re)starts
    virtual void StopTimer(int id) = 0;
    virtual void Wait(int ms) = 0;  // blocks the window thread

    // Message box with translatable texts (ids of the language tables); caption 0 is the default.
    virtual void ShowMessage(int textId, int captionId) = 0;
    // The source dialog; false when cancelled.
    virtual bool ChooseSource(SourceChoice& choice) = 0;
    // The snapshot save dialog; false when cancelled. The path keeps the chosen extension. The
    // dialog does not ask about overwriting: the files written are named after the path.
    virtual bool ChooseSnapshotPath(std::string& path) = 0;
    // Asks whether the existing file `path` may be replaced (text 141, caption 140).
    virtual bool ConfirmOverwrite(const std::string& path) = 0;
    // Message box whose text has its first "%s" replaced by `path`.
    virtual void ShowPathMessage(int textId, int captionId, const std::string& path) = 0;
    // The map page starts again empty: no route, driven path or marker.
    virtual void ResetMap() = 0;

protected:
    ~IPlaybackView() = default;
};

}  // namespace trivane
