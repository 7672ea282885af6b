#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "widgets/CGdiPlusBitmapResource.h"

namespace trivane {

// One PNG picture scaled to the control: in its own colours while active, in grey otherwise.
class CPngStatic : public QWidget {
    Q_OBJECT

public:
    explicit CPngStatic(QWidget* parent = nullptr);
    ~CPngStatic() override;

    bool SetImage(std::uint16_t pngId);
    void SetActive(int active);
    int Active() const { return m_active; }
    bool HasImage() const { return m_image != nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<CGdiPlusBitmapResource> m_image;
    int m_active = 0;
    QImage m_scaled;  // picture at the control's size, colour
    QImage m_grey;    // the same through the grey matrix
};

}  // namespace trivane
