#include "WidgetTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>

#include "widgets/WindowMessage.h"

namespace trivane::test {

std::unique_ptr<QWidget> MakeHost(QSize size, const QColor& background) {
    auto host = std::make_unique<QWidget>();
    host->setAttribute(Qt::WA_DontShowOnScreen);
    QPalette pal = host->palette();
    pal.setColor(QPalette::Window, background);
    host->setPalette(pal);
    host->setAutoFillBackground(true);
    host->resize(size);
    return host;
}

QImage Snapshot(QWidget& host) {
    host.show();
    return host.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage OnScreen(QWidget& window) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

namespace {
void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    const QPointF local(at);
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
}  // namespace

void Press(QWidget* w, QPoint at, Qt::MouseButton button) {
    SendMouse(w, QEvent::MouseButtonPress, at, button, button);
}
void Release(QWidget* w, QPoint at, Qt::MouseButton button) {
    SendMouse(w, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}
void Move(QWidget* w, QPoint at) {
    SendMouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
void DoubleClick(QWidget* w, QPoint at) {
    SendMouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
}
void Enter(QWidget* w) {
    QEnterEvent e(QPointF(1, 1), QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(w, &e);
}
void Leave(QWidget* w) {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

QColor PixelAt(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }

bool MessageCounter::event(QEvent* e) {
    if (e->type() >= QEvent::User && e->type() <= QEvent::MaxUser) {
        const auto* m = static_cast<CWindowMessageEvent*>(e);
        message = m->Message();
        ++count;
        if (probe) probed = probe();
        return true;
    }
    return QWidget::event(e);
}

}  // namespace trivane::test
