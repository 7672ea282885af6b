#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace trivane {

// Progress board: the filled share of the width tiled with a pattern bitmap (or a plain colour),
// the rest in the remainder colour, a centred caption and a raised edge.
class CStatusBoardStatic : public QWidget {
    Q_OBJECT

public:
    explicit CStatusBoardStatic(QWidget* parent = nullptr);

    // percent is kept within 0..100.
    void SetProgress(int percent, const QString& caption);
    void SetPatternBitmapId(std::uint16_t id);
    void SetRemainderColour(const QColor& c) { m_remainder = c; update(); }
    void SetTextColour(const QColor& c) { m_text = c; update(); }
    void SetFillColour(const QColor& c) { m_fill = c; update(); }

    int Percent() const { return m_percent; }
    const QString& Caption() const { return m_caption; }
    std::uint16_t PatternBitmapId() const { return m_patternId; }
    // x at which the filled part ends.
    int SplitX() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_percent = 0;
    QString m_caption;
    QColor m_remainder{5, 5, 5};
    QColor m_text{5, 5, 5};
    QColor m_fill{5, 5, 5};
    std::uint16_t m_patternId = 0;
    QImage m_pattern;  // loaded when the id is set; null when the id names no bitmap
};

}  // namespace trivane
