#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace trivane {

// Vehicle speed in km/h or MPH; a click switches the unit.
class CSpeedLabelStatic : public QWidget {
    Q_OBJECT

public:
    explicit CSpeedLabelStatic(QWidget* parent = nullptr);

    bool SetSpeed(std::uint16_t kmh);
    // Shows 0 rather than going blank.
    void ResetSpeed() { SetSpeed(0); }

    bool IsMetric() const { return m_metric; }
    std::uint16_t Speed() const { return m_speed; }
    const QString& NumberText() const { return m_numberText; }
    const QString& UnitText() const { return m_unitText; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RebuildTexts();
    void ToggleUnit();
    // The read-out as painted, drawn once per reading: its glow takes nine strokes of the outlines.
    const QImage& Rendered();

    static constexpr int kMaxRendered = 64;

    bool m_metric = true;
    std::uint16_t m_speed = 0;
    QString m_numberText;
    QString m_unitText;
    QHash<QString, QImage> m_rendered;  // by reading, at m_renderedSize
    QSize m_renderedSize;
    qreal m_renderedRatio = 0;
    // The unit alone on a clear layer, laid over each new number.
    QImage m_unitLayer;
    QString m_unitLayerText;
};

}  // namespace trivane
