#pragma once

#include <QEvent>

#include <cstdint>

class QObject;

namespace trivane {

// Custom messages of the main window that the controls in this folder send.
inline constexpr int WM_APPLY_VOLUME = 0xC0C;
inline constexpr int WM_SEEK_TO_SLIDER = 0xC0D;

// A window message as a Qt event: the event type is QEvent::User + message.
class CWindowMessageEvent : public QEvent {
public:
    CWindowMessageEvent(int message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    static QEvent::Type TypeOf(int message);
    int Message() const { return m_message; }
    std::uintptr_t WParam() const { return m_wParam; }
    std::intptr_t LParam() const { return m_lParam; }

private:
    int m_message;
    std::uintptr_t m_wParam;
    std::intptr_t m_lParam;
};

// Delivered before returning (the receiver's handler runs inside the call); false without target.
bool SendWindowMessage(QObject* target, int message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);
// Queued for the target's thread; false without target.
bool PostWindowMessage(QObject* target, int message, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0);

}  // namespace trivane
