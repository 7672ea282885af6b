#include "widgets/CVideoStaticBg.h"

#include <QMouseEvent>

namespace trivane {

CVideoStaticBg::CVideoStaticBg(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
}

void CVideoStaticBg::paintEvent(QPaintEvent*) {}

void CVideoStaticBg::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) event->accept();
    else event->ignore();
}

}  // namespace trivane
