#include "widgets/CSpeedLabelStatic.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include "widgets/OutlinedText.h"

namespace trivane {

CSpeedLabelStatic::CSpeedLabelStatic(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    RebuildTexts();
}

bool CSpeedLabelStatic::SetSpeed(std::uint16_t kmh) {
    m_speed = kmh;
    const QString shown = m_numberText;
    RebuildTexts();
    if (m_numberText != shown) update();
    return true;
}

void CSpeedLabelStatic::RebuildTexts() {
    m_unitText = m_metric ? QStringLiteral("Km/h") : QStringLiteral("MPH");
    const int shown = m_metric ? m_speed : (m_speed * 10) / 16;
    m_numberText = QString::asprintf("%3d", shown);
}

void CSpeedLabelStatic::ToggleUnit() {
    m_metric = !m_metric;
    RebuildTexts();
    update();
}

const QImage& CSpeedLabelStatic::Rendered() {
    const qreal ratio = devicePixelRatioF();
    if (m_renderedSize != size() || m_renderedRatio != ratio) {
        m_rendered.clear();
        m_renderedSize = size();
        m_renderedRatio = ratio;
        m_unitLayer = QImage();
    }
    const QString key = m_numberText + QLatin1Char('\n') + m_unitText;
    auto it = m_rendered.find(key);
    if (it != m_rendered.end()) return *it;
    if (m_rendered.size() >= kMaxRendered) m_rendered.clear();
    const QSize pixels(qCeil(width() * ratio), qCeil(height() * ratio));
    // The unit comes after the number, over it where their glows meet, as if drawn in turn.
    if (m_unitLayer.isNull() || m_unitLayerText != m_unitText) {
        m_unitLayer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_unitLayer.setDevicePixelRatio(ratio);
        m_unitLayer.fill(Qt::transparent);
        m_unitLayerText = m_unitText;
        QPainter layer(&m_unitLayer);
        DrawOutlinedText(layer, m_unitText, SpeedStyle, 40, 18, 12);
    }
    QImage image(pixels, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter p(&image);
    p.fillRect(rect(), QColor(5, 5, 5));
    DrawOutlinedText(p, m_numberText, SpeedStyle, 0, 10, 20);
    p.drawImage(QPointF(0, 0), m_unitLayer);
    p.end();
    return *m_rendered.insert(key, std::move(image));
}

void CSpeedLabelStatic::paintEvent(QPaintEvent*) {
    if (size().isEmpty()) return;
    const QImage& image = Rendered();
    QPainter p(this);
    p.drawImage(QPointF(0, 0), image);
}

void CSpeedLabelStatic::mousePressEvent(QMouseEvent* event) { event->accept(); }

// The unit switches only when the button comes up inside the read-out.
void CSpeedLabelStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        ToggleUnit();
    event->accept();
}

// A double-click arrives as press, release, double-click, release: the unit switches three times.
void CSpeedLabelStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) ToggleUnit();
    event->accept();
}

}  // namespace trivane
