#include "app/CMainMenu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include <array>

#include "app/CKeyboardControl.h"
#include "app/ControlIds.h"

namespace trivane {
namespace {

// Menu order, after the player's keys (CKeyboardControl), whose shortcuts these must not take.
const std::array<CMainMenu::Entry, 19> kEntries{{
    {IDC_STOP, 185, QKeySequence(Qt::CTRL | Qt::Key_Period), false},
    {0, 0, {}, false},
    {IDM_GROUPS, 158, {}, true},
    {IDC_SAVE, 181, QKeySequence(Qt::CTRL | Qt::Key_S), false},
    {IDC_DEL, 182, QKeySequence(Qt::Key_Delete), false},
    {IDC_LOCK, 194, QKeySequence(Qt::CTRL | Qt::Key_U), false},
    {0, 0, {}, false},
    {IDC_KML, 191, QKeySequence(Qt::CTRL | Qt::Key_K), false},
    {IDM_GPX, 152, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K), false},
    {IDM_EXPORT_CLIP, 170, QKeySequence(Qt::CTRL | Qt::Key_E), false},
    {0, 0, {}, false},
    {IDC_MAP, 153, QKeySequence(Qt::CTRL | Qt::Key_M), true},
    {IDM_SPEED_ROUTE, 177, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), true},
    {IDC_GSR, 154, QKeySequence(Qt::CTRL | Qt::Key_G), true},
    {IDC_LOOP, 155, QKeySequence(Qt::CTRL | Qt::Key_L), true},
    {IDC_SMALL, 156, QKeySequence(Qt::CTRL | Qt::Key_1), false},
    {IDC_MEDIUM, 157, QKeySequence(Qt::CTRL | Qt::Key_2), false},
    {0, 0, {}, false},
    {IDC_ABOUT, 198, QKeySequence(Qt::Key_F1), false},
}};

}  // namespace

CMainMenu::CMainMenu(QWidget& window, std::function<void(int)> run, std::function<QString(int)> text,
                     std::function<MainMenuState()> state, CKeyboardControl* keys)
    : QObject(&window),
      run_(std::move(run)),
      text_(std::move(text)),
      state_(std::move(state)),
      menu_(new QMenu(&window)),
      keys_(keys)
{
    menu_->setObjectName(QStringLiteral("ContextMenu"));
    if (keys_ != nullptr) {
        for (QAction* action : keys_->Listed()) menu_->addAction(action);
        menu_->addSeparator();
    }
    for (const Entry& entry : kEntries) {
        if (entry.command == 0) {
            menu_->addSeparator();
            continue;
        }
        auto* action = new QAction(menu_);
        action->setObjectName(QString::number(entry.command));
        action->setShortcut(entry.shortcut);
        action->setCheckable(entry.checkable);
        const int command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { Trigger(command); });
        menu_->addAction(action);
        // On the window too, so the shortcuts work without the menu open.
        window.addAction(action);
        actions_[command] = action;
    }
    connect(menu_, &QMenu::aboutToShow, this, &CMainMenu::Refresh);
    Retitle();
    Refresh();
}

CMainMenu::~CMainMenu() = default;

QAction* CMainMenu::Action(int command) const
{
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainMenu::Retitle()
{
    if (keys_ != nullptr) keys_->Retitle();
    for (const Entry& entry : kEntries) {
        if (QAction* action = Action(entry.command)) action->setText(text_(entry.textId));
    }
}

void CMainMenu::Refresh()
{
    const MainMenuState s = state_();
    const auto set = [this](int command, bool enabled) {
        if (QAction* action = Action(command)) action->setEnabled(enabled);
    };
    for (int command : {IDC_STOP, IDC_SAVE, IDC_DEL, IDC_LOCK, IDC_KML, IDM_GPX}) set(command, !s.catalogueEmpty);
    for (int command : {IDM_GROUPS, IDC_MAP, IDC_GSR, IDC_SMALL, IDC_MEDIUM}) set(command, !s.fullScreen);
    set(IDM_EXPORT_CLIP, s.clipMarked);
    Action(IDC_MAP)->setChecked(s.mapShown);
    Action(IDM_SPEED_ROUTE)->setChecked(s.speedRoute);
    Action(IDC_GSR)->setChecked(s.gsensorShown);
    Action(IDC_LOOP)->setChecked(s.autoPlayNext);
    Action(IDM_GROUPS)->setChecked(s.groupsShown);
}

void CMainMenu::Popup(const QPoint& globalPosition)
{
    menu_->popup(globalPosition);
}

// A checkable action has already flipped its mark: the window's state decides it.
void CMainMenu::Trigger(int command)
{
    run_(command);
    Refresh();
}

}  // namespace trivane
