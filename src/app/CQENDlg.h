#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/CMainMenu.h"
#include "app/ClipMarks.h"
#include "app/IFileCommandView.h"
#include "app/InstrumentLinks.h"
#include "app/MainLayout.h"
#include "export/ClipExport.h"
#include "library/CRecordingManager.h"
#include "library/IOwnerWindow.h"
#include "library/IVideoSurface.h"
#include "playback/CPlaybackController.h"
#include "playback/IPlaybackView.h"

class QTimer;

namespace trivane {

class CClipExportFlow;
class CFileCommands;
class CGSensorCtrl;
class CGdipButton;
class CInstrumentAnimator;
class CKeyboardControl;
class CMainMenu;
class CMySliderControl;
class CPngCompassStatic;
class CPngStatic;
class CQenFileListCtrl;
class CQenGroupListCtrl;
class CSettingsFile;
class CSpeedLabelStatic;
class CTimelineMarks;
class CStatusBoardStatic;
class CTeskToolTipCtrl;
class CVideoSlider;
class CVideoStatic;
class CVideoStaticBg;
class CWindowMessageEvent;
class IMapPane;
class IPathChooser;
class IPlaybackChannel;

// The main window: a frameless top-level window that assembles the lists, instruments, sliders,
// buttons, the two video surfaces and the map pane, lays them out and routes commands, messages
// and timers to the playback controller, which does the playing, and to the file commands. A
// context menu with shortcuts reaches the commands the layout has no button for.
class CQENDlg final : public QWidget,
                      public IOwnerWindow,
                      public IPlaybackView,
                      public IVideoSurface,
                      public IFileCommandView {
    Q_OBJECT

public:
    // Replaceable interactions, so tests drive the window without modal dialogs.
    struct Seams {
        std::function<bool(QWidget* parent, SourceChoice& choice)> chooseSource;
        std::function<bool(QWidget* parent, std::string& path)> chooseSnapshotPath;
        std::function<void(const QString& text, const QString& caption)> messageBox;
        // A yes/no question; true for yes.
        std::function<bool(const QString& text, const QString& caption)> question;
        std::function<std::unique_ptr<IMapPane>(QWidget* parent)> makeMapPane;
        // The configuration dialog; true on OK, with the map choice it applied.
        std::function<bool(QWidget* parent, int& mapProvider)> runConfiguration;
        // An OK / Cancel question; true for OK.
        std::function<bool(const QString& text, const QString& caption)> okCancel;
        // Behind the folder dialog of Save as.
        std::shared_ptr<IPathChooser> pathChooser;
        // The clip's file; true with a path.
        std::function<bool(QWidget* parent, std::string& path)> chooseClipPath;
        // In place of the clip export (RunClipExport), on the export's worker thread.
        std::function<ClipResult(const ClipRequest&, const ClipProgressFn&, const std::atomic<bool>&)> exportClip;
    };

    CQENDlg(CSettingsFile& settings, IPlaybackChannel& front, IPlaybackChannel& rear, Seams seams = {},
            QWidget* parent = nullptr);
    ~CQENDlg() override;

    // What the window sets up before the user can touch it; call once before show().
    void Initialise();
    // Opens a folder or one file as the source dialog would; a missing path is reported.
    void OpenPath(const std::string& path);
    // Stops both channels and the timers and writes WINPOS (once); the close handler calls it.
    void Shutdown();

    // A control by id (also its object name), or nullptr.
    QWidget* Control(int id) const;
    const MainLayout& CurrentLayout() const { return layout_; }
    CRecordingManager& Manager() { return manager_; }
    CPlaybackController& Controller() { return controller_; }
    bool IsMaximized() const { return maximized_; }
    bool IsFullScreenVideo() const { return fullScreen_; }
    bool MapEnabledFlag() const { return mapEnabled_; }
    bool GSensorEnabledFlag() const { return gsensorEnabled_; }
    bool SpeedRouteFlag() const { return speedRoute_; }
    bool MapHostReady() const { return mapHostReady_; }
    bool GroupsShown() const { return groupsShown_; }
    CMainMenu& Menu() { return *menu_; }
    CFileCommands& FileCommands() { return *fileCommands_; }
    CClipExportFlow& ClipExport() { return *clipExport_; }
    const ClipMarks& Marks() const;
    const QRect& RestoreRect() const { return restoreRect_; }
    QRegion Outline() const;

    // Window commands, as the buttons run them.
    void OnCommand(int id);

    // IOwnerWindow
    ISpeedReadout* SpeedReadout() override { return speedLink_.get(); }
    ICompass* Compass() override { return compassLink_.get(); }
    IStatusBoard* StatusBoard() override { return boardLink_.get(); }

    // IVideoSurface (the scan counter on the front surface)
    void SetCounter(int filesExamined) override;

    // IPlaybackView
    void PostMessage(int message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void ShowSurface(int channel, bool shown) override;
    std::uint32_t SurfaceWindow(int channel) override;
    void FitSurfaces() override;
    void SetScanBusy(bool busy) override;
    void SetPlayButtonState(int state) override;
    void SetPositionSlider(int position) override;
    int VolumeSliderPosition() const override;
    void SetGpsIndicator(int value) override;
    void SetGSensorStopped(bool stopped, bool resetPosition) override;
    bool GSensorEnabled() const override { return gsensorEnabled_; }
    bool MapEnabled() const override { return mapEnabled_; }
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;
    void Wait(int ms) override;
    void ShowMessage(int textId, int captionId) override;
    bool ChooseSource(SourceChoice& choice) override;
    bool ChooseSnapshotPath(std::string& path) override;
    bool ConfirmOverwrite(const std::string& path) override;
    void ShowPathMessage(int textId, int captionId, const std::string& path) override;
    void ResetMap() override;

    // IFileCommandView
    std::string UIText(int id) override;
    void ShowWarningText(const std::string& text, int captionId) override;
    bool AskOkCancel(const std::string& text, int captionId) override;
    int ChooseFolder(int titleId, std::string& path) override;
    void ProcessEventsExceptInput() override;

    bool TimerActive(int id) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class Drag { Idle, Grip, MapSplitter, PaneSplitter, Move };

    void CreateControls();
    CGdipButton* AddButton(int id, std::uint16_t image, std::uint16_t alternate, QSize fixedSize, bool visible);
    void Register(QWidget* widget, int id);
    void RegisterToolTips();
    void PlaceFromSettings();
    void Relayout();
    void ApplyOutline();
    void HandleWindowMessage(const CWindowMessageEvent& message);
    void OnTimer(int id);
    void OnLanguageChanged();
    void OnMapHostReady();
    void ToggleMaximise();
    void SetSizeOnMonitor(bool medium);
    void ToggleFullScreen();
    void ShowFullScreenControls(bool shown);
    void ShowAbout();
    void ToggleMapPane();
    void ToggleGSensorPane();
    void ToggleSpeedRoute();
    void ExportKml();
    void ExportGpx();
    void ExportClip();
    bool ChooseClipPath(std::string& path);
    bool AskYesNo(const QString& text, const QString& caption);
    void ToggleGroups();
    void ShowLists(bool controlsShown);
    void ShowMapProvider(int provider);
    MainMenuState MenuState() const;
    void RunConfiguration();
    void WriteWindowPosition();
    QRect MonitorRect() const;
    void ShowText(const QString& text, const QString& caption, bool warning = false);
    QString Text(int id) const;
    Drag HitTest(const QPoint& client) const;
    void SetDragCursor(Drag drag);

    CSettingsFile& settings_;
    IPlaybackChannel& front_;
    IPlaybackChannel& rear_;
    Seams seams_;
    CRecordingManager manager_;
    CPlaybackController controller_;

    std::map<int, QWidget*> controls_;
    std::map<int, QTimer*> timers_;
    CVideoStatic* frontSurface_ = nullptr;
    CVideoStatic* rearSurface_ = nullptr;
    CVideoStaticBg* frontPanel_ = nullptr;
    CVideoStaticBg* rearPanel_ = nullptr;
    CVideoSlider* positionSlider_ = nullptr;
    CMySliderControl* volumeSlider_ = nullptr;
    CGSensorCtrl* gsensor_ = nullptr;
    CSpeedLabelStatic* speed_ = nullptr;
    CPngCompassStatic* compass_ = nullptr;
    CPngStatic* gpsIndicator_ = nullptr;
    CPngStatic* logo_ = nullptr;
    CStatusBoardStatic* statusBoard_ = nullptr;
    CQenFileListCtrl* fileList_ = nullptr;
    CQenGroupListCtrl* groupList_ = nullptr;
    CTeskToolTipCtrl* toolTips_ = nullptr;
    std::unique_ptr<IMapPane> map_;
    std::unique_ptr<SpeedReadoutLink> speedLink_;
    std::unique_ptr<CompassLink> compassLink_;
    std::unique_ptr<StatusBoardLink> boardLink_;
    std::unique_ptr<CFileCommands> fileCommands_;
    CMainMenu* menu_ = nullptr;
    CKeyboardControl* keys_ = nullptr;
    std::unique_ptr<CTimelineMarks> timeline_;
    bool speedRoute_ = false;  // the map's route coloured by speed
    CClipExportFlow* clipExport_ = nullptr;
    // Declared after the controller: it leaves the controller's clock as it goes.
    std::unique_ptr<CInstrumentAnimator> animator_;

    // Layout state.
    int cx_ = 0;
    int cy_ = 0;
    int rightPaneWidth_ = 240;
    int mapPaneHeight_ = 240;
    bool mapEnabled_ = true;
    bool gsensorEnabled_ = true;
    int mapProvider_ = 0;
    int shownMapProvider_ = -1;  // the page the map host was last asked for
    bool groupsShown_ = false;   // the group list in place of the file list
    bool mapHostReady_ = false;
    bool maximized_ = false;
    bool fullScreen_ = false;
    int fullScreenSurface_ = 1;
    QRect restoreRect_;
    bool restoreAfterMinimise_ = false;
    MainLayout layout_;

    Drag drag_ = Drag::Idle;
    QPoint dragOrigin_;       // global position where a fallback move started
    QPoint dragWindowOrigin_;  // window position at that moment

    bool initialised_ = false;
    bool shutDown_ = false;
};

}  // namespace trivane
