#include "app/CQENDlg.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "app/CAboutDlg.h"
#include "app/CClipExportFlow.h"
#include "app/CFileCommands.h"
#include "app/CInstrumentAnimator.h"
#include "app/CKeyboardControl.h"
#include "app/CTimelineMarks.h"
#include "app/CMainMenu.h"
#include "app/ControlIds.h"
#include "app/CSettingsFile.h"
#include "app/GpxExport.h"
#include "map/IMapPane.h"
#include "app/UIStrings.h"
#include "app/WindowPlacement.h"
#include "config/StringTable.h"
#include "config/qt/CTeskConfigDlg.h"
#include "export/KmlExport.h"
#include "files/FileSystem.h"
#include "library/GForceEvents.h"
#include "library/IMapHost.h"
#include "library/MapScripts.h"
#include "library/qt/CFolderDialog.h"
#include "library/qt/CMediaOpenDialog.h"
#include "library/qt/CQenFileListCtrl.h"
#include "library/qt/CQenGroupListCtrl.h"
#include "library/qt/QtPathChooser.h"
#include "playback/IPlaybackChannel.h"
#include "playback/WindowMessages.h"
#include "widgets/ArtResources.h"
#include "widgets/CGSensorCtrl.h"
#include "widgets/CGdipButton.h"
#include "widgets/CMySliderControl.h"
#include "widgets/CPngCompassStatic.h"
#include "widgets/CPngStatic.h"
#include "widgets/CSpeedLabelStatic.h"
#include "widgets/CStatusBoardStatic.h"
#include "widgets/CTeskToolTipCtrl.h"
#include "widgets/CVideoSlider.h"
#include "widgets/CVideoStatic.h"
#include "widgets/CVideoStaticBg.h"
#include "widgets/OutlinedText.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

const QColor kBackground(5, 5, 5);
const QColor kMapPlaceholder(156, 192, 249);
const QColor kGrip(150, 150, 150);
constexpr int kGripSize = 20;
constexpr std::int64_t kKeySeekMs = 5000;  // Left and Right

QRect ToQRect(const LayoutRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

bool Contains(const LayoutRect& r, const QPoint& p)
{
    return !r.IsEmpty() && p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom;
}

// Controls hidden while one video fills the screen; the surface and panel of the other channel
// are added by the toggle.
constexpr int kFullScreenHidden[] = {IDC_PLAY,   IDC_SLOW,          IDC_FAST,      IDC_CONF,
                                     IDC_SNAP,   IDC_OPEN,          IDC_POSITION_SLIDER, IDC_VOLUME_SLIDER,
                                     IDC_MAXIMISE, IDC_MINIMISE,    IDC_ABOUT,     IDC_VOL,
                                     IDC_FILE_LIST, IDC_SPEED};

}  // namespace

CQENDlg::CQENDlg(CSettingsFile& settings, IPlaybackChannel& front, IPlaybackChannel& rear, Seams seams,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      settings_(settings),
      front_(front),
      rear_(rear),
      seams_(std::move(seams)),
      controller_(manager_, front, rear, *this)
{
    setObjectName(QStringLiteral("102"));
    setWindowTitle(Text(101));
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    mapProvider_ = settings_.ReadMapProvider();
    CreateControls();
    timeline_ = std::make_unique<CTimelineMarks>(manager_, controller_, *positionSlider_,
                                                 settings_.ReadGEventThreshold(kDefaultGEventThresholdG));
    fileCommands_ = std::make_unique<CFileCommands>(manager_, controller_, *this);
    keys_ = new CKeyboardControl(*this, [this](int id) { OnCommand(id); }, [this](int id) { return Text(id); });
    keys_->KeepSpaceFor(groupList_);
    menu_ = new CMainMenu(
        *this, [this](int id) { OnCommand(id); }, [this](int id) { return Text(id); }, [this] { return MenuState(); },
        keys_);
    CClipExportFlow::Hooks hooks;
    hooks.choosePath = [this](std::string& path) { return ChooseClipPath(path); };
    hooks.question = [this](const QString& text, const QString& caption) { return AskYesNo(text, caption); };
    hooks.message = [this](const QString& text, const QString& caption, bool warning) {
        ShowText(text, caption, warning);
    };
    hooks.text = [this](int id) { return Text(id); };
    if (seams_.exportClip) hooks.run = seams_.exportClip;
    clipExport_ = new CClipExportFlow(*this, std::move(hooks));
}

CQENDlg::~CQENDlg()
{
    Shutdown();
}

QString CQENDlg::Text(int id) const { return QString::fromStdString(GetUIString(settings_, id)); }

void CQENDlg::Register(QWidget* widget, int id)
{
    widget->setObjectName(QString::number(id));
    controls_[id] = widget;
}

QWidget* CQENDlg::Control(int id) const
{
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

CGdipButton* CQENDlg::AddButton(int id, std::uint16_t image, std::uint16_t alternate, QSize fixedSize, bool visible)
{
    auto* button = new CGdipButton(this);
    Register(button, id);
    if (image != 0) button->SetStandardImage(image);
    if (alternate != 0) button->SetAlternateImage(alternate);
    if (fixedSize.isValid()) button->resize(fixedSize);
    button->setVisible(visible);
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
    return button;
}

void CQENDlg::CreateControls()
{
    InitArtResources();
    const auto lookup = [this](int id) { return GetUIString(settings_, id); };

    // Panels first, so that the surfaces, slider and instruments stack above them.
    frontPanel_ = new CVideoStaticBg(this);
    Register(frontPanel_, IDC_FRONT_PANEL);
    rearPanel_ = new CVideoStaticBg(this);
    Register(rearPanel_, IDC_REAR_PANEL);

    // Video surfaces are native windows libVLC draws into; Qt never paints them, except the
    // front one's scan counter while a source is being read.
    for (CVideoStatic** surface : {&frontSurface_, &rearSurface_}) {
        *surface = new CVideoStatic(this);
        (*surface)->setAttribute(Qt::WA_NativeWindow);
        (*surface)->setAttribute(Qt::WA_NoSystemBackground);
        (*surface)->setUpdatesEnabled(false);
    }
    Register(frontSurface_, IDC_FRONT_SURFACE);
    Register(rearSurface_, IDC_REAR_SURFACE);

    positionSlider_ = new CVideoSlider(this);
    Register(positionSlider_, IDC_POSITION_SLIDER);
    volumeSlider_ = new CMySliderControl(this);
    Register(volumeSlider_, IDC_VOLUME_SLIDER);

    gsensor_ = new CGSensorCtrl(this);
    Register(gsensor_, IDC_GSENSOR);

    speed_ = new CSpeedLabelStatic(this);
    Register(speed_, IDC_SPEED);
    compass_ = new CPngCompassStatic(this);
    Register(compass_, IDC_COMPASS);
    gpsIndicator_ = new CPngStatic(this);
    Register(gpsIndicator_, IDC_GPS_INDICATOR);
    logo_ = new CPngStatic(this);
    Register(logo_, IDC_LOGO);
    auto* image1064 = new CPngStatic(this);
    Register(image1064, IDC_IMAGE_1064);
    image1064->setEnabled(false);
    image1064->hide();

    // Buttons (id, picture, second picture, size set now, visible at start).
    AddButton(IDC_OPEN, 139, 0, QSize(48, 36), true);
    AddButton(IDC_SNAP, 140, 0, QSize(48, 36), true);
    AddButton(IDC_SAVE, 141, 0, QSize(48, 36), false);
    AddButton(IDC_DEL, 142, 0, QSize(48, 36), false);
    AddButton(IDC_CONF, 138, 0, QSize(48, 36), false);
    AddButton(IDC_PLAY, 129, 132, QSize(), true);
    AddButton(IDC_STOP, 133, 0, QSize(48, 48), false);
    AddButton(IDC_FAST, 136, 0, QSize(), true);
    AddButton(IDC_SLOW, 137, 0, QSize(), true);
    AddButton(IDC_LOOP, 143, 176, QSize(48, 48), false);
    AddButton(IDC_FLIP, 0, 0, QSize(48, 48), false)->setEnabled(false);
    AddButton(IDC_KML, 145, 0, QSize(48, 48), false);
    AddButton(IDC_MAP, 146, 0, QSize(48, 48), false);
    AddButton(IDC_GSR, 147, 0, QSize(48, 48), false);
    AddButton(IDC_LOCK, 148, 0, QSize(48, 48), false);
    AddButton(IDC_MINIMISE, 153, 0, QSize(), true);
    AddButton(IDC_MAXIMISE, 152, 0, QSize(), true);
    AddButton(IDC_CLOSE, 151, 0, QSize(), true);
    AddButton(IDC_ABOUT, 154, 0, QSize(25, 25), false);
    AddButton(IDC_VOL, 156, 155, QSize(), true);
    AddButton(IDC_SMALL, 1045, 0, QSize(16, 16), false);
    AddButton(IDC_MEDIUM, 187, 0, QSize(16, 16), false);
    AddButton(IDC_L, 188, 0, QSize(), true);

    statusBoard_ = new CStatusBoardStatic(this);
    Register(statusBoard_, IDC_STATUS_BOARD);
    // Above the video surfaces, which are native: the board must be native too to be seen.
    statusBoard_->setAttribute(Qt::WA_NativeWindow);
    statusBoard_->hide();

    fileList_ = new CQenFileListCtrl(this, lookup);
    Register(fileList_, IDC_FILE_LIST);
    groupList_ = new CQenGroupListCtrl(this, lookup);
    Register(groupList_, IDC_GROUP_LIST);
    groupList_->hide();

    toolTips_ = new CTeskToolTipCtrl(this, lookup);

    speedLink_ = std::make_unique<SpeedReadoutLink>(*speed_);
    compassLink_ = std::make_unique<CompassLink>(*compass_);
    boardLink_ = std::make_unique<StatusBoardLink>(*statusBoard_);

    const std::pair<int, const char*> timers[] = {{IDT_SHIFT_TAP, "IDT_SHIFT_TAP"}, {IDT_MARQUEE, "IDT_MARQUEE"},
                                                  {IDT_SEEK, "IDT_SEEK"}, {IDT_AUTOSTART, "IDT_AUTOSTART"},
                                                  {IDT_OPEN_GUARD, "IDT_OPEN_GUARD"}};
    for (const auto& entry : timers) {
        const int id = entry.first;
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(entry.second));
        timer->setSingleShot(id == IDT_SHIFT_TAP || id == IDT_OPEN_GUARD);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
        timers_[id] = timer;
    }
}

void CQENDlg::Initialise()
{
    if (initialised_) return;
    initialised_ = true;
    setWindowIcon(QIcon(PngResourcePath(157)));

    mapEnabled_ = settings_.ReadMapEnabled();
    gsensorEnabled_ = settings_.ReadGSensorEnabled();
    if (!gsensorEnabled_) gsensor_->hide();

    // Channels: each draws into its surface and reports to the controller.
    struct Channel {
        IPlaybackChannel& channel;
        int index;
        IVlcEventSink& sink;
    };
    for (const Channel& c : {Channel{front_, kFrontChannel, controller_.FrontSink()},
                             Channel{rear_, kRearChannel, controller_.RearSink()}}) {
        if (!c.channel.IsLoaded()) {
            ShowMessage(133, 131);
            continue;
        }
        c.channel.SetWindow(SurfaceWindow(c.index));
        c.channel.AttachEvents(&c.sink);
        c.channel.SetRate(1.0f);
    }

    positionSlider_->SetRange(0, 1000, false);
    volumeSlider_->SetRange(0, 100, false);
    volumeSlider_->SetPos(50);
    // Both channels at the slider's volume (the rear's own default is twice as loud).
    controller_.ApplyVolume();

    gpsIndicator_->SetImage(150);
    gpsIndicator_->SetActive(0);
    logo_->SetImage(157);
    logo_->SetActive(1);
    logo_->setGeometry(8, 4, 40, 40);
    compass_->resize(32, 32);
    for (std::uint16_t id = 167; id <= 174; ++id) compass_->AddImage(id);
    compass_->SetImageIndex(0);
    frontPanel_->show();
    rearPanel_->show();
    speed_->ResetSpeed();

    PlaceFromSettings();
    Relayout();

    // The copy's progress: the patterned share on a light ground, the percentage in black over both.
    statusBoard_->SetPatternBitmapId(189);
    statusBoard_->SetRemainderColour(QColor(230, 230, 230));
    statusBoard_->SetTextColour(Qt::black);
    statusBoard_->SetProgress(0, Text(189));
    RegisterToolTips();

    fileList_->InitList();
    groupList_->InitList();

    if (seams_.makeMapPane) {
        map_ = seams_.makeMapPane(this);
        if (map_) {
            map_->View()->setVisible(false);
            map_->CreateBrowser(this);
        }
    }

    manager_.ClearCatalogue();
    manager_.SetFileList(fileList_);
    manager_.SetGroupList(groupList_);
    manager_.SetGSensorCurve(gsensor_);
    manager_.SetOwnerWindow(this);
    manager_.SetMapHost(map_ ? map_->ScriptHost() : nullptr);
    timeline_->SetMapHost(map_ ? map_->ScriptHost() : nullptr);
    speedRoute_ = settings_.ReadSpeedColouredRoute();
    // The host keeps it for every page it loads.
    if (speedRoute_ && map_ && map_->ScriptHost() != nullptr) map_->ScriptHost()->RunScript(RouteColouringScript(true));
    manager_.SetVideoSurface(this);
    manager_.SetFileOperationHost(fileCommands_.get());
    animator_ = std::make_unique<CInstrumentAnimator>(controller_, manager_, *this, *this, *positionSlider_, *gsensor_,
                                                      *speedLink_);

    ShowSurface(kFrontChannel, false);
    ShowSurface(kRearChannel, false);
    StartTimer(IDT_SEEK, kSeekPeriodMs);
    StartTimer(IDT_AUTOSTART, kAutoStartPeriodMs);

    // The session may end without a close (logout): the window rectangle is kept all the same.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CQENDlg::Shutdown);
}

void CQENDlg::RegisterToolTips()
{
    toolTips_->RemoveAllTools();
    for (const ToolTipText& t : kToolTipTexts) toolTips_->AddTool(Control(t.controlId), t.controlId, Text(t.stringId));
    std::vector<ToolTipIcon> icons;
    for (int id : kToolTipIconControls) icons.push_back({id, 0, kToolTipIconBitmap});
    toolTips_->SetIconList(std::move(icons));
}

void CQENDlg::PlaceFromSettings()
{
    std::vector<ScreenRect> screens;
    std::size_t primary = 0;
    const QList<QScreen*> all = QGuiApplication::screens();
    for (QScreen* s : all) {
        if (s == QGuiApplication::primaryScreen()) primary = screens.size();
        const QRect a = s->availableGeometry();
        screens.push_back({a.x(), a.y(), a.width(), a.height()});
    }
    const WindowGeometry g = PlaceWindowOnScreens(settings_.ReadWindowRect(), screens, primary);
    setGeometry(g.x, g.y, g.width, g.height);
    raise();
}

// ---- Layout ----

void CQENDlg::Relayout()
{
    if (cx_ <= 0 || cy_ <= 0) {
        cx_ = width();
        cy_ = height();
    }
    LayoutInput in;
    in.cx = cx_;
    in.cy = cy_;
    in.rightPaneWidth = rightPaneWidth_;
    in.mapPaneHeight = mapPaneHeight_;
    in.mapEnabled = mapEnabled_;
    in.gsensorEnabled = gsensorEnabled_;
    in.fullScreen = fullScreen_;
    in.fullScreenSurface = fullScreenSurface_;
    if (fullScreen_) {
        const QRect m = MonitorRect();
        const QPoint origin = mapFromGlobal(m.topLeft());
        in.monitorInClient = LayoutRect::FromSize(origin.x(), origin.y(), m.width(), m.height());
    }
    int frameWidth = 0;
    int frameHeight = 0;
    if (controller_.CurrentFrame(frameWidth, frameHeight)) {
        in.frameWidth = frameWidth;
        in.frameHeight = frameHeight;
    }
    in.previousMapSplitter = layout_.mapSplitter;
    layout_ = ComputeLayout(in);

    for (const Placement& p : layout_.placements)
        if (QWidget* w = Control(p.controlId)) w->setGeometry(ToQRect(p.rect));
    // The group list takes the file list's place when shown.
    if (const LayoutRect* list = layout_.Find(IDC_FILE_LIST)) groupList_->setGeometry(ToQRect(*list));
    if (map_) {
        // With the pane off the view is hidden rather than left over the file list.
        map_->View()->setVisible(layout_.mapShown && mapHostReady_);
        if (layout_.mapShown && mapHostReady_) map_->SetBounds(ToQRect(layout_.map));
    }
    statusBoard_->raise();
    update();
}

QRegion CQENDlg::Outline() const
{
    const QRectF all(0, 0, width(), height());
    if (fullScreen_) return QRegion(all.toRect());
    QPainterPath outline;
    outline.addRoundedRect(all, 5, 5);
    QPainterPath corner;
    corner.addRect(0, 0, 30, 30);
    QPainterPath round;
    round.addEllipse(0, 0, 60, 60);
    outline = outline.subtracted(corner.subtracted(round));
    return QRegion(outline.toFillPolygon().toPolygon());
}

void CQENDlg::ApplyOutline() { setMask(Outline()); }

void CQENDlg::FitSurfaces() { Relayout(); }

void CQENDlg::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (width() <= 0 || height() <= 0) return;
    cx_ = width();
    cy_ = height();
    ApplyOutline();
    Relayout();
}

void CQENDlg::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || isMinimized() || !restoreAfterMinimise_) return;
    restoreAfterMinimise_ = false;
    // Back from minimise: only the surfaces the controller has shown come back.
    ShowSurface(kFrontChannel, !controller_.FrontSurfaceHidden());
    ShowSurface(kRearChannel, !controller_.RearSurfaceHidden());
}

void CQENDlg::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    if (layout_.mapShown && !mapHostReady_) p.fillRect(ToQRect(layout_.map), kMapPlaceholder);
    p.setPen(kGrip);
    const int right = width() - 1;
    const int bottom = height() - 1;
    for (int d : {25, 20, 15, 10}) p.drawLine(right - d, bottom, right, bottom - d);
    if (!fullScreen_) {
        p.translate(logo_->geometry().right() + 4, 0);
        // Stroking the title is costly; repaints behind children elsewhere in the band skip it.
        const QString title = Text(101);
        if (event->region().intersects(p.transform().mapRect(OutlinedTextBounds(title, TitleStyle, 8, 4, 24))))
            DrawOutlinedText(p, title, TitleStyle, 8, 4, 24);
    }
}

// ---- Window modes ----

QRect CQENDlg::MonitorRect() const
{
    QScreen* s = QGuiApplication::screenAt(geometry().center());
    if (s == nullptr) s = screen();
    return s != nullptr ? s->geometry() : QRect(0, 0, cx_, cy_);
}

void CQENDlg::ToggleMaximise()
{
    if (maximized_) {
        setGeometry(restoreRect_);
        maximized_ = false;
    } else {
        restoreRect_ = geometry();
        setGeometry(MonitorRect());
        maximized_ = true;
    }
    show();
}

void CQENDlg::SetSizeOnMonitor(bool medium)
{
    const QRect m = MonitorRect();
    const ScreenRect monitor{m.x(), m.y(), m.width(), m.height()};
    const ScreenRect r = medium ? MediumWindowRect(monitor) : SmallWindowRect(monitor);
    setGeometry(r.x, r.y, r.width, r.height);
    maximized_ = false;
}

void CQENDlg::ShowFullScreenControls(bool shown)
{
    for (int id : kFullScreenHidden)
        if (QWidget* w = Control(id)) w->setVisible(shown);
    ShowLists(shown);
    gsensor_->setVisible(shown && gsensorEnabled_);
    const bool front = fullScreenSurface_ != 2;
    (front ? rearPanel_ : frontPanel_)->setVisible(shown);
    if (shown) {
        ShowSurface(kFrontChannel, !controller_.FrontSurfaceHidden());
        ShowSurface(kRearChannel, !controller_.RearSurfaceHidden());
    } else {
        ShowSurface(front ? kRearChannel : kFrontChannel, false);
    }
}

void CQENDlg::ToggleFullScreen()
{
    // Channels playing now are paused across the change and resumed after it.
    const bool frontRunning = front_.IsLoaded() && front_.Playing() != 0;
    const bool rearRunning = rear_.IsLoaded() && rear_.Playing() != 0;
    const QPoint cursor = QCursor::pos();
    if (frontSurface_->isVisible() && frontSurface_->rect().contains(frontSurface_->mapFromGlobal(cursor)))
        fullScreenSurface_ = 1;
    else if (rearSurface_->isVisible() && rearSurface_->rect().contains(rearSurface_->mapFromGlobal(cursor)))
        fullScreenSurface_ = 2;
    if (manager_.Entries().empty()) return;
    if (frontRunning) front_.SetPause(true);
    if (rearRunning) rear_.SetPause(true);

    if (!fullScreen_) {
        restoreRect_ = geometry();
        fullScreen_ = true;
        maximized_ = false;
        ShowFullScreenControls(false);
        QRect m = MonitorRect();
        if (width() == m.width() || height() == m.height()) m.setHeight(m.height() - 1);
        setGeometry(m);
        if (QWidget* play = Control(IDC_PLAY)) play->setFocus();
        StartTimer(IDT_SHIFT_TAP, kShiftTapPeriodMs);
    } else {
        fullScreen_ = false;
        setGeometry(restoreRect_);
        ShowFullScreenControls(true);
    }
    ApplyOutline();
    Relayout();

    if (frontRunning) front_.Play();
    if (rearRunning) rear_.Play();
}

void CQENDlg::ToggleMapPane()
{
    if (fullScreen_) return;
    mapEnabled_ = !mapEnabled_;
    Relayout();
    settings_.WriteMapEnabled(mapEnabled_);
}

void CQENDlg::ShowLists(bool controlsShown)
{
    fileList_->setVisible(controlsShown && !groupsShown_);
    groupList_->setVisible(controlsShown && groupsShown_);
}

void CQENDlg::ToggleGroups()
{
    if (fullScreen_) return;
    groupsShown_ = !groupsShown_;
    ShowLists(true);
    Relayout();
}

void CQENDlg::ToggleSpeedRoute()
{
    speedRoute_ = !speedRoute_;
    settings_.WriteSpeedColouredRoute(speedRoute_);
    if (map_ && map_->ScriptHost() != nullptr) map_->ScriptHost()->RunScript(RouteColouringScript(speedRoute_));
}

void CQENDlg::ToggleGSensorPane()
{
    gsensorEnabled_ = !gsensorEnabled_;
    gsensor_->setVisible(gsensorEnabled_);
    Relayout();
    settings_.WriteGSensorEnabled(gsensorEnabled_);
}

// ---- Commands ----

void CQENDlg::OnCommand(int id)
{
    // A copy handles events while it runs: nothing else starts meanwhile.
    if (fileCommands_->Busy()) return;
    switch (id) {
    case IDC_OPEN: controller_.Open(); break;
    case IDC_SNAP: controller_.Snapshot(); break;
    case IDC_PLAY: controller_.PlayPause(); break;
    case IDC_STOP: controller_.Stop(); break;
    case IDC_FAST: controller_.Faster(); break;
    case IDC_SLOW: controller_.Slower(); break;
    case IDC_LOOP: controller_.ToggleAutoPlayNext(); break;
    case IDC_VOL: {
        auto* vol = static_cast<CGdipButton*>(Control(IDC_VOL));
        controller_.SetMute(vol->AlternateShown());
        break;
    }
    case IDM_MUTE: {
        // As a click on the Vol button: its picture shows the state.
        auto* vol = static_cast<CGdipButton*>(Control(IDC_VOL));
        vol->SetAlternateShown(!vol->AlternateShown());
        controller_.SetMute(vol->AlternateShown());
        break;
    }
    case IDM_SEEK_BACK: controller_.SeekBy(-kKeySeekMs); break;
    case IDM_SEEK_FORWARD: controller_.SeekBy(kKeySeekMs); break;
    case IDM_FRAME_BACK: controller_.StepFrame(false); break;
    case IDM_FRAME_FORWARD: controller_.StepFrame(true); break;
    case IDM_NEXT_EVENT: timeline_->JumpToEvent(true); break;
    case IDM_PREVIOUS_EVENT: timeline_->JumpToEvent(false); break;
    case IDM_MARK_IN: timeline_->Mark(true); break;
    case IDM_MARK_OUT: timeline_->Mark(false); break;
    case IDM_EXPORT_CLIP: ExportClip(); break;
    case IDM_SPEED_ROUTE: ToggleSpeedRoute(); break;
    case IDM_FULL_SCREEN: ToggleFullScreen(); break;
    case IDM_LEAVE_FULL_SCREEN:
        if (fullScreen_) ToggleFullScreen();
        break;
    case IDC_SAVE: fileCommands_->SaveAs(); break;
    case IDC_DEL: fileCommands_->Delete(); break;
    case IDC_LOCK: fileCommands_->Unlock(); break;
    case IDC_KML: ExportKml(); break;
    case IDM_GPX: ExportGpx(); break;
    case IDM_GROUPS: ToggleGroups(); break;
    case IDC_CONF:
    case IDC_L: RunConfiguration(); break;
    case IDC_MAP: ToggleMapPane(); break;
    case IDC_GSR: ToggleGSensorPane(); break;
    case IDC_MINIMISE:
        restoreAfterMinimise_ = true;
        showMinimized();
        break;
    case IDC_MAXIMISE: ToggleMaximise(); break;
    case IDC_CLOSE: close(); break;
    case IDC_ABOUT: ShowAbout(); break;
    case IDC_SMALL: SetSizeOnMonitor(false); break;
    case IDC_MEDIUM: SetSizeOnMonitor(true); break;
    default: break;
    }
    menu_->Refresh();
}

MainMenuState CQENDlg::MenuState() const
{
    MainMenuState state;
    state.catalogueEmpty = manager_.Entries().empty();
    state.fullScreen = fullScreen_;
    state.mapShown = mapEnabled_;
    state.gsensorShown = gsensorEnabled_;
    state.autoPlayNext = controller_.AutoPlayNext();
    state.groupsShown = groupsShown_;
    state.clipMarked = timeline_->Request().has_value();
    state.speedRoute = speedRoute_;
    return state;
}

void CQENDlg::ExportKml()
{
    if (manager_.Entries().empty()) {
        ShowMessage(136, 145);
        return;
    }
    const KmlFolderResult folder = GetKmlFolder();
    const KmlExportResult result = folder.ok ? trivane::ExportKml(manager_, folder.folder) : KmlExportResult{};
    const std::string shown = result.ok ? result.path : folder.folder;
    const int text = result.ok ? 125 : 126;
    ShowPathMessage(text, 127, shown);
}

// The route is written where the KML export writes, and reported the same way.
void CQENDlg::ExportGpx()
{
    if (manager_.Entries().empty()) {
        ShowMessage(136, 145);
        return;
    }
    const KmlFolderResult folder = GetKmlFolder();
    const GpxExportResult result = folder.ok ? trivane::ExportGpx(manager_, folder.folder) : GpxExportResult{};
    ShowPathMessage(result.ok ? 149 : 150, 151, result.ok ? result.path : folder.folder);
}

void CQENDlg::RunConfiguration()
{
    int provider = mapProvider_;
    bool accepted = false;
    if (seams_.runConfiguration) {
        accepted = seams_.runConfiguration(this, provider);
    } else {
        CTeskConfigDlg dialog(settings_, this);
        accepted = dialog.exec() == QDialog::Accepted;
        if (accepted) provider = dialog.AppliedMap();
    }
    if (accepted) ShowMapProvider(provider);
}

// Asking the host for the page it shows would reload it for nothing.
void CQENDlg::ShowMapProvider(int provider)
{
    mapProvider_ = provider;
    if (!map_ || !mapHostReady_ || provider == shownMapProvider_) return;
    map_->ShowMap(provider);
    shownMapProvider_ = provider;
}

void CQENDlg::ShowAbout()
{
    auto* about = new CAboutDlg(Text(101), windowIcon(), this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    const QRect screenRect = screen() != nullptr ? screen()->geometry() : QRect(0, 0, 1024, 768);
    about->setGeometry(screenRect.x() + screenRect.width() - 500, screenRect.y() + screenRect.height() / 2 - 100, 500, 200);
    about->open();
}

void CQENDlg::OpenPath(const std::string& path)
{
    if (path.empty() || !PathExists(path)) {
        ShowPathMessage(146, 131, path);
        return;
    }
    SourceChoice choice;
    choice.kind = IsDirectory(path) ? SourceKind::Folder : SourceKind::File;
    choice.path = path;
    controller_.OpenSource(choice);
    menu_->Refresh();
}

// ---- Messages and timers ----

bool CQENDlg::event(QEvent* event)
{
    if (event->type() >= QEvent::User) {
        if (const auto* message = dynamic_cast<const CWindowMessageEvent*>(event)) {
            HandleWindowMessage(*message);
            return true;
        }
    }
    return QWidget::event(event);
}

void CQENDlg::HandleWindowMessage(const CWindowMessageEvent& m)
{
    if (shutDown_) return;
    const int message = m.Message();
    // What a list's double-click, the slider or the full-screen toggle asks for waits until a
    // file command has ended; the player's own events are stale then (its channels are stopped).
    if (fileCommands_->Busy() && (message == WM_PLAY_FILE || message == WM_PLAY_GROUP ||
                                  message == WM_TOGGLE_FULLSCREEN || message == WM_SEEK_TO_SLIDER))
        return;
    switch (message) {
    case WM_LANGUAGE_CHANGED: OnLanguageChanged(); return;
    case WM_TOGGLE_FULLSCREEN:
        ToggleFullScreen();
        menu_->Refresh();
        return;
    case WM_SHOW_CONTROLS: ShowFullScreenControls(true); return;
    case WM_MAP_PROVIDER_CHANGED:
        // The dialog's choice as it posted it: the settings file may not have kept it.
        ShowMapProvider(m.WParam() == 1 ? 1 : 0);
        return;
    case WM_MAP_HOST_READY: OnMapHostReady(); return;
    case WM_UNUSED_C03:
    case WM_UNUSED_C0E: return;
    case WM_SEEK_TO_SLIDER:
        // The slider only says that it moved; the position is read here.
        controller_.HandleMessage(WM_SEEK_TO_SLIDER, static_cast<std::uintptr_t>(positionSlider_->GetPos()), 0);
        return;
    default: controller_.HandleMessage(m.Message(), m.WParam(), m.LParam()); return;
    }
}

void CQENDlg::OnLanguageChanged()
{
    fileList_->RefreshColumnTitles();
    groupList_->RefreshColumnTitles();
    RegisterToolTips();
    setWindowTitle(Text(101));
    menu_->Retitle();
    update();
}

void CQENDlg::OnMapHostReady()
{
    mapHostReady_ = true;
    shownMapProvider_ = -1;
    ShowMapProvider(mapProvider_);
    Relayout();
}

void CQENDlg::OnTimer(int id)
{
    if (shutDown_ || fileCommands_->Busy()) return;
    // A synthetic Shift press would reach other programs on X11: the timer only runs out.
    if (id == IDT_SHIFT_TAP) return;
    controller_.OnTimer(id);
}

void CQENDlg::StartTimer(int id, int periodMs)
{
    if (const auto it = timers_.find(id); it != timers_.end() && !shutDown_) it->second->start(periodMs);
}

void CQENDlg::StopTimer(int id)
{
    if (const auto it = timers_.find(id); it != timers_.end()) it->second->stop();
}

bool CQENDlg::TimerActive(int id) const
{
    const auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

void CQENDlg::Wait(int ms) { QThread::msleep(static_cast<unsigned long>(std::max(ms, 0))); }

// ---- The controller's view ----

void CQENDlg::PostMessage(int message, std::uintptr_t wParam, std::intptr_t lParam)
{
    PostWindowMessage(this, message, wParam, lParam);
}

void CQENDlg::ShowSurface(int channel, bool shown)
{
    CVideoStatic* surface = channel == kFrontChannel ? frontSurface_ : rearSurface_;
    surface->setVisible(shown);
    if (shown) statusBoard_->raise();
}

std::uint32_t CQENDlg::SurfaceWindow(int channel)
{
    CVideoStatic* surface = channel == kFrontChannel ? frontSurface_ : rearSurface_;
    return static_cast<std::uint32_t>(surface->VideoWindow());
}

void CQENDlg::SetScanBusy(bool busy)
{
    // A new catalogue: marks would name other entries.
    if (busy) timeline_->Reset();
    // The counter is the one thing Qt paints on a video surface.
    frontSurface_->setUpdatesEnabled(busy);
    frontSurface_->SetCounterVisible(busy);
    if (busy) {
        frontSurface_->show();
        frontSurface_->repaint();
    } else {
        frontSurface_->setVisible(!controller_.FrontSurfaceHidden());
    }
}

void CQENDlg::SetCounter(int filesExamined) { frontSurface_->SetCounter(filesExamined); }

void CQENDlg::SetPlayButtonState(int state)
{
    auto* play = static_cast<CGdipButton*>(Control(IDC_PLAY));
    play->SetAlternateShown(state != 0);
    play->SetGrey(false);
    play->repaint();
}

void CQENDlg::SetPositionSlider(int position)
{
    positionSlider_->SetPos(position);
    timeline_->Refresh();
}

const ClipMarks& CQENDlg::Marks() const { return timeline_->Marks(); }

void CQENDlg::ExportClip()
{
    const std::optional<ClipRequest> request = timeline_->Request();
    if (request) clipExport_->Start(*request);
}

bool CQENDlg::ChooseClipPath(std::string& path)
{
    if (seams_.chooseClipPath) return seams_.chooseClipPath(this, path);
    QFileDialog dialog(this, Text(CClipExportFlow::kTextExport));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("MP4 (*.mp4)")});
    dialog.setDefaultSuffix(QStringLiteral("mp4"));
    // The export asks about the clip and its GPX file together.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return !path.empty();
}

int CQENDlg::VolumeSliderPosition() const { return volumeSlider_->GetPos(); }

// Set on every time event; the picture changes only with the value, and a repaint of this
// see-through control repaints the window behind it.
void CQENDlg::SetGpsIndicator(int value)
{
    if (value == gpsIndicator_->Active()) return;
    gpsIndicator_->SetActive(value);
    gpsIndicator_->repaint();
}

void CQENDlg::SetGSensorStopped(bool stopped, bool resetPosition)
{
    if (resetPosition) gsensor_->SetPosition(0);
    gsensor_->SetStopped(stopped);
    gsensor_->repaint();
}

void CQENDlg::ShowText(const QString& text, const QString& caption, bool warning)
{
    if (seams_.messageBox) {
        seams_.messageBox(text, caption);
        return;
    }
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, caption, text, QMessageBox::Ok, this);
    box.exec();
}

void CQENDlg::ShowMessage(int textId, int captionId)
{
    // The player error is worded in the desktop's language, whichever language was chosen.
    const QString text = textId == CPlaybackController::kTextPlayerError
                             ? QString::fromStdString(GetSystemUIString(textId))
                             : Text(textId);
    ShowText(text, captionId != 0 ? Text(captionId) : Text(101));
}

bool CQENDlg::ChooseSource(SourceChoice& choice)
{
    if (seams_.chooseSource) return seams_.chooseSource(this, choice);
    QtPathChooser chooser;
    CMediaOpenDialog dialog(this, settings_, [this](int id) { return GetUIString(settings_, id); }, chooser);
    if (dialog.exec() != QDialog::Accepted) return false;
    return dialog.Result(choice);
}

bool CQENDlg::ChooseSnapshotPath(std::string& path)
{
    if (seams_.chooseSnapshotPath) return seams_.chooseSnapshotPath(this, path);
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Jpeg File(*.jpg)"), QStringLiteral("Png File(*.png)")});
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    // The files written are NAME_f and NAME_r: the controller asks about those.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    return !path.empty();
}

bool CQENDlg::ConfirmOverwrite(const std::string& path)
{
    return AskYesNo(QString::fromStdString(FormatUIText(GetUIString(settings_, 141), path)), Text(140));
}

bool CQENDlg::AskYesNo(const QString& text, const QString& caption)
{
    if (seams_.question) return seams_.question(text, caption);
    return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void CQENDlg::ShowPathMessage(int textId, int captionId, const std::string& path)
{
    ShowText(QString::fromStdString(FormatUIText(GetUIString(settings_, textId), path)),
             captionId != 0 ? Text(captionId) : Text(101));
}

std::string CQENDlg::UIText(int id) { return GetUIString(settings_, id); }

void CQENDlg::ShowWarningText(const std::string& text, int captionId)
{
    ShowText(QString::fromStdString(text), Text(captionId), true);
}

bool CQENDlg::AskOkCancel(const std::string& text, int captionId)
{
    const QString shown = QString::fromStdString(text);
    if (seams_.okCancel) return seams_.okCancel(shown, Text(captionId));
    QMessageBox box(QMessageBox::Question, Text(captionId), shown, QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

int CQENDlg::ChooseFolder(int titleId, std::string& path)
{
    QtPathChooser dialogs;
    IPathChooser& chooser = seams_.pathChooser != nullptr ? *seams_.pathChooser : dialogs;
    CFolderDialog dialog(Text(titleId), std::string(), this, chooser);
    const int result = dialog.DoModal();
    if (result == CFolderDialog::kOk) path = dialog.Path();
    return result;
}

void CQENDlg::ProcessEventsExceptInput() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void CQENDlg::ResetMap()
{
    if (map_ && mapHostReady_) map_->ResetPage();
}

// ---- Shutdown ----

void CQENDlg::WriteWindowPosition()
{
    const QRect g = geometry();
    settings_.WriteWindowRect({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
}

void CQENDlg::Shutdown()
{
    if (shutDown_) return;
    shutDown_ = true;
    // Both channels stop and let go of their sinks before the window can go away.
    controller_.Shutdown();
    for (auto& [id, timer] : timers_) timer->stop();
    if (initialised_) WriteWindowPosition();
}

void CQENDlg::closeEvent(QCloseEvent* event)
{
    // Not in the middle of a copy: the window goes once it has ended.
    if (fileCommands_->Busy()) {
        event->ignore();
        return;
    }
    Shutdown();
    event->accept();
}

// ---- Keyboard and mouse ----

void CQENDlg::keyPressEvent(QKeyEvent* event)
{
    // Escape never closes or cancels anything.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

CQENDlg::Drag CQENDlg::HitTest(const QPoint& p) const
{
    if (p.x() >= cx_ - kGripSize && p.y() >= cy_ - kGripSize && p.x() < cx_ && p.y() < cy_) return Drag::Grip;
    if (Contains(layout_.mapSplitter, p)) return Drag::MapSplitter;
    if (Contains(layout_.verticalSplitter, p)) return Drag::PaneSplitter;
    return Drag::Idle;
}

void CQENDlg::SetDragCursor(Drag drag)
{
    switch (drag) {
    case Drag::Grip: setCursor(Qt::SizeFDiagCursor); break;
    case Drag::MapSplitter: setCursor(Qt::SizeVerCursor); break;
    case Drag::PaneSplitter: setCursor(Qt::SizeHorCursor); break;
    default: unsetCursor(); break;
    }
}

void CQENDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    drag_ = HitTest(p);
    if (drag_ == Drag::Grip && (maximized_ || fullScreen_)) drag_ = Drag::Idle;
    if (drag_ != Drag::Idle) {
        grabMouse();
        return;
    }
    if (maximized_ || fullScreen_) return;
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
    // No window manager to move us: follow the pointer ourselves.
    drag_ = Drag::Move;
    dragOrigin_ = event->globalPosition().toPoint();
    dragWindowOrigin_ = pos();
    grabMouse();
}

void CQENDlg::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    switch (drag_) {
    case Drag::Grip:
        resize(std::max(p.x(), kMinWindowWidth), std::max(p.y(), kMinWindowHeight));
        SetDragCursor(Drag::Grip);
        break;
    case Drag::MapSplitter:
        SetDragCursor(Drag::MapSplitter);
        if (DragMapSplitter(p.y(), mapPaneHeight_)) Relayout();
        break;
    case Drag::PaneSplitter:
        if (DragPaneSplitter(p.x(), cx_, rightPaneWidth_)) {
            SetDragCursor(Drag::PaneSplitter);
            Relayout();
        }
        break;
    case Drag::Move: move(dragWindowOrigin_ + event->globalPosition().toPoint() - dragOrigin_); break;
    case Drag::Idle: SetDragCursor(HitTest(p)); break;
    }
}

void CQENDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    if (drag_ == Drag::Grip) resize(std::max(p.x(), kMinWindowWidth), std::max(p.y(), kMinWindowHeight));
    else if (drag_ == Drag::MapSplitter || drag_ == Drag::PaneSplitter) Relayout();
    if (drag_ != Drag::Idle) releaseMouse();
    drag_ = Drag::Idle;
}

void CQENDlg::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

// Right clicks on the background and on children that leave the event to their parent (the video
// surfaces, the G-sensor curve, the lists).
void CQENDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (shutDown_) return;
    menu_->Popup(event->globalPos());
    event->accept();
}

}  // namespace trivane
