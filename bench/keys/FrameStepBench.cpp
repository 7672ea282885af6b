// The frame-step keys on the player as a user presses them: from the key press to a new picture
// on the front surface (read back from the X server), for "." (the next picture) and ","
// (the picture before), on the card's 1080p/720p MOV pair, paused after 1.5 s of playing.
//
//   trivane-bench-keys CARD [STEPS]      (default 15 steps each way; run under xvfb-run -a)
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/CQENApp.h"
#include "app/CQENDlg.h"
#include "app/CSettingsFile.h"
#include "app/ControlIds.h"
#include "playback/CVlcPlayer.h"

using namespace trivane;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto until = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > until) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void Pump(std::chrono::milliseconds span)
{
    WaitUntil([] { return false; }, span);
}

QImage Grab(const QWidget& surface)
{
    const QPoint origin = surface.mapToGlobal(QPoint(0, 0));
    return surface.screen()->grabWindow(0, origin.x(), origin.y(), surface.width(), surface.height()).toImage();
}

// Milliseconds from the key press until the surface shows another picture; -1 if none came
// within two seconds.
double KeyToPicture(CQENDlg& window, Qt::Key key)
{
    const QWidget& surface = *window.Control(IDC_FRONT_SURFACE);
    // A still picture to compare with.
    QImage before = Grab(surface);
    for (int i = 0; i < 10; ++i) {
        Pump(std::chrono::milliseconds(100));
        QImage now = Grab(surface);
        if (now == before) break;
        before = std::move(now);
    }
    const auto pressed = Clock::now();
    QTest::keyClick(&window, key);
    while (Clock::now() - pressed < std::chrono::seconds(2)) {
        if (Grab(surface) != before) return Ms(Clock::now() - pressed);
    }
    return -1;
}

void Report(const char* what, std::vector<double> ms, int steps)
{
    const auto missed = static_cast<int>(std::count(ms.begin(), ms.end(), -1.0));
    ms.erase(std::remove(ms.begin(), ms.end(), -1.0), ms.end());
    if (ms.empty()) {
        std::printf("%s: no new picture in %d presses\n", what, steps);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s, key to new picture (ms, %zu presses): min %.1f  median %.1f  max %.1f", what, ms.size(), ms.front(),
                ms[ms.size() / 2], ms.back());
    if (missed > 0) std::printf("  (%d presses showed nothing new)", missed);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "usage (with an X display): %s CARD [STEPS]\n", argv[0]);
        return 2;
    }
    const fs::path card = fs::absolute(argv[1]);
    const int steps = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    if (!CQENApp::PrepareProcess()) return 1;
    int qtArgc = 1;
    char name[] = "trivane";
    char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    CQENApp::PrepareApplication();

    // The pair alone, so that it is the recording that starts.
    const fs::path folder = fs::temp_directory_path() / ("trivane-bench-keys-" + std::to_string(getpid()));
    fs::create_directories(folder);
    for (const char* file : {"DCIM/MOVF/FILE240315-081500F.MOV", "DCIM/MOVR/FILE240315-081500R.MOV"})
        fs::copy_file(card / file, folder / fs::path(file).filename(), fs::copy_options::overwrite_existing);

    int status = 0;
    {
        CVlcPlayer front;
        CVlcPlayer rear;
        CQENApp::PrepareChannel(front);
        CQENApp::PrepareChannel(rear);
        CSettingsFile settings((folder / "Qen.ini").string());
        CQENDlg window(settings, front, rear);
        window.Initialise();
        window.show();
        window.activateWindow();
        window.OpenPath(folder.string());
        if (!WaitUntil([&] { return front.GetTime() > 1500; }, std::chrono::seconds(20))) {
            std::printf("the pair did not play\n");
            status = 1;
        } else {
            QTest::keyClick(&window, Qt::Key_Space);
            Pump(std::chrono::milliseconds(800));
            if (front.Playing() != 0) {
                std::printf("Space did not pause (the window has no keyboard focus?)\n");
                status = 1;
            } else {
                std::vector<double> forward, back;
                for (int i = 0; i < steps; ++i) forward.push_back(KeyToPicture(window, Qt::Key_Period));
                for (int i = 0; i < steps; ++i) back.push_back(KeyToPicture(window, Qt::Key_Comma));
                Report("\".\" next frame", forward, steps);
                Report("\",\" previous frame", back, steps);
            }
        }
        window.Shutdown();
    }
    fs::remove_all(folder);
    return status;
}
