// An RTSP server that answers the stack's request with the input's bytes and closes.
// The stack reads the reply (and any interleaved frames) on its connection thread;
// when the reply was a challenge, a second request answers it. Every request the stack
// writes must stay well-formed lines, whatever the server's challenge said.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>

#include "medialib/RtspStack.h"

namespace {
std::mutex g_lock;
std::condition_variable g_changed;
int g_closed = 0;
size_t g_seen = 0;

int OnEvent(const trtsp_event_t *e)
{
    std::lock_guard<std::mutex> lk(g_lock);
    if (e->type == trtsp_event_transport_closed) {
        ++g_closed;
        g_changed.notify_all();
    } else if (e->message) {
        const trtsp_message_t &m = *e->message;
        g_seen += m.content.size() + m.session.size() + m.transport.server_port[0] + m.headers.size();
    }
    return 0;
}

void OnFrame(void *, int, bool, const uint8_t *data, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        g_seen += data[i];
}

struct Server {
    int listener = -1;
    uint16_t port = 0;
    trtsp_stack_t *stack = nullptr;

    Server()
    {
        listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        if (::bind(listener, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(listener, 4) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr *>(&a), &n) != 0)
            std::abort();
        port = ntohs(a.sin_port);
        stack = trtsp_stack_create(OnEvent, "127.0.0.1", nullptr);
        if (!stack || trtsp_stack_start(stack) != 0)
            std::abort();
    }

    // Accepts the stack's connection and reads one request (up to its blank line).
    int Accept(std::string &request)
    {
        pollfd p {listener, POLLIN, 0};
        if (::poll(&p, 1, 2000) != 1)
            return -1;
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        char buf[4096];
        while (fd >= 0 && request.find("\r\n\r\n") == std::string::npos) {
            pollfd q {fd, POLLIN, 0};
            if (::poll(&q, 1, 2000) != 1)
                break;
            ssize_t r = ::recv(fd, buf, sizeof buf, 0);
            if (r <= 0)
                break;
            request.append(buf, size_t(r));
        }
        return fd;
    }
};

// Lines end with CR LF; no CR or LF stands alone.
void CheckRequest(const std::string &r)
{
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] == '\r' && (i + 1 >= r.size() || r[i + 1] != '\n'))
            __builtin_trap();
        if (r[i] == '\n' && (i == 0 || r[i - 1] != '\r'))
            __builtin_trap();
    }
}

bool WaitClosed(int count)
{
    std::unique_lock<std::mutex> lk(g_lock);
    return g_changed.wait_for(lk, std::chrono::seconds(5), [&] { return g_closed >= count; });
}

void Exchange(Server &server, trtsp_session_t *s, const char *cseq, const uint8_t *data, size_t size)
{
    const int before = g_closed;
    if (trtsp_action_perform(s, "127.0.0.1", server.port, "rtsp://127.0.0.1/cam", "DESCRIBE", 2000,
                             {{"CSeq", cseq}, {"Accept", "application/sdp"}}) != 0)
        return;
    std::string request;
    int fd = server.Accept(request);
    if (fd < 0)
        std::abort();
    CheckRequest(request);
    size_t off = 0;
    while (off < size) {
        ssize_t w = ::send(fd, data + off, size - off, MSG_NOSIGNAL);
        if (w <= 0)
            break;
        off += size_t(w);
    }
    ::shutdown(fd, SHUT_WR);
    if (!WaitClosed(before + 1))
        __builtin_trap(); // the stack never let go of a closed connection
    ::close(fd);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Server server;
    trtsp_session_t *s = trtsp_session_create(server.stack, "admin", "secret", "zox", nullptr);
    trtsp_session_set_interleaved(s, 2, 0);
    trtsp_session_set_interleaved(s, 4, 2);
    trtsp_session_set_interleaved_sink(s, OnFrame, nullptr);
    Exchange(server, s, "1", data, size);
    // The second request carries the answer to whatever challenge the reply held.
    static const uint8_t kOk[] = "RTSP/1.0 200 OK\r\nCSeq: 2\r\n\r\n";
    Exchange(server, s, "2", kOk, sizeof kOk - 1);
    trtsp_session_join(s);
    tsk_object_unref(s);
    return 0;
}
