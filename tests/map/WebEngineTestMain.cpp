// Browser tests run offscreen, quietly and hermetically: home, caches and the browser profile live
// in a folder beside the test program, which is emptied first. The map pages' scheme is known.
// Built with TRIVANE_WEBENGINE_TEST_XVFB, they run on an X server of their own instead, and with
// TRIVANE_WEBENGINE_TEST_SOFTWARE the browser composes in software.
#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "map/CMapHost.h"
#include "map/CMapSchemeHandler.h"

#include <sys/stat.h>
#include <unistd.h>

#ifdef TRIVANE_WEBENGINE_TEST_XVFB
#include <cstdio>
#include <optional>

#include "Xvfb.h"
#endif

// Under AddressSanitizer: Chromium inside Qt WebEngine (not instrumented) deletes some objects
// through a base of another size and keeps process-wide objects alive at exit; neither is ours.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\n"; }

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases (ctest does, in every build) needs no display and no browser.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
#ifdef TRIVANE_WEBENGINE_TEST_XVFB
    std::optional<trivane::testing::Xvfb> xvfb(std::in_place);
    if (!xvfb->Running()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", QByteArray::fromStdString(xvfb->Display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
#endif
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-dev-shm-usage");
    qputenv("QT_LOGGING_RULES", "qt.webenginecontext=false;default.info=false;js=false");
    qputenv("QT_DISABLE_SHADER_DISK_CACHE", "1");
    // Chromium's renderer does not start as root with its sandbox on.
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath();
    QDir home(QFileInfo(program).absolutePath() + QStringLiteral("/webengine-home-") + QFileInfo(program).fileName() +
              QLatin1Char('-') + QString::number(::getpid()));
    home.removeRecursively();
    home.mkpath(QStringLiteral("run"));
    ::chmod(QFile::encodeName(home.filePath(QStringLiteral("run"))).constData(), 0700);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath(QStringLiteral("run"))));

    trivane::CMapSchemeHandler::RegisterScheme();
#ifdef TRIVANE_WEBENGINE_TEST_SOFTWARE
    trivane::CMapHost::ComposeInSoftware();
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    int status = 0;
    {
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    home.removeRecursively();
    return status;
}
