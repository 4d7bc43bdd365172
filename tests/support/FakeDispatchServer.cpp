#include "tests/support/FakeDispatchServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zoxtest {

namespace {
sockaddr_in makeAddr(const std::string &ip, uint16_t port)
{
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, ip.c_str(), &a.sin_addr);
    return a;
}
} // namespace

FakeDispatchServer::FakeDispatchServer(std::string serverIp, uint16_t serverPort, std::string consoleIp,
                                       uint16_t consolePort)
    : m_serverIp(std::move(serverIp)), m_consoleIp(std::move(consoleIp)), m_serverPort(serverPort),
      m_consolePort(consolePort)
{
}

FakeDispatchServer::~FakeDispatchServer() { Stop(); }

bool FakeDispatchServer::Start()
{
    if (m_socket >= 0)
        return true;
    int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (s < 0)
        return false;
    int size = 4 << 20;
    ::setsockopt(s, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    ::setsockopt(s, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in a = makeAddr(m_serverIp, m_serverPort);
    if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        ::close(s);
        return false;
    }
    m_socket = s;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = false;
    }
    m_thread = std::thread(&FakeDispatchServer::run, this);
    return true;
}

void FakeDispatchServer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}

void FakeDispatchServer::Answer(uint32_t code, Responder responder)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_answers[code] = std::move(responder);
}

void FakeDispatchServer::Withhold(uint32_t code, int count)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (count == 0)
        m_withheld.erase(code);
    else
        m_withheld[code] = count;
}

void FakeDispatchServer::Release(uint32_t code)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_withheld.erase(code);
}

void FakeDispatchServer::ClearScript()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_answers.clear();
    m_withheld.clear();
}

bool FakeDispatchServer::Inject(const Bytes &datagram) { return InjectRaw(datagram.data(), datagram.size()); }

bool FakeDispatchServer::InjectRaw(const void *data, std::size_t length)
{
    if (m_socket < 0)
        return false;
    sockaddr_in to = makeAddr(m_consoleIp, m_consolePort);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        ssize_t n = ::sendto(m_socket, data, length, 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
        if (n >= 0)
            return std::size_t(n) == length;
        if (errno != EINTR && errno != ENOBUFS && errno != EAGAIN)
            return false;
        ::usleep(100);
    }
    return false;
}

std::vector<ReceivedDatagram> FakeDispatchServer::Received() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_received;
}

std::vector<ReceivedDatagram> FakeDispatchServer::ReceivedWithCode(uint32_t code) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<ReceivedDatagram> out;
    for (const auto &d : m_received)
        if (d.code == code)
            out.push_back(d);
    return out;
}

std::size_t FakeDispatchServer::CountOf(uint32_t code) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::size_t n = 0;
    for (const auto &d : m_received)
        n += d.code == code;
    return n;
}

void FakeDispatchServer::ClearRecord()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_received.clear();
}

bool FakeDispatchServer::WaitFor(uint32_t code, std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_cond.wait_for(lock, timeout, [&] {
        std::size_t n = 0;
        for (const auto &d : m_received)
            n += d.code == code;
        return n >= count;
    });
}

std::size_t FakeDispatchServer::AnswersSent() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_answersSent;
}

void FakeDispatchServer::run()
{
    std::vector<uint8_t> buffer(65536);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_stop)
                return;
        }
        pollfd p {m_socket, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        sockaddr_in from {};
        socklen_t fromLen = sizeof from;
        ssize_t n = ::recvfrom(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr *>(&from), &fromLen);
        if (n < 0)
            continue;
        ReceivedDatagram d;
        d.bytes.assign(buffer.begin(), buffer.begin() + n);
        if (n >= 8)
            d.code = (uint32_t(buffer[4]) << 24) | (uint32_t(buffer[5]) << 16) | (uint32_t(buffer[6]) << 8) |
                     uint32_t(buffer[7]);
        d.at = std::chrono::steady_clock::now();

        Responder responder;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_received.push_back(d);
            auto w = m_withheld.find(d.code);
            if (w != m_withheld.end()) {
                if (w->second > 0 && --w->second == 0)
                    m_withheld.erase(w);
            } else {
                auto a = m_answers.find(d.code);
                if (a != m_answers.end())
                    responder = a->second;
            }
        }
        m_cond.notify_all();
        if (!responder)
            continue;
        std::vector<Bytes> replies = responder(d);
        for (const Bytes &r : replies)
            ::sendto(m_socket, r.data(), r.size(), 0, reinterpret_cast<sockaddr *>(&from), fromLen);
        std::lock_guard<std::mutex> lock(m_lock);
        m_answersSent += replies.size();
    }
}

} // namespace zoxtest
