#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <csignal>
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "FakeChannel.h"
#include "FileText.h"
#include "TempDir.h"
#include "TestCard.h"
#include "app/CQENDlg.h"
#include "app/CSettingsFile.h"
#include "app/CMainMenu.h"
#include "app/ControlIds.h"
#include "library/MapScripts.h"
#include "map/CMapHost.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

// Plays the main window's part: on WM_MAP_HOST_READY it shows the provider's page.
class ReadyReceiver final : public QObject {
public:
    explicit ReadyReceiver(CMapHost*& host) : host_(host) {}
    int readyCount = 0;
    int provider = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != CWindowMessageEvent::TypeOf(WM_MAP_HOST_READY)) return QObject::event(e);
        ++readyCount;
        if (host_ != nullptr) host_->ShowMap(provider);
        return true;
    }

private:
    CMapHost*& host_;
};

// Runs an expression in the page and waits for its value.
QVariant Eval(QWebEnginePage* page, const QString& expression)
{
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    page->runJavaScript(expression, [result](const QVariant& value) { *result = {true, value}; });
    if (!QTest::qWaitFor([result] { return result->first; }, 10000)) ADD_FAILURE() << "no answer to " << qPrintable(expression);
    return result->second;
}

// A host on a folder of stub pages that keep every call they receive.
class MapHostFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::copy(QStringLiteral(TRIVANE_MAP_TEST_DIR "/StubMapPage.html"), QString::fromStdString(pages / "osmmap.html"));
        QFile::copy(QStringLiteral(TRIVANE_MAP_TEST_DIR "/StubMapPage.html"), QString::fromStdString(pages / "gmap.html"));
    }

    CMapHost::Options Options()
    {
        CMapHost::Options options;
        options.pageFolder = QString::fromStdString(pages.Path());
        options.profileFolder = QString::fromStdString(data / "profile");
        options.cacheFolder = QString::fromStdString(data / "cache");
        options.readKeys = [this] { return keys; };
        options.reportFailure = [this](const QString& text) { failures.push_back(text.toStdString()); };
        options.openLink = [this](const QUrl& url) { opened.push_back(url.toString().toStdString()); };
        options.glideTimerStepMs = 0;
        return options;
    }

    void Create(CMapHost::Options options)
    {
        host = new CMapHost(&parent, std::move(options));
        owner.reset(host);
    }

    // Creation through to the first page, with every queued call delivered.
    void StartAndWait()
    {
        host->CreateBrowser(&receiver);
        ASSERT_TRUE(QTest::qWaitFor([this] { return host->PageLoaded(); }, 20000));
        WaitDelivered();
    }

    void WaitDelivered()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return host->PageLoaded() && host->QueuedCalls() == 0; }, 20000));
        // The last chunk was handed over; a round trip puts it behind us.
        Eval(host->Page(), QStringLiteral("0"));
    }

    // The calls the page received, "name arg arg|name ...".
    std::string Calls()
    {
        return Eval(host->Page(), QStringLiteral("calls.map(function(c){return c.join(' ');}).join('|')"))
            .toString()
            .toStdString();
    }

    test::TempDir pages;
    test::TempDir data;
    QWidget parent;
    CMapHost* host = nullptr;
    std::unique_ptr<CMapHost> owner;
    ReadyReceiver receiver{host};
    MapKeys keys;
    std::vector<std::string> failures;
    std::vector<std::string> opened;
};

// Calls made before the browser exists reach the first page, in order, with points for decimal
// separators even under a decimal-comma locale; a second load of the same page keeps them.
TEST_F(MapHostFixture, CallsBeforeReadyReachTheFirstPage)
{
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    Create(Options());
    host->RunScript(kDrivenPathDeleteScript);
    host->RunScript(kPathDeleteScript);
    host->RunScript(PathPlotScript(35.681234, 139.767052));
    host->RunScript(PathPlotScript(35.682, 139.768));
    host->MovePosition(35.40874, 139.460231);  // NMEA ddmm.mmmm / 100
    StartAndWait();
    std::setlocale(LC_ALL, "C");

    EXPECT_EQ(receiver.readyCount, 1);
    EXPECT_TRUE(host->PageUrl().path().endsWith(QStringLiteral("/osmmap.html")));
    EXPECT_EQ(Calls(), "path_delete|path_plot 35.681234 139.767052|path_plot 35.682 139.768|pathdrived_delete|"
                       "movpos 35.681233 139.767052");
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("typeof calls[4][1]")).toString(), QStringLiteral("number"));

    // Every OK in the configuration dialog shows the same page again: nothing reloads.
    QSignalSpy loads(host->Page(), &QWebEnginePage::loadStarted);
    host->ShowMap(0);
    host->RunScript(PathPlotScript(1, 2));
    WaitDelivered();
    EXPECT_EQ(loads.count(), 0);
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("calls.length")).toInt(), 6);
}

// Another provider's page and a renderer that died both get the current route, driven path and
// marker back, after the glide's stepping.
TEST_F(MapHostFixture, NewPagesGetTheRouteBack)
{
    CMapHost::Options options = Options();
    options.glideTimerStepMs = 125;
    Create(std::move(options));
    StartAndWait();
    host->RunScript(kPathDeleteScript);
    for (int i = 0; i < 3; ++i) host->RunScript(PathPlotScript(10 + i, 20 + i));
    host->RunScript(MoveScript(10, 20));
    host->RunScript(MoveScript(11, 21));
    host->RunScript(kDrivenPathDeleteScript);  // a seek back to the start
    host->RunScript(DrivenPathPlotScript(10, 20));
    WaitDelivered();
    const std::string expected = "glide_timer 125|path_delete|path_plot 10 20|path_plot 11 21|path_plot 12 22|"
                                 "movpos 11 21|pathdrived_delete|pathdrived_plot 10 20";

    keys.google = "AIzaTestKey_0123456789-abcdefghijklmnopq";
    host->ShowMap(0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return host->PageUrl().path().endsWith(QStringLiteral("/gmap.html")); }, 1000));
    EXPECT_EQ(host->PageUrl().query(), QStringLiteral("key=AIzaTestKey_0123456789-abcdefghijklmnopq"));
    WaitDelivered();
    EXPECT_EQ(Calls(), expected);

    const qint64 pid = host->Page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    QSignalSpy reloaded(host, &CMapHost::pageLoaded);
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reloaded.count() == 1; }, 20000));
    WaitDelivered();
    EXPECT_NE(host->Page()->renderProcessPid(), pid);
    EXPECT_EQ(Calls(), expected);

    // Closing the recording empties the map, marker included, and nothing comes back.
    host->ResetPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return reloaded.count() == 2; }, 20000));
    WaitDelivered();
    EXPECT_EQ(Calls(), "glide_timer 125|path_delete|pathdrived_delete");
}

// 36,000 route points go to the page in a few dozen scripts, in order, and a call that throws
// does not take its neighbours with it.
TEST_F(MapHostFixture, LongRoutesGoInChunks)
{
    Create(Options());
    StartAndWait();
    Eval(host->Page(), QStringLiteral("calls = []; 0"));
    const std::size_t before = host->ScriptRuns();
    host->RunScript(kPathDeleteScript);
    for (int i = 0; i < 36000; ++i) {
        host->RunScript(PathPlotScript(i / 1000.0, 1));
        if (i == 17000) host->RunScript("fails()");
    }
    WaitDelivered();
    EXPECT_LE(host->ScriptRuns() - before, 40u);
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("calls.length")).toInt(), 36001);
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("calls[36000][1]")).toDouble(), 35.999);
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("calls.every(function(c,i){return i==0||Math.round(c[1]*1000)==i-1;})")).toBool(), true);
}

// The view stays on the map page: a followed link opens outside, scripts cannot navigate it away
// or open windows.
TEST_F(MapHostFixture, NavigationStaysOnThePage)
{
    Create(Options());
    StartAndWait();
    const QUrl page = host->Page()->url();
    Eval(host->Page(), QStringLiteral("document.getElementById('link').click(); 0"));
    Eval(host->Page(), QStringLiteral("window.open('https://example.org/popup'); 0"));
    Eval(host->Page(), QStringLiteral("location.href = 'file:///etc/passwd'; 0"));
    QTest::qWait(300);
    EXPECT_EQ(host->Page()->url(), page);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://www.openstreetmap.org/copyright"}));
    host->RunScript(PathPlotScript(1, 2));
    WaitDelivered();
    EXPECT_EQ(Calls(), "path_delete|pathdrived_delete|path_plot 1 2");  // the replay, then the new point
}

TEST_F(MapHostFixture, CreationFailuresLeaveAQuietHost)
{
    test::WriteText(data / "profile", "a file where the profile folder goes");
    Create(Options());
    host->CreateBrowser(&receiver);
    host->ShowMap(0);
    host->RunScript(PathPlotScript(1, 2));
    QTest::qWait(100);
    EXPECT_EQ(host->CurrentState(), CMapHost::State::Failed);
    EXPECT_EQ(failures, (std::vector<std::string>{
                            "User data folder cannot be created because a file with the same name already "}));
    EXPECT_EQ(host->Page(), nullptr);
    EXPECT_EQ(receiver.readyCount, 0);
    EXPECT_FALSE(host->View()->isVisibleTo(&parent));

    // The browser's helper program missing is told before the browser is touched.
    qputenv("QTWEBENGINE_PROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    failures.clear();
    CMapHost second(&parent, Options());
    second.CreateBrowser(&receiver);
    QTest::qWait(50);
    qunsetenv("QTWEBENGINE_PROCESS_PATH");
    EXPECT_EQ(second.Failure(), MapHostFailure::RuntimeMissing);
    EXPECT_EQ(failures, (std::vector<std::string>{"Couldn't find Edge WebView2 Runtime. "}));
}

// The main window with the real host: the map view covers exactly the layout's map rectangle after
// every layout; a host that failed leaves the rectangle painted and the window working.
class WindowMapFixture : public MapHostFixture {
protected:
    void StartWindow(bool failing)
    {
        if (failing) test::WriteText(data / "profile", "x");
        settings = std::make_unique<CSettingsFile>(data / "Qen.ini");
        CQENDlg::Seams seams;
        seams.messageBox = [this](const QString& text, const QString&) { failures.push_back(text.toStdString()); };
        seams.makeMapPane = [this](QWidget* mainWindow) -> std::unique_ptr<IMapPane> {
            CMapHost::Options options = Options();
            options.reportFailure = [this](const QString& text) { failures.push_back(text.toStdString()); };
            auto pane = std::make_unique<CMapHost>(mainWindow, std::move(options));
            host = pane.get();
            return pane;
        };
        window = std::make_unique<CQENDlg>(*settings, front, rear, std::move(seams));
        window->Initialise();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override
    {
        if (window) window->Shutdown();
        window.reset();
        host = nullptr;
    }

    test::FakeChannel front;
    test::FakeChannel rear;
    std::unique_ptr<CSettingsFile> settings;
    std::unique_ptr<CQENDlg> window;
};

QRect ToQRect(const LayoutRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

TEST_F(WindowMapFixture, ViewFollowsTheLayout)
{
    StartWindow(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->MapHostReady() && host->PageLoaded(); }, 20000));
    auto check = [this](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_TRUE(window->CurrentLayout().mapShown);
        EXPECT_TRUE(host->View()->isVisible());
        EXPECT_EQ(host->View()->geometry(), ToQRect(window->CurrentLayout().map));
        EXPECT_EQ(host->BrowserView()->geometry().size(), host->View()->size());
    };
    check("ready");
    window->resize(1200, 760);
    QApplication::processEvents();
    check("resized");
    auto* mapButton = qobject_cast<QAbstractButton*>(window->Control(IDC_MAP));
    ASSERT_NE(mapButton, nullptr);
    mapButton->click();
    QApplication::processEvents();
    EXPECT_FALSE(host->View()->isVisible());
    mapButton->click();
    QApplication::processEvents();
    check("shown again");
    window->resize(900, 600);
    QApplication::processEvents();
    check("smaller");
    EXPECT_TRUE(failures.empty());
}

TEST_F(WindowMapFixture, FailedHostLeavesThePlaceholder)
{
    StartWindow(true);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !failures.empty(); }, 5000));
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_FALSE(window->MapHostReady());
    const QImage shot = window->grab().toImage();
    const QRect map = ToQRect(window->CurrentLayout().map);
    ASSERT_FALSE(map.isEmpty());
    EXPECT_EQ(QColor(shot.pixel(map.center())), QColor(156, 192, 249));
    // The rest works: the map button still toggles the pane.
    auto* mapButton = qobject_cast<QAbstractButton*>(window->Control(IDC_MAP));
    mapButton->click();
    EXPECT_FALSE(window->MapEnabledFlag());
}

// The G-force event of the recording on show is marked on the route where the car was last known
// to be then.
TEST_F(WindowMapFixture, EventOfTheRecordingShownIsMarkedOnTheRoute)
{
    StartWindow(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->MapHostReady() && host->PageLoaded(); }, 20000));
    writer::Telemetry t;
    // A fix a second, a minute of latitude apart, without a position at 12 s; a hard stop 12 s in.
    for (int i = 0; i < 20; ++i) t.fixes.push_back(test::Fix(3540.0 + i, 13946.0, 30, i != 12));
    t.samples.assign(200, GSensorSample{0, 0, 64});
    t.gsensorRateCode = 5;
    t.gsensorRange = 16;
    for (std::size_t i = 120; i < 123; ++i) t.samples[i].x = -64;
    const std::string card = data / "card";
    test::MakeFolder(card);
    test::WriteAvi(card + "/FILE0001.AVI", "2024-03-15 08:15:00", 20, t);
    front.length = 20000;
    window->OpenPath(card);
    ASSERT_TRUE(QTest::qWaitFor([this] { return front.Count("play") > 0; }, 3000));
    front.Fire(VlcEventType::MediaPlayerTimeChanged, 1000);

    const QString marks = QStringLiteral("calls.filter(function (c) { return c[0] === 'event_plot'; })");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Eval(host->Page(), marks + QStringLiteral(".length")).toInt() == 1; },
                                10000));
    EXPECT_NEAR(Eval(host->Page(), marks + QStringLiteral("[0][1]")).toDouble(), 35 + 51.0 / 60, 1e-6);
    EXPECT_NEAR(Eval(host->Page(), marks + QStringLiteral("[0][2]")).toDouble(), 139 + 46.0 / 60, 1e-6);
    // Sent after clearing the last recording's marks, after the speeds of the route's 19 fixes.
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("calls[calls.length - 2][0]")).toString(),
              QStringLiteral("event_delete"));
    EXPECT_EQ(Eval(host->Page(), QStringLiteral("calls[calls.length - 3][0] + ' ' + calls[calls.length - 3][1].length"))
                  .toString(),
              QStringLiteral("route_speeds 19"));
}

// The speed colouring from the context menu reaches the page and is remembered: the next start's
// page gets it before anything else is drawn.
TEST_F(WindowMapFixture, SpeedColouredRouteIsRememberedAndGivenToEveryPage)
{
    StartWindow(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->MapHostReady() && host->PageLoaded(); }, 20000));
    const QString colouring = QStringLiteral(
        "JSON.stringify(calls.filter(function (c) { return c[0] === 'route_colouring'; })"
        ".map(function (c) { return c[1]; }))");
    const auto colouringIs = [&](const char* calls) {
        return QTest::qWaitFor([&] { return Eval(host->Page(), colouring).toString() == QLatin1String(calls); }, 5000);
    };
    EXPECT_EQ(Eval(host->Page(), colouring).toString(), QStringLiteral("[]"));
    window->Menu().Action(IDM_SPEED_ROUTE)->trigger();
    ASSERT_TRUE(colouringIs("[1]"));
    EXPECT_TRUE(window->Menu().Action(IDM_SPEED_ROUTE)->isChecked());
    EXPECT_NE(test::ReadText(data / "Qen.ini").find("SPEEDROUTE=1"), std::string::npos);

    TearDown();
    StartWindow(false);
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->MapHostReady() && host->PageLoaded(); }, 20000));
    ASSERT_TRUE(colouringIs("[1]"));
    window->Menu().Action(IDM_SPEED_ROUTE)->trigger();
    ASSERT_TRUE(colouringIs("[1,0]"));
    EXPECT_NE(test::ReadText(data / "Qen.ini").find("SPEEDROUTE=0"), std::string::npos);
}

}  // namespace
}  // namespace trivane
