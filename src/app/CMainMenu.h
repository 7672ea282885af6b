#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace trivane {

class CKeyboardControl;

// What the menu shows of the window's state.
struct MainMenuState {
    bool catalogueEmpty = true;
    bool fullScreen = false;
    bool mapShown = false;
    bool gsensorShown = false;
    bool autoPlayNext = false;
    bool groupsShown = false;
    bool clipMarked = false;  // in and out marks that make a clip
    bool speedRoute = false;  // the map's route coloured by speed
};

// The main window's context menu: the player's keys first (their actions belong to the keyboard
// control), then the commands the standard layout has no button for, each a QAction on the
// window with its keyboard shortcut, run through the window's command handler. Check marks and
// enabled states come from the window's state at each Refresh().
class CMainMenu final : public QObject {
    Q_OBJECT

public:
    struct Entry {
        int command;  // a control or menu command id; 0 for a separator
        int textId;
        QKeySequence shortcut;
        bool checkable;
    };

    CMainMenu(QWidget& window, std::function<void(int command)> run, std::function<QString(int textId)> text,
              std::function<MainMenuState()> state, CKeyboardControl* keys = nullptr);
    ~CMainMenu() override;

    // Texts again, after a language change.
    void Retitle();
    // Check marks and enabled states from the window's state.
    void Refresh();
    // Opens the menu at a global position; returns at once.
    void Popup(const QPoint& globalPosition);

    QMenu* Menu() const { return menu_; }
    QAction* Action(int command) const;

private:
    void Trigger(int command);

    std::function<void(int)> run_;
    std::function<QString(int)> text_;
    std::function<MainMenuState()> state_;
    QMenu* menu_;
    CKeyboardControl* keys_;
    std::map<int, QAction*> actions_;
};

}  // namespace trivane
