#include "app/CQENApp.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/CQENDlg.h"
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

MapKeys ReadMapKeys(const CSettingsFile& settings)
{
    return {settings.GetString("UI", "GMAPKEY", "", 256), settings.GetString("UI", "BMAPKEY", "", 256)};
}

}  // namespace

bool CQENApp::PrepareProcess()
{
    if (!ChoosePlatform()) return false;
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
    // The browser's start-up report is for its developers; QT_LOGGING_RULES still overrides this.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    InitArtResources();
    QApplication::setWindowIcon(QIcon(PngResourcePath(157)));
}

void CQENApp::PrepareChannel(CVlcPlayer& channel)
{
    static const bool sound = HasSoundServer();
    channel.SetSnapshotConverter(&ConvertPngToJpeg);
    if (!sound) channel.SetAudioOutput("adummy");
}

int CQENApp::Run(int argc, char** argv)
{
    if (!PrepareProcess()) return 1;
    QApplication app(argc, argv);
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
    CloseOnTerminationSignals(window);
    if (argc > 1) {
        const std::string path(argv[1]);
        if (!PathExists(path)) std::fprintf(stderr, "trivane: %s does not exist\n", path.c_str());
        QTimer::singleShot(0, &window, [&window, path] { window.OpenPath(path); });
    }
    const int status = app.exec();
    window.Shutdown();
    return status;
}

}  // namespace trivane
