#include "core/net/NetMessageBus.h"

#include <QObject>
#include <new>

#include "host/MessageNumbers.h"

CNetMessageBus::CNetMessageBus()
{
    for (int i = kHeadCount; i < kNodeCount; ++i)
        m_nodes[i].next = (i + 1 < kNodeCount) ? i + 1 : -1;
    m_poolHead = kHeadCount;
    m_freeNodes = kPoolCount;
}

CNetMessageBus::~CNetMessageBus()
{
    for (const QMetaObject::Connection &c : m_connections)
        QObject::disconnect(c);
}

int CNetMessageBus::Subscribe(uint32_t message, WindowHandle window)
{
    if (!window)
        return -1;
    if (message < WM_NET_BUS_BASE || message >= WM_NET_BUS_BASE + WM_NET_BUS_COUNT)
        return -1;
    int head = int(message - WM_NET_BUS_BASE);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_nodes[head].window) {
            m_nodes[head].window = window;
        } else {
            if (m_poolHead < 0)
                return -1;
            int n = m_poolHead;
            m_poolHead = m_nodes[n].next;
            --m_freeNodes;
            m_nodes[n].window = window;
            m_nodes[n].next = m_nodes[head].next;
            m_nodes[head].next = n;
        }
    }
    // Direct connection: runs inside the window's destructor, before Qt drops the
    // messages still queued for it.
    m_connections.push_back(
        QObject::connect(window, &QObject::destroyed, [this](QObject *gone) { Unsubscribe(gone); }));
    return 0;
}

int CNetMessageBus::Notify(uint32_t message, const QByteArray &datagram, int priority)
{
    if (message < WM_NET_BUS_BASE || message >= WM_NET_BUS_BASE + WM_NET_BUS_COUNT)
        return -1;
    bool posted = false;
    std::lock_guard<std::mutex> lock(m_lock);
    for (int n = int(message - WM_NET_BUS_BASE); n >= 0; n = m_nodes[n].next) {
        if (!m_nodes[n].window)
            continue;
        try {
            if (PostWindowMessage(m_nodes[n].window, message, datagram, priority))
                posted = true;
        } catch (const std::bad_alloc &) {
            // counts as a failed post
        }
    }
    return posted ? 0 : 1;
}

void CNetMessageBus::releaseNode(int index)
{
    m_nodes[index].window = nullptr;
    m_nodes[index].next = m_poolHead;
    m_poolHead = index;
    ++m_freeNodes;
}

void CNetMessageBus::Unsubscribe(WindowHandle window)
{
    if (!window)
        return;
    std::lock_guard<std::mutex> lock(m_lock);
    for (int head = 0; head < kHeadCount; ++head) {
        // The head holds the first subscriber: refill it from the node behind it.
        while (m_nodes[head].window == window) {
            int next = m_nodes[head].next;
            if (next < 0) {
                m_nodes[head].window = nullptr;
                break;
            }
            m_nodes[head].window = m_nodes[next].window;
            m_nodes[head].next = m_nodes[next].next;
            releaseNode(next);
        }
        int prev = head;
        int n = m_nodes[head].next;
        while (n >= 0) {
            int next = m_nodes[n].next;
            if (m_nodes[n].window == window) {
                m_nodes[prev].next = next;
                releaseNode(n);
            } else {
                prev = n;
            }
            n = next;
        }
    }
}

int CNetMessageBus::FreeNodes() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_freeNodes;
}
