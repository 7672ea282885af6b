#pragma once

#include <QWidget>

namespace trivane {

// Makes `child`'s X window a child of `parent`'s at its top-left corner. False off X11.
bool EmbedX11Window(QWidget& child, QWidget& parent);

}  // namespace trivane
