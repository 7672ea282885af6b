#include "app/CQENApp.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/CDropOpener.h"
#include "app/CQENDlg.h"
#include "app/CommandLine.h"
#include "app/CSettingsFile.h"
#include "app/SnapshotJpeg.h"
#include "files/FileSystem.h"
#include "map/CMapHost.h"
#include "map/CMapSchemeHandler.h"
#include "playback/CVlcPlayer.h"
#include "widgets/ArtResources.h"

namespace trivane {
namespace {

// libVLC draws only into X11 windows; under Wayland the program runs through XWayland.
bool ChoosePlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "trivane: no X display (DISPLAY is not set); the player needs one to show video.\n");
        return false;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

// Without one (a virtual machine, Xvfb, a remote display) OpenGL is Mesa's software renderer.
// Looked up once per process.
bool HasGpuRenderNode()
{
    static const bool found = [] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error))
            if (entry.path().filename().string().rfind("renderD", 0) == 0) return true;
        return false;
    }();
    return found;
}

// Without a GPU the map's composition costs about a quarter less through EGL than through GLX.
// With a GPU, and when the user chose, Qt's own choice stays.
void ChooseGlIntegration()
{
    if (qgetenv("QT_QPA_PLATFORM") != "xcb" || !qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION")) return;
    if (!HasGpuRenderNode()) qputenv("QT_XCB_GL_INTEGRATION", "xcb_egl");
}

// Without a GPU the map's frames cost about half the CPU composed in software: Chromium and Qt
// then draw them without Mesa's software OpenGL. The user's own choice of Qt Quick backend stays.
void ChooseMapComposition()
{
    if (qgetenv("QT_QPA_PLATFORM") != "xcb" || !qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) return;
    if (!HasGpuRenderNode()) CMapHost::ComposeInSoftware();
}

// Without a sound server libVLC's default output retries for ever and floods the terminal.
bool HasSoundServer()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') return false;
    const std::string dir(runtime);
    return PathExists(dir + "/pulse/native") || PathExists(dir + "/pipewire-0");
}

// SIGTERM, SIGINT and SIGHUP (a session that ends, Ctrl+C) close the window as its X button
// does: the handler only writes a byte, which the event loop picks up.
int g_signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void CloseOnTerminationSignals(QWidget& window)
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char buffer[16];
        while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        // Modal boxes included: every window goes and every event loop ends.
        window.close();
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// Chromium does not start its renderer as root with its sandbox on, and the map would take the
// whole program down with it.
void AllowMapAsRoot()
{
    if (::geteuid() != 0 || !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) return;
    if (qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"))) return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr, "trivane: running as root, so the map's browser runs without its sandbox\n");
}

// Exit status of --help and --version: a full disk or closed pipe is a failure, not a success.
int PrintToStdout(const std::string& text)
{
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::fprintf(stderr, "trivane: cannot write to standard output\n");
    return 1;
}

MapKeys ReadMapKeys(const CSettingsFile& settings)
{
    return {settings.GetString("UI", "GMAPKEY", "", 256), settings.GetString("UI", "BMAPKEY", "", 256)};
}

}  // namespace

bool CQENApp::PrepareProcess()
{
    // libVLC's decoders free picture buffers of hundreds of kilobytes on threads of their own.
    // With glibc's sliding threshold those end up in per-thread heaps that keep growing over
    // hours of playing; a fixed threshold maps each on its own and gives it back when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    mallopt(M_ARENA_MAX, 4);
    if (!ChoosePlatform()) return false;
    ChooseGlIntegration();
    ChooseMapComposition();
    AllowMapAsRoot();
    CMapSchemeHandler::RegisterScheme();
    // The map's browser shares OpenGL contexts with the window.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Native children stay native children: without this, libVLC's windows are recreated
    // beneath it when other native widgets appear.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    return true;
}

void CQENApp::PrepareApplication()
{
    // QApplication adopts the environment's locale; numbers in scripts and files stay "C".
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Trivane"));
    // Ties the windows to the installed desktop entry (its name and icon in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("trivane"));
    // The browser's start-up report is for its developers; QT_LOGGING_RULES still overrides this.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    InitArtResources();
    QApplication::setWindowIcon(QIcon(PngResourcePath(157)));
    // Memory freed inside glibc's heaps (each recording's decoders, the browser's turnover) stays
    // with the process until trimmed: given back twice a minute (a trim takes about a millisecond).
    auto* trim = new QTimer(qApp);
    QObject::connect(trim, &QTimer::timeout, [] { malloc_trim(0); });
    trim->start(std::chrono::seconds(30));
}

void CQENApp::PrepareChannel(CVlcPlayer& channel)
{
    static const bool sound = HasSoundServer();
    // Without a GPU the picture costs less scaled on the CPU than through software OpenGL.
    if (!HasGpuRenderNode()) channel.SetOpenGlVideo(false);
    channel.SetSnapshotConverter(&ConvertPngToJpeg);
    if (!sound) channel.SetAudioOutput("adummy");
}

int CQENApp::Run(int argc, char** argv)
{
    const CommandLine commandLine = ParseCommandLine({argv, static_cast<std::size_t>(argc)});
    switch (commandLine.action) {
    case CommandLine::Action::Help: return PrintToStdout(UsageText());
    case CommandLine::Action::Version: return PrintToStdout(VersionText());
    case CommandLine::Action::Error:
        std::fprintf(stderr, "trivane: %s\nTry 'trivane --help' for more information.\n", commandLine.error.c_str());
        return 2;
    case CommandLine::Action::Run: break;
    }
    if (commandLine.desktop) CSettingsFile::ChooseInstancePlace(CSettingsFile::Place::UserConfig);

    if (!PrepareProcess()) return 1;
    // Qt sees the program name alone: its own options (-style, -platform, ...) would otherwise
    // take a path given after "--".
    char fallbackName[] = "trivane";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    QApplication app(qtArgc, qtArgv);
    PrepareApplication();

    CVlcPlayer front;
    CVlcPlayer rear;
    PrepareChannel(front);
    PrepareChannel(rear);

    CSettingsFile& settings = CSettingsFile::Instance();
    CQENDlg::Seams seams;
    seams.makeMapPane = [&settings](QWidget* window) -> std::unique_ptr<IMapPane> {
        CMapHost::Options options;
        options.readKeys = [&settings] { return ReadMapKeys(settings); };
        options.reportFailure = [window](const QString& text) {
            QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, window);
            box.exec();
        };
        return std::make_unique<CMapHost>(window, std::move(options));
    };
    CQENDlg window(settings, front, rear, std::move(seams));
    window.Initialise();
    window.show();
    // The keyboard's window from the start, also without a window manager: X would otherwise give
    // keys to the window under the pointer, the map's browser among them.
    window.activateWindow();
    CloseOnTerminationSignals(window);
    CDropOpener::Install(window, [&window](const std::string& path) { window.OpenPath(path); });
    if (commandLine.path) {
        const std::string path = *commandLine.path;
        if (!PathExists(path)) std::fprintf(stderr, "trivane: %s does not exist\n", path.c_str());
        QTimer::singleShot(0, &window, [&window, path] { window.OpenPath(path); });
    }
    const int status = app.exec();
    window.Shutdown();
    return status;
}

}  // namespace trivane
