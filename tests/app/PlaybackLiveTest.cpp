// The real window with the real libVLC channels on the sample card. Checks read media time (the
// channels' clocks, the slider) rather than the wall clock wherever they can; pictures are read
// back from the X server.
#include "app/CQENDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <unistd.h>
#include <vector>

#include "FileText.h"
#include "LiveTestSupport.h"
#include "PlaybackLiveChannels.h"
#include "TempDir.h"
#include "app/CSettingsFile.h"
#include "app/ControlIds.h"
#include "map/IMapPane.h"
#include "library/IMapHost.h"
#include "playback/CVlcPlayer.h"
#include "telemetry/GpsFix.h"
#include "playback/WindowMessages.h"
#include "widgets/CGSensorCtrl.h"
#include "widgets/CPngStatic.h"
#include "widgets/CSpeedLabelStatic.h"
#include "widgets/CVideoSlider.h"
#include "widgets/CTrackBar.h"
#include "widgets/WindowMessage.h"

// Last: Xlib defines macros (None, Status) that clash with names above.
#include <X11/Xlib.h>

namespace trivane {
namespace {

using namespace std::chrono_literals;
using testing::Clock;

const std::string kCard = TRIVANE_SAMPLECARD_DIR;

// Stands in for the map page: keeps what the window asks it to draw.
class RecordingMapHost final : public IMapHost {
public:
    void RunScript(const std::string& script) override { scripts.push_back(script); }
    void MovePosition(double latitude, double longitude) override { moves.emplace_back(latitude, longitude); }

    std::vector<std::string> scripts;
    std::vector<std::pair<double, double>> moves;
};

class TestMapPane final : public IMapPane {
public:
    TestMapPane(QWidget* parent, IMapHost& host) : view_(new QWidget(parent)), host_(host) {}

    QWidget* View() override { return view_; }
    void CreateBrowser(QObject* window) override { PostWindowMessage(window, WM_MAP_HOST_READY); }
    void SetBounds(const QRect& bounds) override { view_->setGeometry(bounds); }
    void ShowMap(int) override {}
    void ResetPage() override {}
    IMapHost* ScriptHost() override { return &host_; }

private:
    QWidget* view_;  // owned by the window
    IMapHost& host_;
};

// Sends this process's stderr (libVLC's log included) to a file while it lives.
class StderrCapture {
public:
    explicit StderrCapture(const std::string& path) : path_(path)
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (saved_ >= 0 && file >= 0) ::dup2(file, STDERR_FILENO);
        if (file >= 0) ::close(file);
    }
    ~StderrCapture() { Restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Lines written so far that contain `text`.
    std::vector<std::string> Lines(const std::string& text)
    {
        std::fflush(stderr);
        std::vector<std::string> found;
        std::istringstream in(test::ReadText(path_));
        for (std::string line; std::getline(in, line);)
            if (line.find(text) != std::string::npos) found.push_back(line);
        return found;
    }

    void Restore()
    {
        if (saved_ < 0) return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

private:
    std::string path_;
    int saved_ = -1;
};

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

class PlaybackLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = std::make_unique<CSettingsFile>(dir.File("Qen.ini"));
        CQENDlg::Seams seams;
        seams.messageBox = [this](const QString& text, const QString& caption) {
            messages.push_back((caption + QStringLiteral(": ") + text).toStdString());
        };
        seams.chooseSource = [this](QWidget*, SourceChoice& choice) {
            if (nextSource.path.empty()) return false;
            choice = nextSource;
            return true;
        };
        seams.chooseSnapshotPath = [this](QWidget*, std::string& path) {
            path = snapshotPath;
            return !path.empty();
        };
        seams.makeMapPane = [this](QWidget* parent) -> std::unique_ptr<IMapPane> {
            return std::make_unique<TestMapPane>(parent, map);
        };
        seams.runConfiguration = [](QWidget*, int&) { return false; };
        window = std::make_unique<CQENDlg>(*settings, front, rear, std::move(seams));
        window->Initialise();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->MapHostReady(); }, 2000));
    }

    void TearDown() override
    {
        if (window) window->Shutdown();
        window.reset();
        QApplication::processEvents();
    }

    // Polls while the event loop runs; true as soon as the condition holds.
    static bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
    {
        return QTest::qWaitFor(done, static_cast<int>(timeout.count()));
    }

    static void Pump(std::chrono::milliseconds duration) { QTest::qWait(static_cast<int>(duration.count())); }

    void Click(int id)
    {
        auto* button = qobject_cast<QAbstractButton*>(window->Control(id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }

    int Row(const std::string& name) const
    {
        const auto& entries = window->Manager().Entries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].fileName == name) return static_cast<int>(i);
        return -1;
    }

    std::string CatalogueText() const
    {
        std::string text;
        for (const auto& entry : window->Manager().Entries()) text += entry.fileName + " ";
        return text;
    }

    // Opens the card as a folder and waits until the recording the window starts by itself plays.
    void OpenCard()
    {
        window->OpenPath(kCard);
        ASSERT_FALSE(window->Manager().Entries().empty());
        ASSERT_TRUE(WaitUntil([this] { return window->Controller().AutoStartCountdown() == 0 && front.Playing() != 0; },
                              5s));
        ASSERT_TRUE(WaitUntil([this] { return front.GetTime() > 0; }, 8s)) << front.MediaPath();
    }

    // Chooses a row of the file list as a double click does and waits until it plays.
    void PlayRow(const std::string& name, const std::string& expectedFront)
    {
        const int row = Row(name);
        ASSERT_GE(row, 0) << name << " not in " << CatalogueText();
        PostWindowMessage(window.get(), WM_PLAY_FILE, static_cast<std::uintptr_t>(row));
        ASSERT_TRUE(WaitUntil([&] { return EndsWith(front.MediaPath(), expectedFront); }, 5s)) << front.MediaPath();
        ASSERT_TRUE(WaitUntil([this] { return front.GetTime() > 0 && front.GetLength() > 0; }, 8s));
    }

    // The surface as the X server shows it (libVLC draws into a child window of it).
    QImage Grab(int surfaceId) const
    {
        QWidget* surface = window->Control(surfaceId);
        const QPoint origin = surface->mapToGlobal(QPoint(0, 0));
        return window->screen()->grabWindow(0, origin.x(), origin.y(), surface->width(), surface->height()).toImage();
    }

    static bool Lit(const QImage& image)
    {
        int lit = 0;
        int all = 0;
        for (int y = 0; y < image.height(); y += 4) {
            for (int x = 0; x < image.width(); x += 4) {
                ++all;
                if (qGray(image.pixel(x, y)) > 24) ++lit;
            }
        }
        return all > 0 && lit * 4 > all;
    }

    // True once two grabs of a lit picture a little apart differ.
    bool PictureMoves(int surfaceId, std::chrono::milliseconds timeout)
    {
        const auto deadline = Clock::now() + timeout;
        QImage before = Grab(surfaceId);
        while (Clock::now() < deadline) {
            Pump(300ms);
            QImage after = Grab(surfaceId);
            if (Lit(after) && Lit(before) && after != before) return true;
            before = std::move(after);
        }
        return false;
    }

    // Marquee green (0x00FF00 over the picture) in the top-left quarter of a surface.
    int GreenPixels(int surfaceId) const
    {
        const QImage image = Grab(surfaceId);
        int green = 0;
        for (int y = 0; y < image.height() / 4; ++y) {
            for (int x = 0; x < image.width() / 2; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qGreen(p) > 180 && qRed(p) < 90 && qBlue(p) < 90) ++green;
            }
        }
        return green;
    }

    // Media milliseconds per wall millisecond, from two moments the front clock moved on.
    double MediaRate(std::chrono::milliseconds span)
    {
        const auto edge = [this](std::int64_t& media, Clock::time_point& at) {
            const std::int64_t start = front.GetTime();
            const bool moved = WaitUntil([&] { return front.GetTime() != start; }, 2s);
            at = Clock::now();
            media = front.GetTime();
            return moved;
        };
        std::int64_t media0 = 0;
        std::int64_t media1 = 0;
        Clock::time_point at0;
        Clock::time_point at1;
        if (!edge(media0, at0)) return 0;
        Pump(span);
        if (!edge(media1, at1)) return 0;
        const auto wall = std::chrono::duration_cast<std::chrono::milliseconds>(at1 - at0).count();
        return wall > 0 ? static_cast<double>(media1 - media0) / static_cast<double>(wall) : 0;
    }

    // Moves the slider as a drag does and lets go.
    void SeekSlider(int position)
    {
        static_cast<CTrackBar*>(window->Control(IDC_POSITION_SLIDER))->SetPos(position);
        PostWindowMessage(window.get(), WM_SEEK_TO_SLIDER);
    }

    int SliderPosition() const { return static_cast<CTrackBar*>(window->Control(IDC_POSITION_SLIDER))->GetPos(); }
    int GpsActive() const { return static_cast<CPngStatic*>(window->Control(IDC_GPS_INDICATOR))->Active(); }
    int Speed() const { return static_cast<CSpeedLabelStatic*>(window->Control(IDC_SPEED))->Speed(); }
    double GSensorCursor() const { return static_cast<CGSensorCtrl*>(window->Control(IDC_GSENSOR))->Position(); }

    testing::Watchdog watchdog{90s};
    test::TempDir dir;
    CVlcPlayer& front = testing::LiveFront();
    CVlcPlayer& rear = testing::LiveRear();
    RecordingMapHost map;
    std::unique_ptr<CSettingsFile> settings;
    std::unique_ptr<CQENDlg> window;
    std::vector<std::string> messages;
    SourceChoice nextSource;
    std::string snapshotPath;
};

TEST_F(PlaybackLive, OpeningTheCardShowsMovingPicturesOnBothSurfacesAndAviOnTheFront)
{
    const auto opened = Clock::now();
    window->OpenPath(kCard);
    ASSERT_FALSE(window->Manager().Entries().empty());
    ASSERT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 8s)) << front.MediaPath();
    const auto firstPicture = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - opened);
    RecordProperty("open_to_moving_picture_ms", static_cast<int>(firstPicture.count()));
    std::printf("open to moving picture: %lld ms (%s)\n", static_cast<long long>(firstPicture.count()),
                CatalogueText().c_str());

    // The card's first recording comes from the single-camera AVI camera: the front channel
    // plays it and the rear surface stays away.
    EXPECT_TRUE(EndsWith(front.MediaPath(), "/DCIM/AVI/DRV_0101.AVI")) << front.MediaPath();
    EXPECT_FALSE(window->Controller().RearInUse());
    EXPECT_FALSE(PictureMoves(IDC_REAR_SURFACE, 1500ms));

    // A MOV pair and a TS pair: both surfaces move.
    PlayRow("FILE240315-081500F.MOV", "/DCIM/MOVF/FILE240315-081500F.MOV");
    EXPECT_TRUE(EndsWith(rear.MediaPath(), "/DCIM/MOVR/FILE240315-081500R.MOV")) << rear.MediaPath();
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 4s));
    EXPECT_TRUE(PictureMoves(IDC_REAR_SURFACE, 4s));
    PlayRow("FILE240315-083000F.TS", "/DCIM/TSF/FILE240315-083000F.TS");
    EXPECT_TRUE(EndsWith(rear.MediaPath(), "/DCIM/TSR/FILE240315-083000R.TS")) << rear.MediaPath();
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 4s));
    EXPECT_TRUE(PictureMoves(IDC_REAR_SURFACE, 4s));

    // Back to a single-camera recording: the rear picture stops.
    PlayRow("DRV_0102.AVI", "/DCIM/AVI/DRV_0102.AVI");
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 4s));
    EXPECT_FALSE(window->Controller().RearInUse());
    EXPECT_FALSE(PictureMoves(IDC_REAR_SURFACE, 1500ms));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(PlaybackLive, WhatThePictureLeavesOfASurfaceIsBlack)
{
    // libVLC may fit its own window to the picture inside the surface; Qt does not paint the
    // surface while video plays, so the X server has to clear the rest (it showed whatever was
    // there before).
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    Display* display = x11->display();
    QWidget* surface = window->Control(IDC_REAR_SURFACE);
    surface->show();
    const auto id = static_cast<Window>(window->SurfaceWindow(1));
    Pump(200ms);
    const auto share = [this](QRgb colour) {
        const QImage image = Grab(IDC_REAR_SURFACE);
        int hits = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) hits += (image.pixel(x, y) & 0xFFFFFF) == colour ? 1 : 0;
        return image.isNull() ? 0.0 : static_cast<double>(hits) / (image.width() * image.height());
    };
    GC gc = XCreateGC(display, id, 0, nullptr);
    XSetForeground(display, gc, WhitePixel(display, DefaultScreen(display)));
    XFillRectangle(display, id, gc, 0, 0, static_cast<unsigned>(surface->width()), static_cast<unsigned>(surface->height()));
    XFreeGC(display, gc);
    XSync(display, False);
    ASSERT_EQ(share(0xFFFFFF), 1.0);
    XClearArea(display, id, 0, 0, 0, 0, False);
    XSync(display, False);
    EXPECT_EQ(share(0x000000), 1.0);
}

TEST_F(PlaybackLive, TheRearChannelRebuiltAfterASingleCameraRecordingStaysSilent)
{
    OpenCard();
    PlayRow("FILE240315-081500F.MOV", "/DCIM/MOVF/FILE240315-081500F.MOV");
    // The single-camera recording rebuilds the rear channel's player; the next pair plays on it.
    PlayRow("DRV_0102.AVI", "/DCIM/AVI/DRV_0102.AVI");
    StderrCapture log(dir.File("stderr.log"));
    PlayRow("FILE240315-081530F.MOV", "/DCIM/MOVF/FILE240315-081530F.MOV");
    ASSERT_TRUE(WaitUntil([this] { return rear.GetTime() > 1000; }, 8s));
    const std::vector<std::string> audioErrors = log.Lines("audio output error");
    const std::size_t alsaLines = log.Lines("ALSA lib").size();
    log.Restore();
    EXPECT_TRUE(audioErrors.empty()) << audioErrors.size() << " lines, the first: " << audioErrors.front();
    EXPECT_EQ(alsaLines, 0u);
}

TEST_F(PlaybackLive, TelemetryFollowsThePictureThroughFixesAndTheTunnel)
{
    OpenCard();
    map.moves.clear();
    // The ring road: fixes for its first four seconds, none from 4 s to 8 s, fixes again after.
    PlayRow("FILE240315-083000F.TS", "/DCIM/TSF/FILE240315-083000F.TS");
    std::vector<int> fixSpeeds;
    for (const GpsFix& fix : window->Manager().Track().fixStore)
        if (fix.IsValid()) fixSpeeds.push_back(fix.speedKmh);
    ASSERT_FALSE(fixSpeeds.empty());

    ASSERT_TRUE(WaitUntil([this] { return GpsActive() == 1 || front.GetTime() > 3500; }, 6s));
    ASSERT_EQ(GpsActive(), 1) << "no fix shown by " << front.GetTime() << " ms";
    EXPECT_LE(front.GetTime(), 4000);
    const int speedWithFix = Speed();
    EXPECT_NE(std::find(fixSpeeds.begin(), fixSpeeds.end(), speedWithFix), fixSpeeds.end()) << speedWithFix;
    EXPECT_GE(speedWithFix, 70);
    const int sliderEarly = SliderPosition();
    const double cursorEarly = GSensorCursor();
    const std::size_t movesEarly = map.moves.size();
    EXPECT_GT(movesEarly, 0u);

    // In the tunnel: no fix, no speed.
    ASSERT_TRUE(WaitUntil([this] { return front.GetTime() >= 5000; }, 8s)) << front.GetTime();
    ASSERT_TRUE(WaitUntil([this] { return GpsActive() == 0 && Speed() == 0; }, 2s))
        << "at " << front.GetTime() << " ms: indicator " << GpsActive() << ", speed " << Speed();
    EXPECT_LT(front.GetTime(), 8000);
    EXPECT_GT(SliderPosition(), sliderEarly);
    EXPECT_GT(GSensorCursor(), cursorEarly);

    // Out of it: the fix and the marker come back.
    ASSERT_TRUE(WaitUntil([this] { return GpsActive() == 1; }, 8s)) << front.GetTime();
    EXPECT_GE(front.GetTime(), 7500);
    EXPECT_GT(Speed(), 70);
    EXPECT_GT(map.moves.size(), movesEarly);
    for (const auto& [latitude, longitude] : map.moves) {
        // Stored NMEA ddmm.mmmm / 100: 48 deg 10.6 min N, 11 deg 37 min E.
        EXPECT_NEAR(latitude, 48.106, 0.01);
        EXPECT_NEAR(longitude, 11.372, 0.01);
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(PlaybackLive, ChoosingTheRearFilePlaysThePairOnBothChannels)
{
    OpenCard();
    PlayRow("FILE240315-081530R.MOV", "/DCIM/MOVF/FILE240315-081530F.MOV");
    EXPECT_TRUE(EndsWith(rear.MediaPath(), "/DCIM/MOVR/FILE240315-081530R.MOV")) << rear.MediaPath();
    EXPECT_NE(front.Playing(), 0);
    EXPECT_NE(rear.Playing(), 0);
    EXPECT_TRUE(WaitUntil([this] { return rear.GetTime() > 0; }, 8s));
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 4s));
    EXPECT_TRUE(PictureMoves(IDC_REAR_SURFACE, 4s));
}

TEST_F(PlaybackLive, EndOfARecordingStartsTheNextPairAndTheLastGoesBackToTheFirst)
{
    OpenCard();
    const auto& entries = window->Manager().Entries();
    PlayRow("FILE240315-081500F.MOV", "/DCIM/MOVF/FILE240315-081500F.MOV");
    SeekSlider(960);
    // Its rear file is the next row; it has just played, so the next pair follows.
    std::vector<std::string> fronts{FileName(front.MediaPath())};
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (FileName(front.MediaPath()) != fronts.back()) fronts.push_back(FileName(front.MediaPath()));
            return EndsWith(front.MediaPath(), "/DCIM/MOVF/FILE240315-081530F.MOV") && front.GetTime() > 0;
        },
        15s))
        << front.MediaPath() << " at " << front.GetTime();
    EXPECT_EQ(fronts, (std::vector<std::string>{"FILE240315-081500F.MOV", "FILE240315-081530F.MOV"}));
    EXPECT_TRUE(EndsWith(rear.MediaPath(), "/DCIM/MOVR/FILE240315-081530R.MOV")) << rear.MediaPath();
    EXPECT_NE(rear.Playing(), 0);
    EXPECT_EQ(window->Manager().CurrentIndex(), Row("FILE240315-081530F.MOV")) << CatalogueText();

    // After the last recording the first starts.
    const std::string last = entries.back().fileName;
    const std::string first = entries.front().fileName;
    PostWindowMessage(window.get(), WM_PLAY_FILE, entries.size() - 1);
    ASSERT_TRUE(WaitUntil([&] { return FileName(front.MediaPath()) == last || FileName(rear.MediaPath()) == last; },
                          5s))
        << CatalogueText();
    ASSERT_TRUE(WaitUntil([this] { return front.GetTime() > 0 && front.GetLength() > 0; }, 8s));
    SeekSlider(960);
    ASSERT_TRUE(WaitUntil([&] { return window->Manager().CurrentIndex() == 0 && front.GetTime() > 0; }, 15s))
        << "current " << window->Manager().CurrentIndex() << ", front " << front.MediaPath();
    EXPECT_TRUE(FileName(front.MediaPath()) == first || FileName(rear.MediaPath()) == first)
        << first << ": " << front.MediaPath() << " / " << rear.MediaPath();
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 4s));
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(PlaybackLive, TwiceAsFastShowsTheMarqueeAndDoublesMediaTime)
{
    OpenCard();
    PlayRow("FILE240315-081530F.MOV", "/DCIM/MOVF/FILE240315-081530F.MOV");
    const int greenAtNormal = GreenPixels(IDC_FRONT_SURFACE);
    const double normal = MediaRate(1500ms);

    for (int i = 0; i < 5; ++i) Click(IDC_FAST);
    EXPECT_EQ(window->Controller().SpeedIndex(), 12);
    EXPECT_FLOAT_EQ(front.Rate(), 2.0f);
    EXPECT_FLOAT_EQ(rear.Rate(), 2.0f);
    EXPECT_TRUE(WaitUntil([&] { return GreenPixels(IDC_FRONT_SURFACE) > greenAtNormal + 20; }, 3s))
        << "green pixels at 1.0x " << greenAtNormal << ", now " << GreenPixels(IDC_FRONT_SURFACE);
    EXPECT_TRUE(WaitUntil([&] { return GreenPixels(IDC_REAR_SURFACE) > 20; }, 3s));
    const double fast = MediaRate(2500ms);
    std::printf("media ms per wall ms: %.2f at 1.0x, %.2f at 2.0x\n", normal, fast);
    EXPECT_NEAR(normal, 1.0, 0.3);
    EXPECT_NEAR(fast / normal, 2.0, 0.5);

    for (int i = 0; i < 5; ++i) Click(IDC_SLOW);
    EXPECT_EQ(window->Controller().SpeedIndex(), 7);
    EXPECT_FLOAT_EQ(front.Rate(), 1.0f);
    EXPECT_FLOAT_EQ(rear.Rate(), 1.0f);
    EXPECT_TRUE(WaitUntil([&] { return GreenPixels(IDC_FRONT_SURFACE) <= greenAtNormal + 20; }, 3s))
        << GreenPixels(IDC_FRONT_SURFACE);
}

TEST_F(PlaybackLive, SliderSeeksLandOnTheirTargetAndTheStartIsATarget)
{
    OpenCard();
    PlayRow("FILE240315-081530F.MOV", "/DCIM/MOVF/FILE240315-081530F.MOV");
    ASSERT_TRUE(WaitUntil([this] { return rear.GetTime() > 0; }, 8s));
    const std::int64_t length = front.GetLength();
    const std::int64_t target = 500 * (length / 1000);
    SeekSlider(500);
    const auto posted = Clock::now();
    const auto landed = [&](const CVlcPlayer& c) { return c.GetTime() >= target - 500 && c.GetTime() <= target + 500; };
    ASSERT_TRUE(WaitUntil([&] { return landed(front) && landed(rear); }, 3s))
        << "target " << target << ": front " << front.GetTime() << ", rear " << rear.GetTime();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - posted).count();
    EXPECT_LE(took, 1500);
    // Playing on from there, the slider follows from the middle.
    ASSERT_TRUE(WaitUntil([&] { return front.GetTime() > target + 600; }, 5s));
    EXPECT_NEAR(SliderPosition(), static_cast<double>(500 + 600 * 1000 / length), 80);

    // Back to the start from well into the recording.
    ASSERT_TRUE(WaitUntil([&] { return front.GetTime() > target + 1500; }, 5s));
    SeekSlider(0);
    EXPECT_TRUE(WaitUntil([&] { return front.GetTime() < 1500 && rear.GetTime() < 1500; }, 3s))
        << "front " << front.GetTime() << ", rear " << rear.GetTime();
    EXPECT_TRUE(WaitUntil([&] { return SliderPosition() < 100; }, 3s)) << SliderPosition();
}

// The hard stop in DRVG0103.AVI from the start of its group: N opens it and the picture plays on
// from the event, with the event marked on the slider.
TEST_F(PlaybackLive, NextEventOpensTheRecordingThatHoldsItAtTheEvent)
{
    OpenCard();  // the card starts with DRV_0101.AVI
    ASSERT_TRUE(EndsWith(front.MediaPath(), "/DCIM/AVI/DRV_0101.AVI")) << front.MediaPath();
    window->OnCommand(IDM_NEXT_EVENT);
    ASSERT_TRUE(WaitUntil([this] { return EndsWith(front.MediaPath(), "/DCIM/AVI/DRVG0103.AVI"); }, 5s))
        << front.MediaPath();
    ASSERT_TRUE(WaitUntil([this] { return front.GetTime() >= 5000; }, 5s)) << front.GetTime();
    EXPECT_LE(front.GetTime(), 7500);
    const auto* slider = static_cast<CVideoSlider*>(window->Control(IDC_POSITION_SLIDER));
    ASSERT_TRUE(WaitUntil([&] { return slider->EventMarks().size() == 1; }, 3s));
    ASSERT_GT(front.GetLength(), 0);
    EXPECT_NEAR(slider->EventMarks()[0], 5500.0 * 1000 / static_cast<double>(front.GetLength()), 15);
}

TEST_F(PlaybackLive, PlayPausePausesAndResumesBothChannelsInStep)
{
    OpenCard();
    PlayRow("FILE240315-081530F.MOV", "/DCIM/MOVF/FILE240315-081530F.MOV");
    ASSERT_TRUE(WaitUntil([this] { return rear.GetTime() > 500 && front.GetTime() > 500; }, 8s));

    Click(IDC_PLAY);
    EXPECT_EQ(front.Playing(), 0);
    EXPECT_EQ(rear.Playing(), 0);
    EXPECT_NE(front.Paused(), 0);
    EXPECT_NE(rear.Paused(), 0);
    Pump(500ms);
    const std::int64_t frontPaused = front.GetTime();
    const std::int64_t rearPaused = rear.GetTime();
    const QImage still = Grab(IDC_FRONT_SURFACE);
    Pump(1500ms);
    EXPECT_EQ(front.GetTime(), frontPaused);
    EXPECT_EQ(rear.GetTime(), rearPaused);
    EXPECT_EQ(Grab(IDC_FRONT_SURFACE), still);
    EXPECT_LT(std::abs(frontPaused - rearPaused), 700) << frontPaused << " / " << rearPaused;

    Click(IDC_PLAY);
    EXPECT_NE(front.Playing(), 0);
    EXPECT_NE(rear.Playing(), 0);
    EXPECT_EQ(front.Paused(), 0);
    EXPECT_EQ(rear.Paused(), 0);
    EXPECT_TRUE(WaitUntil([&] { return front.GetTime() > frontPaused + 1000 && rear.GetTime() > rearPaused + 1000; },
                          5s))
        << "front " << front.GetTime() << ", rear " << rear.GetTime();
    EXPECT_LT(std::abs(front.GetTime() - rear.GetTime()), 700) << front.GetTime() << " / " << rear.GetTime();
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 4s));
}

TEST_F(PlaybackLive, SnapshotWritesAJpegPictureOfEachChannel)
{
    OpenCard();
    PlayRow("FILE240315-081530F.MOV", "/DCIM/MOVF/FILE240315-081530F.MOV");
    ASSERT_TRUE(WaitUntil([this] { return rear.GetTime() > 500 && front.GetTime() > 500; }, 8s));
    snapshotPath = dir.File("shot.jpg");
    Click(IDC_SNAP);
    const std::pair<std::string, QSize> expected[] = {{dir.File("shot_f.jpg"), QSize(1920, 1080)},
                                                      {dir.File("shot_r.jpg"), QSize(1280, 720)}};
    for (const auto& [path, size] : expected) {
        ASSERT_TRUE(test::FileExists(path)) << path;
        EXPECT_EQ(testing::ReadPrefix(path, 3), std::string("\xFF\xD8\xFF")) << path;
        QImageReader reader(QString::fromStdString(path));
        EXPECT_EQ(reader.format(), QByteArray("jpeg")) << path;
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << path << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), size) << path;
        EXPECT_TRUE(Lit(image)) << path;
    }
    EXPECT_FALSE(test::FileExists(dir.File("shot.jpg")));
    EXPECT_TRUE(messages.empty()) << messages.front();

    // Both channels play on.
    EXPECT_NE(front.Playing(), 0);
    EXPECT_NE(rear.Playing(), 0);
    const std::int64_t frontAt = front.GetTime();
    EXPECT_TRUE(WaitUntil([&] { return front.GetTime() > frontAt + 500; }, 5s));
}

TEST_F(PlaybackLive, ABrokenRecordingShowsOneErrorAndOpenWorksRightAfter)
{
    // Before a good pair: a pair of noise, which libVLC plays to its end as it finds nothing,
    // and a pair of empty files, which it cannot open. The catalogue keeps TS files it cannot read
    // (their telemetry may be in a side file).
    test::TempDir broken;
    std::mt19937 random(7);
    for (const char* name : {"FILE240315-081300F.TS", "FILE240315-081300R.TS"}) {
        std::string noise(256 * 1024, '\0');
        for (char& c : noise) c = static_cast<char>(random() & 0xFF);
        test::WriteText(broken.File(name), noise);
    }
    for (const char* name : {"FILE240315-081400F.TS", "FILE240315-081400R.TS"}) test::WriteText(broken.File(name), "");
    for (const char* name : {"FILE240315-081500F.MOV", "FILE240315-081500R.MOV"}) {
        const std::string folder = name[17] == 'F' ? "/DCIM/MOVF/" : "/DCIM/MOVR/";
        std::filesystem::copy_file(kCard + folder + name, broken.File(name));
    }
    window->OpenPath(broken.Path());
    ASSERT_EQ(window->Manager().Entries().size(), 6u) << CatalogueText();
    ASSERT_TRUE(WaitUntil([this] { return !messages.empty(); }, 20s)) << front.MediaPath();
    EXPECT_TRUE(EndsWith(front.MediaPath(), "/FILE240315-081400F.TS")) << front.MediaPath();
    Pump(3s);
    EXPECT_EQ(messages.size(), 1u);
    for (const std::string& m : messages) std::printf("box: %s\n", m.c_str());

    nextSource.kind = SourceKind::Folder;
    nextSource.path = kCard;
    Click(IDC_OPEN);
    EXPECT_TRUE(WaitUntil([this] { return front.MediaPath().find(kCard) == 0 && front.GetTime() > 0; }, 10s))
        << front.MediaPath();
    EXPECT_TRUE(PictureMoves(IDC_FRONT_SURFACE, 8s));
    EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace trivane
