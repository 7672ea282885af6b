#pragma once

#include <QWidget>

namespace trivane {

// Surface a video channel is rendered into. Without video it shows a dark background and, while
// a source is scanned, a large running count of the files examined so far.
class CVideoStatic : public QWidget {
    Q_OBJECT

public:
    explicit CVideoStatic(QWidget* parent = nullptr);

    // The native window a video library draws into. On X11 its background is black, so that the
    // X server itself fills what the picture leaves uncovered (a library may fit its own window
    // to the picture) while Qt does not paint the surface.
    WId VideoWindow();

    void SetCounterVisible(bool visible);
    // Repaints at once: the scan runs on this thread and would otherwise hide the progress.
    void SetCounter(int filesExamined);
    bool CounterVisible() const { return m_counterVisible; }
    int Counter() const { return m_counter; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    WId m_blackWindow = 0;  // the window whose X background was set
    bool m_counterVisible = false;
    int m_counter = 0;
};

}  // namespace trivane
