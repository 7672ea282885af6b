#include "map/X11Embed.h"

#include <QGuiApplication>

// Last: Xlib defines macros (None, Status) that clash with names above.
#include <X11/Xlib.h>

namespace trivane {

bool EmbedX11Window(QWidget& child, QWidget& parent)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr) return false;
    XReparentWindow(x11->display(), static_cast<Window>(child.winId()), static_cast<Window>(parent.winId()), 0, 0);
    XFlush(x11->display());
    return true;
}

}  // namespace trivane
