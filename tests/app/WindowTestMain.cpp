// The window tests run offscreen on two screens side by side: a primary 1280x800 one at the origin
// and a 1920x1080 one to its right.
#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The offscreen platform says so for every mask, raise and mouse grab; nothing else is hidden.
QtMessageHandler g_defaultHandler = nullptr;

void QuietPlatformLimits(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (g_defaultHandler != nullptr) g_defaultHandler(type, context, message);
    else std::fprintf(stderr, "%s\n", qPrintable(message));
}

}  // namespace

int main(int argc, char** argv)
{
    const QString config = QDir::temp().filePath(QStringLiteral("trivane-window-test-%1.json").arg(QCoreApplication::applicationPid()));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 2;
    file.write(R"({"windowFrameMargins": false, "screens": [
        {"name": "primary", "x": 0, "y": 0, "width": 1280, "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "second", "x": 1280, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    g_defaultHandler = qInstallMessageHandler(QuietPlatformLimits);
    QApplication app(argc, argv);
    QFile::remove(config);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
