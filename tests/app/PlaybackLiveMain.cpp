// The window with the real libVLC channels on an X server of its own, started before the
// QApplication so that Qt's xcb platform and libVLC's video output both draw there.
#include <QApplication>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "LiveTestSupport.h"
#include "PlaybackLiveChannels.h"
#include "app/CQENApp.h"
#include "playback/CVlcPlayer.h"

namespace trivane::testing {
namespace {

// Prepared as the program prepares its own: silent here, and without a GPU, video outputs
// without OpenGL.
struct ChannelPair {
    ChannelPair()
    {
        for (CVlcPlayer* channel : {&front, &rear}) CQENApp::PrepareChannel(*channel);
    }
    CVlcPlayer front;
    CVlcPlayer rear;
};

ChannelPair* g_channels = nullptr;

}  // namespace

CVlcPlayer& LiveFront() { return g_channels->front; }
CVlcPlayer& LiveRear() { return g_channels->rear; }

}  // namespace trivane::testing

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (ctest does, in every build) needs no display, no Qt and no libVLC.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    trivane::testing::Xvfb xvfb;
    if (!xvfb.Running()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    char runtimeTemplate[] = "/tmp/trivane-live-XXXXXX";
    const char* runtime = ::mkdtemp(runtimeTemplate);
    if (runtime == nullptr) return 1;
    ::setenv("DISPLAY", xvfb.Display().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // No sound server in there: the channels' silent output is the only one.
    ::setenv("XDG_RUNTIME_DIR", runtime, 1);
    ::setenv("QT_LOGGING_RULES", "default.info=false", 0);

    int status = 1;
    {
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        auto channels = std::make_unique<trivane::testing::ChannelPair>();
        trivane::testing::g_channels = channels.get();
        status = RUN_ALL_TESTS();
        channels.reset();
        trivane::testing::g_channels = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    return status;
}
