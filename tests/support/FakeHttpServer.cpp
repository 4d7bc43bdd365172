#include "tests/support/FakeHttpServer.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace zoxtest {

namespace {

constexpr std::size_t kMaxRequest = 4 * 1024 * 1024;

// A certificate for "wrong-host.invalid", signed by its own key, valid only in the past.
SSL_CTX *MakeTlsContext()
{
    SSL_CTX *ctx = SSL_CTX_new(TLS_server_method());
    if (!ctx)
        return nullptr;
    EVP_PKEY *key = EVP_EC_gen("P-256");
    X509 *cert = X509_new();
    bool ok = key && cert;
    if (ok) {
        X509_set_version(cert, 2);
        ASN1_INTEGER_set(X509_get_serialNumber(cert), 7);
        X509_gmtime_adj(X509_getm_notBefore(cert), -10L * 24 * 3600);
        X509_gmtime_adj(X509_getm_notAfter(cert), -1L * 24 * 3600);
        X509_set_pubkey(cert, key);
        X509_NAME *name = X509_get_subject_name(cert);
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                                   reinterpret_cast<const unsigned char *>("wrong-host.invalid"), -1, -1, 0);
        X509_set_issuer_name(cert, name);
        ok = X509_sign(cert, key, EVP_sha256()) > 0 && SSL_CTX_use_certificate(ctx, cert) == 1 &&
             SSL_CTX_use_PrivateKey(ctx, key) == 1;
    }
    X509_free(cert);
    EVP_PKEY_free(key);
    if (!ok) {
        SSL_CTX_free(ctx);
        return nullptr;
    }
    return ctx;
}

// One accepted connection, plain or TLS.
struct Conn {
    int fd = -1;
    SSL *ssl = nullptr;

    long Read(char *buf, std::size_t n)
    {
        if (ssl) {
            const int r = SSL_read(ssl, buf, static_cast<int>(n));
            return r > 0 ? r : -1;
        }
        const ssize_t r = ::recv(fd, buf, n, 0);
        return r > 0 ? static_cast<long>(r) : -1;
    }
    bool Write(const std::string &bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            long w;
            if (ssl)
                w = SSL_write(ssl, bytes.data() + done, static_cast<int>(bytes.size() - done));
            else
                w = static_cast<long>(::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL));
            if (w <= 0)
                return false;
            done += static_cast<std::size_t>(w);
        }
        return true;
    }
    bool Readable(int ms)
    {
        if (ssl && SSL_pending(ssl) > 0)
            return true;
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
};

std::string StatusText(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

std::string FakeHttpServer::Request::Header(const std::string &name) const
{
    for (const std::string &l : headerLines) {
        if (l.size() > name.size() && l[name.size()] == ':' && strncasecmp(l.c_str(), name.c_str(), name.size()) == 0) {
            std::size_t b = name.size() + 1;
            while (b < l.size() && l[b] == ' ')
                ++b;
            return l.substr(b);
        }
    }
    return {};
}

bool FakeHttpServer::Request::HasHeader(const std::string &name) const
{
    for (const std::string &l : headerLines)
        if (l.size() > name.size() && l[name.size()] == ':' && strncasecmp(l.c_str(), name.c_str(), name.size()) == 0)
            return true;
    return false;
}

FakeHttpServer::FakeHttpServer() = default;

FakeHttpServer::~FakeHttpServer()
{
    Stop();
}

void FakeHttpServer::SetReplies(ReplyFn fn)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_replies = std::move(fn);
}

std::string FakeHttpServer::Url() const
{
    return std::string(m_tls ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_port);
}

std::vector<FakeHttpServer::Request> FakeHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests;
}

std::size_t FakeHttpServer::RequestCount() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_requests.size();
}

bool FakeHttpServer::WaitForRequests(std::size_t count, int timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_lock);
    return m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_requests.size() >= count; });
}

bool FakeHttpServer::Start(bool tls, uint16_t port)
{
    m_tls = tls;
    // A client that gave up closes its end; writing to it must not end the tests.
    std::signal(SIGPIPE, SIG_IGN);
    if (tls) {
        m_ctx = MakeTlsContext();
        if (!m_ctx)
            return false;
    }
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0)
        return false;
    int one = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(m_listen, 16) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len) != 0) {
        ::close(m_listen);
        m_listen = -1;
        return false;
    }
    m_port = ntohs(a.sin_port);
    m_stop = false;
    m_thread = std::thread(&FakeHttpServer::Run, this);
    return true;
}

void FakeHttpServer::Stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listen >= 0) {
        ::close(m_listen);
        m_listen = -1;
    }
    if (m_ctx) {
        SSL_CTX_free(static_cast<SSL_CTX *>(m_ctx));
        m_ctx = nullptr;
    }
}

bool FakeHttpServer::Pause(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (m_stop)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return !m_stop;
}

void FakeHttpServer::Run()
{
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        // Each connection on its own thread: a slow reply holds up no other request.
        m_workers.emplace_back([this, fd] {
            Serve(fd);
            ::close(fd);
        });
    }
    for (std::thread &t : m_workers)
        t.join();
    m_workers.clear();
}

void FakeHttpServer::Serve(int fd)
{
    Conn c;
    c.fd = fd;
    if (m_ctx) {
        c.ssl = SSL_new(static_cast<SSL_CTX *>(m_ctx));
        SSL_set_fd(c.ssl, fd);
        if (SSL_accept(c.ssl) != 1) {
            SSL_free(c.ssl);
            return;
        }
    }
    // The request: head up to the blank line, then Content-Length bytes.
    std::string in;
    std::size_t headEnd = std::string::npos;
    std::size_t want = 0;
    char buf[8192];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool complete = false;
    while (!m_stop && in.size() < kMaxRequest && std::chrono::steady_clock::now() < deadline) {
        if (headEnd != std::string::npos && in.size() >= headEnd + 4 + want) {
            complete = true;
            break;
        }
        if (!c.Readable(20))
            continue;
        const long n = c.Read(buf, sizeof buf);
        if (n <= 0)
            break;
        in.append(buf, static_cast<std::size_t>(n));
        if (headEnd == std::string::npos) {
            headEnd = in.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                Request probe;
                std::size_t pos = in.find("\r\n") + 2;
                while (pos < headEnd) {
                    const std::size_t e = in.find("\r\n", pos);
                    probe.headerLines.push_back(in.substr(pos, e - pos));
                    pos = e + 2;
                }
                const std::string cl = probe.Header("Content-Length");
                want = cl.empty() ? 0 : static_cast<std::size_t>(std::strtoul(cl.c_str(), nullptr, 10));
            }
        }
    }
    if (!complete && headEnd != std::string::npos && in.size() >= headEnd + 4 + want)
        complete = true;
    if (!complete) {
        if (c.ssl)
            SSL_free(c.ssl);
        return;
    }

    Request req;
    const std::size_t lineEnd = in.find("\r\n");
    const std::string first = in.substr(0, lineEnd);
    const std::size_t s1 = first.find(' ');
    const std::size_t s2 = first.find(' ', s1 + 1);
    req.method = first.substr(0, s1);
    req.target = first.substr(s1 + 1, s2 - s1 - 1);
    std::size_t pos = lineEnd + 2;
    while (pos < headEnd) {
        const std::size_t e = in.find("\r\n", pos);
        req.headerLines.push_back(in.substr(pos, e - pos));
        pos = e + 2;
    }
    req.body = in.substr(headEnd + 4, want);

    ReplyFn fn;
    std::size_t index;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        fn = m_replies;
        index = m_requests.size();
        m_requests.push_back(req);
    }
    m_cond.notify_all();
    Reply reply = fn ? fn(req, index) : Reply::Json(404, "");

    if (reply.delayMs > 0 && !Pause(reply.delayMs)) {
        if (c.ssl)
            SSL_free(c.ssl);
        return;
    }
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + StatusText(reply.status) +
                       "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                       std::to_string(reply.body.size()) + "\r\n\r\n";
    switch (reply.kind) {
    case Reply::Kind::Normal:
        c.Write(head + reply.body);
        break;
    case Reply::Kind::Truncated:
        c.Write(head + reply.body.substr(0, reply.body.size() / 2));
        break;
    case Reply::Kind::Silent:
        break;
    case Reply::Kind::Raw:
        c.Write(reply.raw);
        break;
    }
    if (c.ssl) {
        SSL_shutdown(c.ssl);
        SSL_free(c.ssl);
    }
    ::shutdown(fd, SHUT_RDWR);
}

} // namespace zoxtest
