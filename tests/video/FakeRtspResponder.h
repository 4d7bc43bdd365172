#pragma once
// A tiny RTSP responder on 127.0.0.1 for the camera check: it answers every request
// with a fixed status (401 with a challenge, Basic unless given, 200, or nothing at
// all) and keeps the requests it read. One connection at a time; stops by itself when destroyed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeRtspResponder {
public:
    // status 0: read requests and answer none.
    explicit FakeRtspResponder(int status, std::string challenge = "Basic realm=\"cam\"")
        : m_status(status), m_challenge(std::move(challenge))
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 ||
            ::listen(m_listen, 4) != 0)
            return;
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~FakeRtspResponder()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_listen >= 0)
            ::close(m_listen);
    }

    uint16_t Port() const { return m_port; }
    std::string Url() const { return "rtsp://127.0.0.1:" + std::to_string(m_port) + "/stream1"; }
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lk(m_lock);
        return m_requests;
    }
    size_t RequestCount()
    {
        std::lock_guard<std::mutex> lk(m_lock);
        return m_requests.size();
    }

private:
    static bool Wait(int fd, int ms)
    {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) == 1;
    }

    void Run()
    {
        int conn = -1;
        std::string buffer;
        while (!m_stop) {
            if (conn < 0) {
                if (Wait(m_listen, 20))
                    conn = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
                buffer.clear();
                continue;
            }
            if (!Wait(conn, 20))
                continue;
            char chunk[2048];
            ssize_t n = ::recv(conn, chunk, sizeof chunk, 0);
            if (n <= 0 || buffer.size() > 65536) {
                ::close(conn);
                conn = -1;
                continue;
            }
            buffer.append(chunk, size_t(n));
            size_t end;
            while ((end = buffer.find("\r\n\r\n")) != std::string::npos) {
                std::string request = buffer.substr(0, end + 4);
                buffer.erase(0, end + 4);
                {
                    std::lock_guard<std::mutex> lk(m_lock);
                    m_requests.push_back(request);
                }
                if (m_status != 0)
                    Answer(conn, request);
            }
        }
        if (conn >= 0)
            ::close(conn);
    }

    void Answer(int conn, const std::string &request)
    {
        std::string cseq = "0";
        size_t at = request.find("CSeq: ");
        if (at != std::string::npos)
            cseq = request.substr(at + 6, request.find("\r\n", at) - at - 6);
        std::string reply = m_status == 401 ? "RTSP/1.0 401 Unauthorized\r\nCSeq: " + cseq +
                                                  "\r\nWWW-Authenticate: " + m_challenge + "\r\n\r\n"
                                            : "RTSP/1.0 200 OK\r\nCSeq: " + cseq +
                                                  "\r\nPublic: OPTIONS, DESCRIBE, SETUP, PLAY, TEARDOWN\r\n\r\n";
        ::send(conn, reply.data(), reply.size(), MSG_NOSIGNAL);
    }

    const int m_status;
    const std::string m_challenge;
    int m_listen = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
