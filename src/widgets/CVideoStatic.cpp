#include "widgets/CVideoStatic.h"

#include <QMouseEvent>
#include <QPainter>

#include "widgets/OutlinedText.h"

namespace trivane {

CVideoStatic::CVideoStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
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
