#include "host/WindowMessage.h"

#include <QCoreApplication>

// Qt hands a posted event to the receiving thread under its own lock, which the thread
// sanitizer cannot see (Qt is not built with it); these marks tell it about the hand-over.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void *addr);
extern "C" void __tsan_release(void *addr);
#define ZOX_HANDOVER_RELEASE(p) __tsan_release(p)
#define ZOX_HANDOVER_ACQUIRE(p) __tsan_acquire(p)
#else
#define ZOX_HANDOVER_RELEASE(p) ((void)0)
#define ZOX_HANDOVER_ACQUIRE(p) ((void)0)
#endif

namespace {
void post(WindowHandle window, CWindowMessage *message, int priority = Qt::NormalEventPriority)
{
    ZOX_HANDOVER_RELEASE(message);
    QCoreApplication::postEvent(window, message, priority);
}
} // namespace

CWindowMessage::CWindowMessage(uint32_t msg, uintptr_t w, intptr_t l, QByteArray bytes)
    : QEvent(EventType()), message(msg), wParam(w), lParam(l), data(std::move(bytes))
{
}

CWindowMessage::~CWindowMessage() { ZOX_HANDOVER_ACQUIRE(this); }

QEvent::Type CWindowMessage::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

const CWindowMessage *CWindowMessage::From(const QEvent *event)
{
    if (!event)
        return nullptr;
    ZOX_HANDOVER_ACQUIRE(const_cast<QEvent *>(event));
    if (event->type() != EventType())
        return nullptr;
    return static_cast<const CWindowMessage *>(event);
}

bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (!window)
        return false;
    post(window, new CWindowMessage(message, wParam, lParam));
    return true;
}

bool PostWindowMessage(WindowHandle window, uint32_t message, const QByteArray &datagram, int priority)
{
    if (!window)
        return false;
    post(window, new CWindowMessage(message, static_cast<uintptr_t>(datagram.size()), 0, datagram), priority);
    return true;
}
