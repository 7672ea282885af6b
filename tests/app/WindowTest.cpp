#include "app/CQENDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FakeChannel.h"
#include "FileText.h"
#include "TempDir.h"
#include "TestCard.h"
#include "app/CSettingsFile.h"
#include "app/ControlIds.h"
#include "library/CRecordingManager.h"
#include "map/IMapPane.h"
#include "playback/WindowMessages.h"
#include "widgets/CGSensorCtrl.h"
#include "widgets/CGdipButton.h"
#include "widgets/CSpeedLabelStatic.h"
#include "widgets/CTrackBar.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

// A map pane that only remembers the pages it was asked for.
class FakeMapPane final : public IMapPane {
public:
    FakeMapPane(QWidget* parent, std::vector<int>& pages) : view_(new QWidget(parent)), pages_(pages) {}
    QWidget* View() override { return view_; }
    void CreateBrowser(QObject*) override {}
    void SetBounds(const QRect& bounds) override { view_->setGeometry(bounds); }
    void ShowMap(int provider) override { pages_.push_back(provider); }
    void ResetPage() override {}
    IMapHost* ScriptHost() override { return nullptr; }

private:
    QWidget* view_;
    std::vector<int>& pages_;
};

// A window on a settings file of its own, with fake channels and every dialog replaced.
class WindowFixture : public ::testing::Test {
protected:
    void Start(const std::string& ini = "")
    {
        if (!ini.empty()) test::WriteText(dir.File("Qen.ini"), ini);
        settings = std::make_unique<CSettingsFile>(dir.File("Qen.ini"));
        CQENDlg::Seams seams;
        seams.messageBox = [this](const QString& text, const QString& caption) {
            messages.push_back((caption + QStringLiteral(": ") + text).toStdString());
        };
        seams.chooseSource = [this](QWidget*, SourceChoice& choice) {
            if (!nextSource) return false;
            choice = *nextSource;
            return true;
        };
        seams.runConfiguration = [this](QWidget*, int& provider) {
            ++configurationRuns;
            provider = 1;
            return true;
        };
        if (withMap)
            seams.makeMapPane = [this](QWidget* parent) { return std::make_unique<FakeMapPane>(parent, mapPages); };
        window = std::make_unique<CQENDlg>(*settings, front, rear, std::move(seams));
        window->Initialise();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void Click(int id)
    {
        auto* button = qobject_cast<QAbstractButton*>(window->Control(id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }

    QRect Geometry(int id) const { return window->Control(id)->geometry(); }

    std::string Ini() const { return test::ReadText(dir.File("Qen.ini")); }

    test::TempDir dir;
    test::FakeChannel front;
    test::FakeChannel rear;
    std::unique_ptr<CSettingsFile> settings;
    std::unique_ptr<CQENDlg> window;
    std::vector<std::string> messages;
    std::unique_ptr<SourceChoice> nextSource;
    int configurationRuns = 0;
    bool withMap = false;
    std::vector<int> mapPages;  // ShowMap calls
};

TEST_F(WindowFixture, OpensWithTheDefaultLayoutAndControls)
{
    Start();
    EXPECT_EQ(window->geometry(), QRect(0, 0, 800, 560));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));

    // The layout's reference size, control by control.
    EXPECT_EQ(Geometry(IDC_PLAY), QRect(165, 504, 48, 48));
    EXPECT_EQ(Geometry(IDC_FILE_LIST), QRect(555, 293, 240, 203));
    EXPECT_EQ(Geometry(IDC_FRONT_PANEL), QRect(5, 48, 267, 316));
    EXPECT_EQ(Geometry(IDC_POSITION_SLIDER), QRect(5, 364, 544, 20));
    EXPECT_EQ(Geometry(IDC_GSENSOR), QRect(5, 389, 544, 107));

    // Visible and hidden controls, each reachable by its id.
    for (int id : {IDC_OPEN, IDC_SNAP, IDC_PLAY, IDC_FAST, IDC_SLOW, IDC_MINIMISE, IDC_MAXIMISE, IDC_CLOSE, IDC_VOL,
                   IDC_L, IDC_SPEED, IDC_POSITION_SLIDER, IDC_VOLUME_SLIDER, IDC_GSENSOR, IDC_FILE_LIST,
                   IDC_COMPASS, IDC_GPS_INDICATOR})
        EXPECT_TRUE(window->Control(id)->isVisible()) << id;
    for (int id : {IDC_SAVE, IDC_DEL, IDC_CONF, IDC_STOP, IDC_ABOUT, IDC_LOOP, IDC_FLIP, IDC_KML, IDC_MAP, IDC_GSR,
                   IDC_LOCK, IDC_SMALL, IDC_MEDIUM, IDC_GROUP_LIST, IDC_FRONT_SURFACE, IDC_REAR_SURFACE,
                   IDC_STATUS_BOARD}) {
        ASSERT_NE(window->Control(id), nullptr) << id;
        EXPECT_FALSE(window->Control(id)->isVisible()) << id;
        EXPECT_EQ(window->findChild<QWidget*>(QString::number(id)), window->Control(id));
    }
    EXPECT_FALSE(window->Control(IDC_FLIP)->isEnabled());

    // The map pane waits for its host: its place is painted in the placeholder blue, and the
    // title band holds the caption, never the layout's work.
    const QImage shot = window->grab().toImage();
    EXPECT_EQ(shot.pixelColor(675, 150), QColor(156, 192, 249));
    EXPECT_EQ(shot.pixelColor(400, 300), QColor(5, 5, 5));
    EXPECT_TRUE(window->TimerActive(IDT_SEEK));
    EXPECT_TRUE(window->TimerActive(IDT_AUTOSTART));
    EXPECT_TRUE(messages.empty());
}

TEST_F(WindowFixture, OutlineCutsTheCornersButNotTheBody)
{
    Start();
    const QRegion outline = window->Outline();
    EXPECT_FALSE(outline.contains(QPoint(2, 2)));      // radius-30 top-left cut
    EXPECT_FALSE(outline.contains(QPoint(8, 3)));
    EXPECT_TRUE(outline.contains(QPoint(30, 30)));
    EXPECT_FALSE(outline.contains(QPoint(799, 559)));  // small rounded corners elsewhere
    EXPECT_TRUE(outline.contains(QPoint(795, 2)));
    EXPECT_TRUE(outline.contains(QPoint(400, 280)));
    EXPECT_EQ(window->mask(), outline);
}

TEST_F(WindowFixture, EscapeNeverClosesAndMaximiseTwiceRestores)
{
    Start("[WINPOS]\nLEFT=100\nTOP=50\nRIGHT=1000\nBOTTOM=650\n");
    const QRect start = window->geometry();
    EXPECT_EQ(start, QRect(100, 50, 900, 600));

    QTest::keyClick(window.get(), Qt::Key_Escape);
    QTest::keyClick(window->Control(IDC_FILE_LIST), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->geometry(), start);

    Click(IDC_MAXIMISE);
    EXPECT_TRUE(window->IsMaximized());
    EXPECT_EQ(window->geometry(), QRect(0, 0, 1280, 800));  // the whole monitor
    EXPECT_EQ(Geometry(IDC_CLOSE).topLeft(), QPoint(1280 - 32, 2));
    // No moving while maximised.
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(300, 20));
    QTest::mouseMove(window.get(), QPoint(400, 120));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(400, 120));
    EXPECT_EQ(window->geometry(), QRect(0, 0, 1280, 800));

    Click(IDC_MAXIMISE);
    EXPECT_FALSE(window->IsMaximized());
    EXPECT_EQ(window->geometry(), start);

    Click(IDC_SMALL);
    EXPECT_EQ(window->geometry(), QRect(160, 100, 1024, 640));
    Click(IDC_MEDIUM);
    EXPECT_EQ(window->geometry(), QRect(142, 88, 1120, 700));
}

TEST_F(WindowFixture, PlacedOnTheScreenThatHeldItAndOnThePrimaryWhenThatScreenIsGone)
{
    Start("[WINPOS]\nLEFT=1500\nTOP=100\nRIGHT=2400\nBOTTOM=700\n");
    EXPECT_EQ(window->geometry(), QRect(1500, 100, 900, 600));
    window.reset();

    // Saved on a third monitor that is no longer attached: pulled onto the primary screen.
    Start("[WINPOS]\nLEFT=4000\nTOP=100\nRIGHT=4900\nBOTTOM=700\n");
    EXPECT_EQ(window->geometry(), QRect(1280 - 900, 100, 900, 600));
}

TEST_F(WindowFixture, CloseStopsBothChannelsThenWritesThePosition)
{
    Start();
    window->move(120, 40);
    front.Take();
    rear.Take();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(front.Count("stop"), 1);
    EXPECT_EQ(rear.Count("stop"), 1);
    EXPECT_FALSE(front.HasSink());
    EXPECT_FALSE(rear.HasSink());
    EXPECT_FALSE(window->TimerActive(IDT_SEEK));
    EXPECT_NE(Ini().find("[WINPOS]\nLEFT=120\nTOP=40\nRIGHT=920\nBOTTOM=600\n"), std::string::npos) << Ini();

    // Once only: the end of the session after a close writes nothing more.
    test::WriteText(dir.File("Qen.ini"), "");
    window->Shutdown();
    EXPECT_EQ(Ini(), "");
}

TEST_F(WindowFixture, PanesFollowTheirCommandsAndAreRemembered)
{
    Start();
    Click(IDC_MAP);
    EXPECT_FALSE(window->MapEnabledFlag());
    EXPECT_EQ(Geometry(IDC_FILE_LIST), QRect(555, 48, 240, 448));
    EXPECT_NE(window->grab().toImage().pixelColor(675, 150), QColor(156, 192, 249));
    Click(IDC_GSR);
    EXPECT_FALSE(window->Control(IDC_GSENSOR)->isVisible());
    EXPECT_NE(Ini().find("MAP_ENABLE=0"), std::string::npos);
    EXPECT_NE(Ini().find("GSNR_ENABLE=0"), std::string::npos);
    window.reset();

    // The next start reads them back.
    Start();
    EXPECT_FALSE(window->MapEnabledFlag());
    EXPECT_FALSE(window->Control(IDC_GSENSOR)->isVisible());
}

TEST_F(WindowFixture, MouseDragsTheGripAndTheSplittersWithinTheirLimits)
{
    Start();
    // Grip: never below the minimum size.
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(795, 555));
    QTest::mouseMove(window.get(), QPoint(300, 200));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(300, 200));
    EXPECT_EQ(window->size(), QSize(800, 560));
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(795, 555));
    QTest::mouseMove(window.get(), QPoint(1000, 700));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(1000, 700));
    EXPECT_EQ(window->size(), QSize(1000, 700));

    // Pane splitter (between video and list): ignored in the left two thirds.
    const int splitterX = Geometry(IDC_FILE_LIST).left() - 2;
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(splitterX, 300));
    QTest::mouseMove(window.get(), QPoint(600, 300));
    EXPECT_EQ(Geometry(IDC_FILE_LIST).left(), 1000 - 5 - 240);
    QTest::mouseMove(window.get(), QPoint(700, 300));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(700, 300));
    EXPECT_EQ(Geometry(IDC_FILE_LIST).left(), 1000 - 5 - 290);

    // Map splitter: the gap under the map.
    const int gapY = Geometry(IDC_FILE_LIST).top() - 2;
    QTest::mousePress(window.get(), Qt::LeftButton, {}, QPoint(850, gapY));
    QTest::mouseMove(window.get(), QPoint(850, 400));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(850, 400));
    EXPECT_EQ(Geometry(IDC_FILE_LIST).top(), 400 - 48 + 53);
}

TEST_F(WindowFixture, MessagesCarryingAPathNeverFormatTheTranslation)
{
    Start();
    window->OpenPath(dir.File("no such folder %s%n"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Warning: The file or folder \"" + dir.File("no such folder %s%n") + "\" does not exist."),
              std::string::npos)
        << messages[0];
    EXPECT_TRUE(window->Manager().Entries().empty());

    // Commands that need recordings say so on an empty catalogue.
    messages.clear();
    Click(IDC_SNAP);
    Click(IDC_KML);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "OK: No Files in list");
}

// The player error speaks the desktop's language, not the one chosen for the window.
TEST_F(WindowFixture, PlayerErrorIsWordedInTheDesktopsLanguage)
{
    Start("[UI]\nLANGID=KOR\n");
    const char* before = std::getenv("LC_ALL");
    const std::string saved = before != nullptr ? before : "";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    SendWindowMessage(window.get(), WM_PLAYER_ERROR, 1);
    if (before != nullptr)
        ::setenv("LC_ALL", saved.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
    EXPECT_EQ(messages, (std::vector<std::string>{"Trivane 1: Im Mediaplayer ist ein Fehler aufgetreten."}));
}

TEST_F(WindowFixture, LanguageChangeRetitlesListsAndTheConfigurationButtonRuns)
{
    Start();
    auto* list = window->findChild<QTreeView*>(QString::number(IDC_FILE_LIST));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("File Name"));
    ASSERT_TRUE(settings->SetLanguage(1));  // Simplified Chinese
    SendWindowMessage(window.get(), WM_LANGUAGE_CHANGED);
    EXPECT_NE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("File Name"));

    Click(IDC_L);
    EXPECT_EQ(configurationRuns, 1);
}

// The page comes from the dialog's message, not from Qen.ini (which may not have kept it), and
// the page already shown is not asked for again.
TEST_F(WindowFixture, MapPageFollowsTheDialogsChoiceWithoutReloadingTheSamePage)
{
    withMap = true;
    Start("[UI]\nMAP=0\n");
    SendWindowMessage(window.get(), WM_MAP_HOST_READY);
    SendWindowMessage(window.get(), WM_MAP_PROVIDER_CHANGED, 0);
    SendWindowMessage(window.get(), WM_MAP_PROVIDER_CHANGED, 1);
    SendWindowMessage(window.get(), WM_MAP_PROVIDER_CHANGED, 1);
    Click(IDC_L);  // the dialog's OK with page 1 again
    EXPECT_EQ(configurationRuns, 1);
    EXPECT_EQ(mapPages, (std::vector<int>{0, 1}));
    EXPECT_NE(Ini().find("MAP=0"), std::string::npos);
}

TEST_F(WindowFixture, MinimiseAndRestoreShowsOnlyTheSurfacesInUse)
{
    Start();
    Click(IDC_MINIMISE);
    window->showNormal();
    QApplication::processEvents();
    EXPECT_FALSE(window->Control(IDC_FRONT_SURFACE)->isVisible());
    EXPECT_FALSE(window->Control(IDC_REAR_SURFACE)->isVisible());
}

}  // namespace
}  // namespace trivane

namespace trivane {
namespace {

// A user's first minute: a card opened from the command line fills the lists, the first
// recording starts half a second later on both channels, and a double-click on another file
// plays that one.
TEST_F(WindowFixture, OpeningACardFillsTheListsAndPlaysTheFirstRecording)
{
    const std::string card = dir.File("card");
    test::MakeFolder(card);
    test::WriteMov(card + "/FILE240315-081500F.MOV", "2024-03-15 08:15:00", 30);
    test::WriteMov(card + "/FILE240315-081500R.MOV", "2024-03-15 08:15:00", 30);
    test::WriteMov(card + "/FILE240315-081530F.MOV", "2024-03-15 08:15:30", 30, {}, 1280, 720);
    Start();
    window->OpenPath(card);

    auto* list = window->findChild<QTreeView*>(QString::number(IDC_FILE_LIST));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(list->model()->index(2, 0).data().toString(), QStringLiteral("FILE240315-081530F.MOV"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return front.Count("play") > 0; }, 3000));
    EXPECT_EQ(front.Last("open"), "open " + card + "/FILE240315-081500F.MOV");
    EXPECT_EQ(rear.Last("open"), "open " + card + "/FILE240315-081500R.MOV");
    EXPECT_TRUE(window->Control(IDC_FRONT_SURFACE)->isVisible());
    EXPECT_TRUE(window->Control(IDC_REAR_SURFACE)->isVisible());
    // 1920x1080 in a 263x312 panel: letterboxed, centred vertically.
    EXPECT_EQ(Geometry(IDC_FRONT_SURFACE), QRect(7, 50 + 82, 263, 147));

    // A click on the slider asks for a seek to that share of the recording.
    QWidget* slider = window->Control(IDC_POSITION_SLIDER);
    const QPoint middle(slider->width() / 2, slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, middle);
    const std::int64_t pending = window->Controller().PendingSeekMs();
    EXPECT_GT(pending, 25000);
    EXPECT_LT(pending, 35000);

    // Double-click on the last row (posted as the list does, handled by the window).
    SendWindowMessage(window.get(), WM_PLAY_FILE, 2);
    EXPECT_EQ(front.Last("open"), "open " + card + "/FILE240315-081530F.MOV");
    EXPECT_EQ(window->Manager().CurrentIndex(), 2);
    EXPECT_EQ(Geometry(IDC_FRONT_SURFACE).height(), 263 * 720 / 1280);

    // Full-screen video and back: only the chosen surface stays, the window covers the monitor
    // (one pixel short, as its client already had the monitor's width after maximise), and the
    // window returns to its rectangle with its controls.
    Click(IDC_MAXIMISE);
    const QRect maximised = window->geometry();
    SendWindowMessage(window.get(), WM_TOGGLE_FULLSCREEN);
    EXPECT_TRUE(window->IsFullScreenVideo());
    EXPECT_FALSE(window->IsMaximized());
    EXPECT_EQ(window->geometry(), QRect(0, 0, 1280, 799));
    EXPECT_FALSE(window->Control(IDC_FILE_LIST)->isVisible());
    EXPECT_FALSE(window->Control(IDC_PLAY)->isVisible());
    EXPECT_FALSE(window->Control(IDC_REAR_SURFACE)->isVisible());
    EXPECT_TRUE(window->Control(IDC_FRONT_SURFACE)->isVisible());
    EXPECT_EQ(Geometry(IDC_FRONT_SURFACE).width(), 1280);
    SendWindowMessage(window.get(), WM_TOGGLE_FULLSCREEN);
    EXPECT_FALSE(window->IsFullScreenVideo());
    EXPECT_EQ(window->geometry(), maximised);
    EXPECT_TRUE(window->Control(IDC_FILE_LIST)->isVisible());
    EXPECT_TRUE(window->Control(IDC_REAR_SURFACE)->isVisible());
    EXPECT_TRUE(messages.empty());
}

// Between libVLC's sparse time events the slider, the G-sensor cursor and the speed move at the
// animation timer's rate, never further than one event interval; paused, they stand still.
TEST_F(WindowFixture, InstrumentsMoveBetweenTimeEventsAndStandStillWhilePaused)
{
    const std::string card = dir.File("card");
    test::MakeFolder(card);
    writer::Telemetry telemetry;
    for (int s = 0; s < 10; ++s) telemetry.fixes.push_back(test::Fix(2233.81, 11357.34, static_cast<std::uint16_t>(40 + s), true));
    telemetry.samples.assign(10 * 50, GSensorSample{1, 2, 3});
    telemetry.gsensorRateCode = 25;  // 50 samples a second
    test::WriteMov(card + "/FILE240315-081500F.MOV", "2024-03-15 08:15:00", 10, telemetry);
    Start();
    window->OpenPath(card);
    ASSERT_TRUE(QTest::qWaitFor([&] { return front.Count("play") > 0; }, 3000));
    front.length = 10000;
    auto* slider = static_cast<CTrackBar*>(window->Control(IDC_POSITION_SLIDER));
    auto* cursor = static_cast<CGSensorCtrl*>(window->Control(IDC_GSENSOR));
    auto* speed = static_cast<CSpeedLabelStatic*>(window->Control(IDC_SPEED));

    std::vector<double> cursorSteps;
    std::vector<int> sliderSteps;
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (cursorSteps.empty() || cursor->Position() != cursorSteps.back()) cursorSteps.push_back(cursor->Position());
        if (sliderSteps.empty() || slider->GetPos() != sliderSteps.back()) sliderSteps.push_back(slider->GetPos());
    });
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 3800);
    ASSERT_TRUE(QTest::qWaitFor([&] { return slider->GetPos() >= 380; }, 2000));
    EXPECT_EQ(speed->Speed(), 43);
    watch.start(2);
    QTest::qWait(480);
    watch.stop();
    // A step each 16 ms when the picture moves by a pixel (about 20 ms of media here), for the
    // 400 ms the clock may run ahead: whatever the machine's load, many more than the one event.
    EXPECT_GE(cursorSteps.size(), 10u);
    EXPECT_GE(sliderSteps.size(), 8u);
    EXPECT_TRUE(std::is_sorted(cursorSteps.begin(), cursorSteps.end()));
    EXPECT_LE(cursorSteps.back(), 3800 + 400) << "no interval measured: at most the default lead ahead";
    EXPECT_GE(cursorSteps.back(), 4100);
    EXPECT_EQ(speed->Speed(), 44) << "the next fix's speed without a time event";

    front.Fire(VlcEventType::MediaPlayerPaused);
    QTest::qWait(50);
    const double pausedAt = cursor->Position();
    const int pausedSlider = slider->GetPos();
    QTest::qWait(200);
    EXPECT_EQ(cursor->Position(), pausedAt);
    EXPECT_EQ(slider->GetPos(), pausedSlider);
}

TEST_F(WindowFixture, AboutBoxFromTheQuestionMark)
{
    Start();
    Click(IDC_ABOUT);
    auto* about = window->findChild<QDialog*>(QStringLiteral("100"));
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Trivane 1"));
    EXPECT_EQ(about->geometry(), QRect(1280 - 500, 400 - 100, 500, 200));
    about->accept();
}

}  // namespace
}  // namespace trivane
