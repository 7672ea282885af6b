#pragma once

#include <QWidget>

namespace trivane {

// Placeholder behind a video surface; paints nothing and carries whether its surface is hidden.
class CVideoStaticBg : public QWidget {
    Q_OBJECT

public:
    explicit CVideoStaticBg(QWidget* parent = nullptr);

    bool SurfaceHidden() const { return m_surfaceHidden; }
    void SetSurfaceHidden(bool hidden) { m_surfaceHidden = hidden; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_surfaceHidden = true;
};

}  // namespace trivane
