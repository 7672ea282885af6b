#include "widgets/CVideoStatic.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/OutlinedText.h"

// Last: Xlib defines macros (None, Status) that clash with names above.
#include <X11/Xlib.h>

namespace trivane {

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

WId CVideoStatic::VideoWindow() {
    const WId window = winId();
    if (window == m_blackWindow) return window;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return window;
    Display* display = x11->display();
    XSetWindowBackground(display, static_cast<Window>(window), BlackPixel(display, DefaultScreen(display)));
    XFlush(display);
    m_blackWindow = window;
    return window;
}

void CVideoStatic::SetCounterVisible(bool visible) {
    m_counterVisible = visible;
    update();
}

void CVideoStatic::SetCounter(int filesExamined) {
    m_counter = filesExamined;
    if (isVisible()) repaint();
    else update();
}

void CVideoStatic::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(5, 5, 5));
    if (m_counterVisible)
        DrawOutlinedText(p, QString::asprintf("%d\n", m_counter), CounterStyle, 0, 10, 72);
}

// Clicks on the surface do nothing and do not reach the parent.
void CVideoStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) event->accept();
    else event->ignore();
}

void CVideoStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) event->accept();
    else event->ignore();
}

}  // namespace trivane
