#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QWidget;

namespace trivane {

// The player's own keys: Space, Left and Right, "," and ".", N and P, I and O, "+" and "-", M, F,
// Ctrl+O and Escape.
// Each is a QAction with a window-wide shortcut on the main window, so it works whichever child
// has focus, and runs one of the window's commands. Keys the player leaves alone stay with the
// focused child: the lists keep Up, Down, Page Up/Down, Home and End, and a widget given to
// KeepSpaceFor keeps Space while it has focus (the group list ticks its current group with it).
class CKeyboardControl final : public QObject {
    Q_OBJECT

public:
    struct Key {
        int command;
        int textId;  // 0: not listed in the menu
        QKeySequence sequence;
    };

    CKeyboardControl(QWidget& window, std::function<void(int command)> run, std::function<QString(int textId)> text);
    ~CKeyboardControl() override;

    // Texts again, after a language change.
    void Retitle();
    // The keys the context menu lists, in its order.
    const std::vector<QAction*>& Listed() const { return listed_; }
    QAction* Action(int command) const;
    void KeepSpaceFor(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QString(int)> text_;
    std::map<int, QAction*> actions_;
    std::vector<QAction*> listed_;
};

}  // namespace trivane
