#include "core/net/NetUdpService.h"

#include <QByteArray>
#include <Qt>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/Log.h"
#include "core/SystemConfig.h"
#include "core/net/NetMessageBus.h"
#include "host/MessageNumbers.h"

namespace {
// Longest wait of one pass; a stop request also wakes the thread at once.
constexpr int kPollTimeoutMs = 200;
// Datagrams read in one pass before the stop flag is looked at again.
constexpr int kMaxPerPass = 1024;
// Room for a burst of notices in the kernel (the kernel may grant less).
constexpr int kReceiveBufferBytes = 4 << 20;
} // namespace

TNetUdpService::TNetUdpService(CNetMessageBus *bus, ChatHandler chatHandler) : m_bus(bus), m_chatHandler(chatHandler)
{
    if (openSocket() != 0)
        return;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    try {
        m_thread = std::thread(&TNetUdpService::execute, this);
    } catch (const std::system_error &) {
        WriteLog("net: failed to start the udp receive thread!");
        ::close(m_socket);
        m_socket = -1;
    }
}

TNetUdpService::~TNetUdpService()
{
    m_stop = true;
    if (m_wakeFd >= 0) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    m_socket = -1;
    m_wakeFd = -1;
}

int TNetUdpService::openSocket()
{
    if (!g_pSystemConfig) {
        WriteLog("net: no configuration, udp socket not opened!");
        return -1;
    }
    m_serverAddr = g_pSystemConfig->GetServerIpAddr();
    m_serverPort = g_pSystemConfig->GetServerUdpPort();

    int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (s < 0) {
        WriteLog("net: udp socket failed (%s)!", std::strerror(errno));
        return -2;
    }
    int size = kReceiveBufferBytes;
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);

    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = g_pSystemConfig->GetLocalIpAddr(); // stored in network order
    local.sin_port = htons(g_pSystemConfig->GetLocalUdpPort());
    if (::bind(s, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
        WriteLog("net: udp bind failed (%s)!", std::strerror(errno));
        ::close(s);
        return -3;
    }
    m_socket = s;
    return 0;
}

int TNetUdpService::Send(const void *datagram, std::size_t length)
{
    if (m_socket < 0)
        return -1;
    if (length > kMaxDatagram)
        return -2;
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = m_serverAddr;
    to.sin_port = htons(m_serverPort);
    ssize_t n;
    do {
        n = ::sendto(m_socket, datagram, length, 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : int(n);
}

void TNetUdpService::execute()
{
    pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    while (!m_stop.load(std::memory_order_relaxed)) {
        int r = ::poll(fds, m_wakeFd >= 0 ? 2 : 1, kPollTimeoutMs);
        if (r < 0) {
            if (errno != EINTR) {
                WriteLog("net: udp poll failed (%s)!", std::strerror(errno));
                ::usleep(10000);
            }
            continue;
        }
        if (r == 0 || !(fds[0].revents & (POLLIN | POLLERR)))
            continue;
        // Take every datagram that is ready, so a burst never waits for the next pass.
        for (int i = 0; i < kMaxPerPass && !m_stop.load(std::memory_order_relaxed); ++i) {
            sockaddr_in from {};
            socklen_t fromLength = sizeof from;
            ssize_t n = ::recvfrom(m_socket, m_buffer, kReceiveSize, MSG_DONTWAIT | MSG_TRUNC,
                                   reinterpret_cast<sockaddr *>(&from), &fromLength);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                if (errno != EAGAIN && errno != EWOULDBLOCK)
                    WriteLog("net: udp receive failed (%s)!", std::strerror(errno));
                break;
            }
            ++m_received;
            std::size_t length = std::size_t(n);
            if (fromLength < sizeof from || from.sin_family != AF_INET ||
                !FromServer(from.sin_addr.s_addr, from.sin_port)) {
                char address[INET_ADDRSTRLEN] = "?";
                ::inet_ntop(AF_INET, &from.sin_addr, address, sizeof address);
                drop("foreign", "net: datagram of %zu bytes from %s:%u dropped (not the server)!", length, address,
                     unsigned(ntohs(from.sin_port)));
                continue;
            }
            m_buffer[length < kReceiveSize ? length : kReceiveSize] = 0;
            Dispatch(m_buffer, length);
        }
    }
}

bool TNetUdpService::FromServer(uint32_t address, uint16_t port) const
{
    return address == m_serverAddr && port == htons(m_serverPort);
}

void TNetUdpService::drop(const char *kind, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    m_drops.NoteV(kind, format, args);
    va_end(args);
}

void TNetUdpService::Dispatch(const uint8_t *datagram, std::size_t length)
{
    if (length < kMinDatagram) {
        drop("short", "net: datagram of %zu bytes ignored (shorter than the header)!", length);
        return;
    }
    if (length > kMaxDatagram) {
        drop("long", "net: datagram of %zu bytes dropped (longer than %zu)!", length, kMaxDatagram);
        return;
    }
    uint8_t lead = datagram[4];
    uint8_t family = datagram[5];
    if (lead != 0x50) {
        drop("lead", "net: datagram with message code %02x%02x.. dropped!", lead, family);
        return;
    }
    if (family == 0x05) {
        if (m_chatHandler && m_chatHandler(datagram, length)) {
            ++m_delivered;
        } else {
            drop("unrouted", "net: datagram of group 0x5005 dropped (no messaging bridge)!");
        }
        return;
    }
    uint32_t message = 0;
    int priority = Qt::NormalEventPriority;
    switch (family) {
    case 0x01:
        message = WM_NET_LOGIN;
        // Heartbeat responses and the rest of the registration family overtake the
        // notices still queued for the window.
        priority = Qt::HighEventPriority;
        break;
    case 0x02:
        message = WM_NET_CALL;
        break;
    case 0x03:
        message = WM_NET_NOTIFY;
        break;
    case 0x04:
        message = WM_NET_VIDEOPUSH;
        break;
    default:
        drop("family", "net: datagram of unknown group 0x50%02x dropped!", family);
        return;
    }
    // One copy of exactly the datagram's bytes (QByteArray keeps a zero byte behind them).
    QByteArray copy(reinterpret_cast<const char *>(datagram), qsizetype(length));
    if (m_bus && m_bus->Notify(message, copy, priority) == 0)
        ++m_delivered;
    else
        drop("unrouted", "net: datagram of group 0x50%02x dropped (no window took it)!", family); // copy freed here
}

TNetUdpService::Stats TNetUdpService::GetStats() const
{
    Stats s;
    s.received = m_received.load();
    s.delivered = m_delivered.load();
    s.dropped = m_drops.Total();
    s.foreign = m_drops.Count("foreign");
    s.tooShort = m_drops.Count("short");
    s.tooLong = m_drops.Count("long");
    s.badLead = m_drops.Count("lead");
    s.badFamily = m_drops.Count("family");
    s.unrouted = m_drops.Count("unrouted");
    return s;
}
