#include "widgets/WindowMessage.h"

#include <QCoreApplication>

#include <array>

namespace trivane {

CWindowMessageEvent::CWindowMessageEvent(int message, std::uintptr_t wParam, std::intptr_t lParam)
    : QEvent(TypeOf(message)), m_message(message), m_wParam(wParam), m_lParam(lParam) {}

QEvent::Type CWindowMessageEvent::TypeOf(int message) {
    // Registered once, thread-safely: libVLC's threads post these too.
    static const std::array<QEvent::Type, kLastWindowMessage - kFirstWindowMessage + 1> registered = [] {
        std::array<QEvent::Type, kLastWindowMessage - kFirstWindowMessage + 1> types{};
        for (std::size_t i = 0; i < types.size(); ++i)
            types[i] = static_cast<QEvent::Type>(
                QEvent::registerEventType(QEvent::User + kFirstWindowMessage + static_cast<int>(i)));
        return types;
    }();
    if (message >= kFirstWindowMessage && message <= kLastWindowMessage)
        return registered[static_cast<std::size_t>(message - kFirstWindowMessage)];
    return static_cast<QEvent::Type>(QEvent::User + message);
}

bool SendWindowMessage(QObject* target, int message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (target == nullptr) return false;
    CWindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return true;
}

bool PostWindowMessage(QObject* target, int message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (target == nullptr) return false;
    QCoreApplication::postEvent(target, new CWindowMessageEvent(message, wParam, lParam));
    return true;
}

}  // namespace trivane
