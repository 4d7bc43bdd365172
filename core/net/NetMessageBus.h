#pragma once
// The window-message bus: message numbers WM_APP+100 .. WM_APP+299, each with a list of
// subscribed windows; a notice is posted to every window of its number's list.
//
// The table is a block of 2048 nodes: nodes 0..199 are the list heads (one per number),
// nodes 200..2047 the free pool. A first subscriber takes its number's head; each later
// one takes a pool node linked right behind the head (a list reads: first subscriber,
// then the later ones newest first). No duplicate test.
//
// A subscribed window that is destroyed leaves every list at once (its destroyed()
// signal), so nothing is ever posted to a destroyed window; its pool nodes return to the
// pool. Subscribe, Notify and the removal are serialised by one lock: Notify runs on the
// UDP receive thread while windows subscribe and die on the user-interface thread.
#include <QByteArray>
#include <QMetaObject>
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "host/WindowMessage.h"

class CNetMessageBus {
public:
    static constexpr int kHeadCount = 200;
    static constexpr int kPoolCount = 1848;
    static constexpr int kNodeCount = kHeadCount + kPoolCount;

    CNetMessageBus();
    ~CNetMessageBus();
    CNetMessageBus(const CNetMessageBus &) = delete;
    CNetMessageBus &operator=(const CNetMessageBus &) = delete;

    // 0 subscribed; -1 for an empty window, a number outside the range, or an empty pool.
    int Subscribe(uint32_t message, WindowHandle window);
    // Posts the datagram (wParam = its length) to every window of the number's list,
    // with the given Qt event priority (messages of a higher priority are handled
    // before those of a lower one still queued). 0 when at least one post succeeded,
    // 1 when none did (or nobody subscribed), -1 for a number outside the range.
    int Notify(uint32_t message, const QByteArray &datagram, int priority = 0);
    // Removes every subscription of the window (called when it is destroyed).
    void Unsubscribe(WindowHandle window);

    // Free pool nodes left.
    int FreeNodes() const;

private:
    struct Node {
        WindowHandle window = nullptr;
        int next = -1;
    };

    void releaseNode(int index);

    mutable std::mutex m_lock;
    std::array<Node, kNodeCount> m_nodes; // guarded by m_lock
    int m_poolHead = -1;                  // guarded by m_lock
    int m_freeNodes = 0;                  // guarded by m_lock
    std::vector<QMetaObject::Connection> m_connections; // touched on the subscribing thread
};
