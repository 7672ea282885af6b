#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

#include "widgets/CGdiPlusBitmapResource.h"

namespace trivane {

// A compass rose chosen from a list of pictures: index 0 shows the first one in grey, index k
// (1..count) shows picture k - 1 in colour, anything larger shows nothing.
class CPngCompassStatic : public QWidget {
    Q_OBJECT

public:
    explicit CPngCompassStatic(QWidget* parent = nullptr);
    ~CPngCompassStatic() override;

    bool AddImage(std::uint16_t pngId);
    void SetImageIndex(unsigned index);
    unsigned ImageIndex() const { return m_index; }
    std::size_t ImageCount() const { return m_images.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::unique_ptr<CGdiPlusBitmapResource>> m_images;
    unsigned m_index = 0;
    // Last scaled picture, reused while index and size stay the same.
    QImage m_cached;
    unsigned m_cachedIndex = 0;
};

}  // namespace trivane
