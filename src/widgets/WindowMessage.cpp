#include "widgets/WindowMessage.h"

#include <QCoreApplication>

namespace trivane {

CWindowMessageEvent::CWindowMessageEvent(int message, std::uintptr_t wParam, std::intptr_t lParam)
    : QEvent(TypeOf(message)), m_message(message), m_wParam(wParam), m_lParam(lParam) {}

QEvent::Type CWindowMessageEvent::TypeOf(int message) {
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
