#pragma once
// TNetUdpService: the console's UDP socket toward the dispatch server.
//
// Bound to System/LocalIpAddr port 8888 (never with SO_REUSEADDR, so a second console
// or another program on that port makes the bind fail); sends to System/ServerIpAddr
// port 8888. Its receive thread waits on the socket (poll with a timeout), reads every
// datagram that is ready, sees each one's real length (MSG_TRUNC) and routes it:
//   - from any other address or port than the server's (System/ServerIpAddr, 8888):
//     dropped (nobody else may log the console out or write its cache);
//   - shorter than 16 bytes or longer than 1500: dropped;
//   - byte 4 not 0x50: dropped;
//   - group 0x5005: to the messaging bridge's handler on the receive thread (dropped
//     when there is none);
//   - groups 0x5001..0x5004: posted through the message bus as WM_NET_LOGIN,
//     WM_NET_CALL, WM_NET_NOTIFY, WM_NET_VIDEOPUSH (a copy per message); the
//     registration family goes ahead of the notices already queued, so a heartbeat
//     response never waits behind a storm of notices;
//   - any other family: dropped.
// Every dropped datagram is counted by its kind; each kind writes a log line at most
// once a minute, with its count.
// Send() may be called from any thread while the receive thread runs.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "core/RateLimitedLog.h"

class CNetMessageBus;

class TNetUdpService {
public:
    // Handler of group 0x5005 datagrams, called on the receive thread with the receive
    // buffer itself (valid only during the call); false when no bridge took it.
    using ChatHandler = bool (*)(const uint8_t *datagram, std::size_t length);

    static constexpr std::size_t kMinDatagram = 16;
    static constexpr std::size_t kMaxDatagram = 1500;
    static constexpr std::size_t kReceiveSize = 2048;

    // Opens the socket from g_pSystemConfig and, when it is open, starts the receive
    // thread. bus and chatHandler may be empty; both must outlive the service.
    TNetUdpService(CNetMessageBus *bus, ChatHandler chatHandler);
    // Stops the receive thread (within one wake-up) and closes the socket.
    ~TNetUdpService();
    TNetUdpService(const TNetUdpService &) = delete;
    TNetUdpService &operator=(const TNetUdpService &) = delete;

    // 2 when the socket is open, 0 otherwise.
    int IsOpen() const { return m_socket >= 0 ? 2 : 0; }
    // -1 no socket (or a socket error), -2 length above 1500 (nothing sent), else the
    // number of bytes sent.
    int Send(const void *datagram, std::size_t length);
    // The source check: true for the configured server's address and port (both in
    // network order).
    bool FromServer(uint32_t address, uint16_t port) const;
    // The routing step; called on the receive thread. length is the datagram's real
    // length; at most kReceiveSize bytes are read from datagram.
    void Dispatch(const uint8_t *datagram, std::size_t length);

    // Counters for the log and the tests.
    struct Stats {
        uint64_t received = 0;  // datagrams read from the socket
        uint64_t delivered = 0; // posted to a window or handed to the bridge
        uint64_t dropped = 0;   // every dropped datagram, of all kinds below
        uint64_t foreign = 0;   // from another address or port than the server's
        uint64_t tooShort = 0;  // shorter than the header
        uint64_t tooLong = 0;   // longer than 1500 bytes
        uint64_t badLead = 0;   // byte 4 not 0x50
        uint64_t badFamily = 0; // no such message group
        uint64_t unrouted = 0;  // no window (or bridge) took it
    };
    Stats GetStats() const;

private:
    int openSocket();
    void execute();
    void drop(const char *kind, const char *format, ...) __attribute__((format(printf, 3, 4)));

    CNetMessageBus *m_bus;
    ChatHandler m_chatHandler;
    int m_socket = -1;
    int m_wakeFd = -1;
    uint32_t m_serverAddr = 0; // network order
    uint16_t m_serverPort = 0; // host order
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
    std::atomic<uint64_t> m_received {0}, m_delivered {0};
    CRateLimitedLog m_drops;
    uint8_t m_buffer[kReceiveSize + 1] = {};
};
