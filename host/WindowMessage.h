#pragma once
// Posting window messages: (message, wParam, lParam) delivered later, on the thread of
// the receiving object, like PostMessage to a window.
//
// A "window handle" is a QObject*. A message arrives as a CWindowMessage event; the
// receiver picks it up in its event() or customEvent() override:
//
//     void TLoginForm::customEvent(QEvent *e)
//     {
//         if (const CWindowMessage *m = CWindowMessage::From(e)) {
//             if (m->message == WM_NET_LOGIN) OnNetLogin(m->data);
//         }
//     }
//
// A datagram travels as a QByteArray inside the event (wParam = its length); the event
// owns it. An event that never reaches its receiver (the receiver was destroyed first)
// is freed by Qt together with its bytes, so nothing leaks and nothing is delivered to
// a destroyed object.
#include <QByteArray>
#include <QEvent>
#include <QObject>
#include <cstdint>

using WindowHandle = QObject *;

class CWindowMessage : public QEvent {
public:
    CWindowMessage(uint32_t message, uintptr_t wParam, intptr_t lParam, QByteArray data = {});
    ~CWindowMessage() override;

    // The event type of every window message (registered once).
    static QEvent::Type EventType();
    // The message inside an event, or nullptr for any other event.
    static const CWindowMessage *From(const QEvent *event);

    const uint32_t message;
    const uintptr_t wParam;
    const intptr_t lParam;
    // Bytes carried by the message (a datagram); always followed by a zero byte.
    const QByteArray data;
};

// Posts to the window's thread; callable from any thread. False when the window is empty.
// The caller must know that the window is alive while this runs (the message bus
// guarantees it for its subscribers).
bool PostWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// A datagram message: wParam = the byte count, lParam 0, the bytes in data. priority is
// Qt's event priority (0 normal; a higher one is handled before lower ones still queued).
bool PostWindowMessage(WindowHandle window, uint32_t message, const QByteArray &datagram, int priority = 0);
