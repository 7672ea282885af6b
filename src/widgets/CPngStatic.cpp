#include "widgets/CPngStatic.h"

#include <QPainter>

#include "widgets/ColourMatrix.h"

namespace trivane {

CPngStatic::CPngStatic(QWidget* parent) : QWidget(parent) {}

CPngStatic::~CPngStatic() = default;

bool CPngStatic::SetImage(std::uint16_t pngId) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    const bool ok = image->LoadPng(pngId);
    m_image = ok ? std::move(image) : nullptr;
    m_scaled = m_grey = QImage();
    update();
    return ok;
}

void CPngStatic::SetActive(int active) {
    m_active = active;
    update();
}

void CPngStatic::paintEvent(QPaintEvent*) {
    if (!m_image || size().isEmpty()) return;
    if (m_scaled.size() != size()) {
        m_scaled = m_image->Bitmap()->scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_grey = GreyImage(m_scaled);
    }
    QPainter(this).drawImage(0, 0, m_active != 0 ? m_scaled : m_grey);
}

}  // namespace trivane
