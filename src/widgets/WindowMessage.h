#pragma once

#include <QEvent>

#include <cstdint>

#include "playback/WindowMessages.h"

class QObject;

namespace trivane {

// A window message as a Qt event. The messages 0xC01..0xC0F get registered event types
// (QEvent::User + message where that number is free); any other message maps to User + message.
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
