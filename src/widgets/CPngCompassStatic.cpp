#include "widgets/CPngCompassStatic.h"

#include <QPainter>

#include "widgets/ColourMatrix.h"

namespace trivane {

CPngCompassStatic::CPngCompassStatic(QWidget* parent) : QWidget(parent) {}

CPngCompassStatic::~CPngCompassStatic() = default;

bool CPngCompassStatic::AddImage(std::uint16_t pngId) {
    auto image = std::make_unique<CGdiPlusBitmapResource>();
    if (!image->LoadPng(pngId)) return false;
    m_images.push_back(std::move(image));
    m_cached = QImage();
    return true;
}

// The sync sets the heading on every time event; the compass is not opaque, so a repaint also
// repaints the window behind it.
void CPngCompassStatic::SetImageIndex(unsigned index) {
    if (index == m_index) return;
    m_index = index;
    update();
}

void CPngCompassStatic::paintEvent(QPaintEvent*) {
    if (m_index > m_images.size() || size().isEmpty()) return;
    const std::size_t slot = m_index == 0 ? 0 : m_index - 1;
    if (slot >= m_images.size()) return;  // index 0 without any picture
    if (m_cached.isNull() || m_cachedIndex != m_index || m_cached.size() != size()) {
        const QImage& source = *m_images[slot]->Bitmap();
        // Scale first, with area averaging, so the small rose stays crisp.
        QImage scaled = source.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_cached = m_index == 0 ? GreyImage(scaled) : scaled;
        m_cachedIndex = m_index;
    }
    QPainter(this).drawImage(0, 0, m_cached);
}

}  // namespace trivane
