#include "host/WindowMessage.h"

#include <QCoreApplication>

CWindowMessage::CWindowMessage(uint32_t msg, uintptr_t w, intptr_t l, QByteArray bytes)
    : QEvent(EventType()), message(msg), wParam(w), lParam(l), data(std::move(bytes))
{
}

QEvent::Type CWindowMessage::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

const CWindowMessage *CWindowMessage::From(const QEvent *event)
{
    if (!event || event->type() != EventType())
        return nullptr;
    return static_cast<const CWindowMessage *>(event);
}

bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (!window)
        return false;
    QCoreApplication::postEvent(window, new CWindowMessage(message, wParam, lParam));
    return true;
}

bool PostWindowMessage(WindowHandle window, uint32_t message, const QByteArray &datagram)
{
    if (!window)
        return false;
    QCoreApplication::postEvent(
        window, new CWindowMessage(message, static_cast<uintptr_t>(datagram.size()), 0, datagram));
    return true;
}
