// On X11 the map's browser is a window of its own inside the pane's: the page shows in the pane's
// place on the screen and follows it, while the main window keeps plain painting and its native
// children (the video surfaces libVLC draws into) keep their X windows. Built twice: the browser
// composing with OpenGL, and in software as the program does without a GPU.
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "TempDir.h"
#include "map/CMapHost.h"
#include "playback/WindowMessages.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

const QColor kPage(20, 200, 60);

// The main window's part: shows the page once the host is ready.
class Window final : public QWidget {
public:
    CMapHost* host = nullptr;
    int menus = 0;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        ++menus;
        event->accept();
    }

    bool event(QEvent* e) override
    {
        if (e->type() != CWindowMessageEvent::TypeOf(WM_MAP_HOST_READY)) return QWidget::event(e);
        if (host != nullptr) host->ShowMap(0);
        return true;
    }
};

// The colour on the screen at a point of the window.
QColor ScreenAt(const QWidget& window, QPoint point)
{
    const QPoint global = window.mapToGlobal(point);
    const QImage image = window.screen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
    return image.isNull() ? QColor() : image.pixelColor(0, 0);
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 8 && std::abs(a.green() - b.green()) < 8 && std::abs(a.blue() - b.blue()) < 8;
}

TEST(MapOnX11, ThePageShowsInThePanesPlaceAndFollowsItWhileTheWindowKeepsPlainPainting)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    test::TempDir pages;
    test::TempDir data;
    {
        QFile page(QString::fromStdString(pages / "osmmap.html"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<!DOCTYPE html><html><body style=\"margin:0;background:rgb(20,200,60)\"></body></html>");
    }
    CMapHost::Options options;
    options.pageFolder = QString::fromStdString(pages.Path());
    options.profileFolder = QString::fromStdString(data / "profile");
    options.cacheFolder = QString::fromStdString(data / "cache");

    Window window;
    window.setAttribute(Qt::WA_StyledBackground);
    window.setStyleSheet(QStringLiteral("background: black"));
    window.setGeometry(0, 0, 640, 480);
    QWidget video(&window);
    video.setAttribute(Qt::WA_NativeWindow);
    video.setGeometry(10, 10, 200, 120);
    const WId videoWindow = video.winId();

    auto host = std::make_unique<CMapHost>(&window, options);
    window.host = host.get();
    host->SetBounds(QRect(400, 40, 200, 150));
    host->CreateBrowser(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->PageLoaded(); }, 20000));

    const QPoint first(500, 115);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Near(ScreenAt(window, first), kPage); }, 10000))
        << "pane shows " << qPrintable(ScreenAt(window, first).name());
    // Nothing of the browser outside the pane (a browser window of its own at the screen's corner).
    EXPECT_FALSE(Near(ScreenAt(window, QPoint(300, 300)), kPage));
    EXPECT_FALSE(Near(ScreenAt(window, QPoint(100, 200)), kPage));

    // The main window is not composited with OpenGL, and its native children kept their windows.
    EXPECT_EQ(window.windowHandle()->surfaceType(), QSurface::RasterSurface);
    EXPECT_EQ(video.winId(), videoWindow);
    // The browser's window is composited with OpenGL only when the browser composes with it.
    EXPECT_EQ(host->BrowserView()->window()->windowHandle()->surfaceType(),
              CMapHost::ComposesInSoftware() ? QSurface::RasterSurface : QSurface::OpenGLSurface);

    // A right click the page leaves reaches the main window (its menu), as from the other panes.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 6), host->BrowserView()->mapToGlobal(QPoint(5, 6)));
    QCoreApplication::sendEvent(host->BrowserView(), &click);
    EXPECT_EQ(window.menus, 1);

    // Moved and resized with the pane.
    host->SetBounds(QRect(20, 200, 300, 200));
    const QPoint second(170, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Near(ScreenAt(window, second), kPage); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Near(ScreenAt(window, QPoint(315, 395)), kPage); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Near(ScreenAt(window, first), kPage); }, 10000));
    EXPECT_EQ(host->BrowserView()->size(), QSize(300, 200));

    // Hidden and shown with the pane.
    host->View()->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Near(ScreenAt(window, second), kPage); }, 10000));
    host->View()->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Near(ScreenAt(window, second), kPage); }, 10000));

    // The browser's window goes with the host; the main window stays intact.
    host.reset();
    window.host = nullptr;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Near(ScreenAt(window, second), kPage); }, 10000));
    EXPECT_EQ(video.winId(), videoWindow);
}

}  // namespace
}  // namespace trivane
