#include "app/CKeyboardControl.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include <array>
#include <utility>

#include "app/ControlIds.h"

namespace trivane {
namespace {

// Menu order. None of these may be a shortcut of the context menu's own entries.
const std::array<CKeyboardControl::Key, 15> kKeys{{
    {IDC_OPEN, 160, QKeySequence(Qt::CTRL | Qt::Key_O)},
    {IDC_PLAY, 134, QKeySequence(Qt::Key_Space)},
    {IDM_SEEK_BACK, 162, QKeySequence(Qt::Key_Left)},
    {IDM_SEEK_FORWARD, 163, QKeySequence(Qt::Key_Right)},
    {IDM_FRAME_BACK, 164, QKeySequence(Qt::Key_Comma)},
    {IDM_FRAME_FORWARD, 165, QKeySequence(Qt::Key_Period)},
    {IDM_NEXT_EVENT, 166, QKeySequence(Qt::Key_N)},
    {IDM_PREVIOUS_EVENT, 167, QKeySequence(Qt::Key_P)},
    {IDM_MARK_IN, 168, QKeySequence(Qt::Key_I)},
    {IDM_MARK_OUT, 169, QKeySequence(Qt::Key_O)},
    {IDC_FAST, 186, QKeySequence(Qt::Key_Plus)},
    {IDC_SLOW, 184, QKeySequence(Qt::Key_Minus)},
    {IDM_MUTE, 188, QKeySequence(Qt::Key_M)},
    {IDM_FULL_SCREEN, 161, QKeySequence(Qt::Key_F)},
    // Leaves full screen; otherwise nothing, so Escape never closes or cancels anything.
    {IDM_LEAVE_FULL_SCREEN, 0, QKeySequence(Qt::Key_Escape)},
}};

}  // namespace

CKeyboardControl::CKeyboardControl(QWidget& window, std::function<void(int)> run, std::function<QString(int)> text)
    : QObject(&window), text_(std::move(text))
{
    for (const Key& key : kKeys) {
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("key %1").arg(key.command));
        action->setShortcut(key.sequence);
        action->setShortcutContext(Qt::WindowShortcut);
        // Held keys repeat only where a repeat means something: seeks and frame steps.
        const bool repeats = key.command == IDM_SEEK_BACK || key.command == IDM_SEEK_FORWARD ||
                             key.command == IDM_FRAME_BACK || key.command == IDM_FRAME_FORWARD ||
                             key.command == IDC_FAST || key.command == IDC_SLOW;
        action->setAutoRepeat(repeats);
        const int command = key.command;
        connect(action, &QAction::triggered, this, [run, command] { run(command); });
        window.addAction(action);
        actions_[command] = action;
        if (key.textId != 0) listed_.push_back(action);
    }
    Retitle();
}

CKeyboardControl::~CKeyboardControl() = default;

QAction* CKeyboardControl::Action(int command) const
{
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CKeyboardControl::Retitle()
{
    for (const Key& key : kKeys) {
        if (key.textId != 0) Action(key.command)->setText(text_(key.textId));
    }
}

void CKeyboardControl::KeepSpaceFor(QWidget* widget)
{
    if (widget != nullptr) widget->installEventFilter(this);
}

// A shortcut override the focused widget accepts makes Qt deliver the key to that widget.
bool CKeyboardControl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace trivane
