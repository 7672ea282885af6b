#pragma once

#include <QColor>
#include <QEvent>
#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace trivane::test {

// A parent window painted in one colour, so that anything a child leaves undrawn shows it.
std::unique_ptr<QWidget> MakeHost(QSize size, const QColor& background);

// The host and its children as they appear on screen.
QImage Snapshot(QWidget& host);

// What a shown top-level widget's window holds once pending repaints are done: unlike grab(),
// which paints the widget afresh, this shows what partial repaints left behind.
QImage OnScreen(QWidget& window);

void Press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void Release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void Move(QWidget* w, QPoint at);
void DoubleClick(QWidget* w, QPoint at);
void Enter(QWidget* w);
void Leave(QWidget* w);

QColor PixelAt(const QImage& image, int x, int y);

// Counts the custom window messages it receives and remembers a value read during the last one.
class MessageCounter : public QWidget {
public:
    int message = 0;
    int count = 0;
    std::function<int()> probe;
    int probed = -1;

protected:
    bool event(QEvent* e) override;
};

}  // namespace trivane::test
