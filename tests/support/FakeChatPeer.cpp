#include "tests/support/FakeChatPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zoxtest {

FakeChatPeer::FakeChatPeer(std::string peerIp, std::string bridgeIp, uint16_t bridgePort)
    : m_bridgeIp(std::move(bridgeIp)), m_bridgePort(bridgePort)
{
    int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return;
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = ::inet_addr(peerIp.c_str());
    a.sin_port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        ::close(s);
        return;
    }
    m_socket = s;
}

FakeChatPeer::~FakeChatPeer()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

bool FakeChatPeer::Send(const std::vector<uint8_t> &datagram)
{
    if (m_socket < 0)
        return false;
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = ::inet_addr(m_bridgeIp.c_str());
    to.sin_port = htons(m_bridgePort);
    ssize_t n = ::sendto(m_socket, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    return n == ssize_t(datagram.size());
}

std::optional<std::vector<uint8_t>> FakeChatPeer::Receive(std::chrono::milliseconds timeout)
{
    if (m_socket < 0)
        return std::nullopt;
    pollfd fd {m_socket, POLLIN, 0};
    if (::poll(&fd, 1, int(timeout.count())) <= 0)
        return std::nullopt;
    std::vector<uint8_t> buffer(4096);
    ssize_t n = ::recv(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0)
        return std::nullopt;
    buffer.resize(std::size_t(n));
    return buffer;
}

} // namespace zoxtest
