// A one-hour route (36,000 fixes) from LoadTelemetry to the key-less map page holding every point,
// with the host's chunked delivery and, as the baseline, one script per call. Prints the time and
// the longest stall of the window thread's event loop, for alternating runs of both.
// Usage: trivane-bench-map [RUNS [CALLS-PER-CHUNK]]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "OneHourMov.h"
#include "library/CRecordingManager.h"
#include "map/CMapHost.h"
#include "map/CMapSchemeHandler.h"
#include "widgets/WindowMessage.h"

namespace {

using namespace trivane;

class ReadyReceiver final : public QObject {
public:
    explicit ReadyReceiver(CMapHost& host) : host_(host) {}

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != CWindowMessageEvent::TypeOf(WM_MAP_HOST_READY)) return QObject::event(e);
        host_.ShowMap(0);
        return true;
    }

private:
    CMapHost& host_;
};

// Spins the event loop until `done` or the timeout; false on timeout.
template <typename Done>
bool WaitFor(Done done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The number of points the page's route line has drawn, asked without blocking.
int DrawnRoute(QWebEnginePage* page)
{
    auto answer = std::make_shared<int>(-2);
    page->runJavaScript(QStringLiteral("trivaneMapState().drawnRoute"),
                        [answer](const QVariant& value) { *answer = value.isValid() ? value.toInt() : -1; });
    WaitFor([&] { return *answer != -2; }, 30000);
    return *answer;
}

struct Run {
    double ms = 0;
    double stallMs = 0;
};

// Measures one load: the clock starts before LoadTelemetry and stops when the page has drawn every
// point; a 1 ms timer notes the longest gap between its ticks (LoadTelemetry's own time included).
Run Measure(CRecordingManager& manager, CMapHost& host, int expected)
{
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    clock.start();
    ticker.start();
    manager.LoadTelemetry(0);
    const qint64 afterLoad = clock.nsecsElapsed();
    longest = std::max(longest, afterLoad - lastTick);
    lastTick = afterLoad;
    bool complete = false;
    while (!complete) {
        complete = DrawnRoute(host.Page()) == expected;
        if (!complete) WaitFor([] { return false; }, 2);
    }
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    ticker.stop();
    return {ms, static_cast<double>(longest) / 1e6};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (runs < 1) runs = 1;
    char pattern[] = "/tmp/trivane-mapbench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return 1;
    const std::string root = pattern;
    if (!bench::WriteOneHourMov(root + "/FILE0001.MOV")) return 1;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage");
    qputenv("QT_LOGGING_RULES", "qt.webenginecontext=false;js=false");
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    CMapSchemeHandler::RegisterScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);

    int status = 0;
    {
        QWidget window;
        window.resize(800, 600);
        CMapHost::Options options;
        options.pageFolder = QStringLiteral(TRIVANE_MAP_PAGE_DIR);
        options.profileFolder = QString::fromStdString(root + "/profile");
        options.cacheFolder = QString::fromStdString(root + "/cache");
        if (argc > 2) options.chunkCalls = static_cast<std::size_t>(std::atoi(argv[2]));
        CMapHost host(&window, options);
        host.SetBounds(QRect(0, 0, 800, 600));
        host.View()->show();
        window.show();
        ReadyReceiver receiver(host);
        host.CreateBrowser(&receiver);

        CRecordingManager manager;
        manager.OpenSource(root, "");
        manager.SetMapHost(&host);
        if (!WaitFor([&] { return host.PageLoaded() && DrawnRoute(host.Page()) == 0; }, 30000)) {
            std::fprintf(stderr, "the map page did not load\n");
            status = 1;
        } else {
            manager.LoadTelemetry(0);  // warm up
            const int expected = static_cast<int>(manager.Track().fixStore.size());
            WaitFor([&] { return DrawnRoute(host.Page()) == expected; }, 60000);
            std::vector<double> ms[2];
            std::vector<double> stall[2];
            for (int i = 0; i < runs; ++i) {
                for (int batched = 1; batched >= 0; --batched) {
                    host.SetBatching(batched == 1);
                    manager.ClearTelemetry();
                    WaitFor([&] { return DrawnRoute(host.Page()) == 0; }, 60000);
                    const Run run = Measure(manager, host, expected);
                    ms[batched].push_back(run.ms);
                    stall[batched].push_back(run.stallMs);
                }
            }
            std::printf("Route of %d fixes from LoadTelemetry to the page holding it (median of %d, offscreen):\n",
                        expected, runs);
            std::printf("  chunked:      %7.1f ms, longest event-loop stall %6.1f ms (goal < 300 ms, < 50 ms)\n",
                        Median(ms[1]), Median(stall[1]));
            std::printf("  one by one:   %7.1f ms, longest event-loop stall %6.1f ms (baseline)\n", Median(ms[0]),
                        Median(stall[0]));
            std::printf("  ratio:        %7.2f x faster, stall %.2f x shorter\n", Median(ms[0]) / Median(ms[1]),
                        Median(stall[0]) / Median(stall[1]));
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    return status;
}
