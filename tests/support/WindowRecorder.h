#pragma once
// A stand-in window that records every window message it receives (on its thread).
#include <QObject>
#include <cstdint>
#include <vector>

#include "host/WindowMessage.h"

namespace zoxtest {

class WindowRecorder : public QObject {
public:
    struct Message {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        QByteArray data;
    };
    std::vector<Message> messages;

    std::size_t CountOf(uint32_t message) const
    {
        std::size_t n = 0;
        for (const Message &m : messages)
            n += m.message == message;
        return n;
    }

protected:
    void customEvent(QEvent *e) override
    {
        if (const CWindowMessage *m = CWindowMessage::From(e))
            messages.push_back({m->message, m->wParam, m->lParam, m->data});
    }
};

} // namespace zoxtest
