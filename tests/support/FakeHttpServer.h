#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the platform tests: a thread per
// connection, one request per connection, every request recorded, each answered by the
// test's reply function (canned and hostile replies). With TLS it serves a freshly
// made self-signed certificate that is also expired and names another host.
//
//   FakeHttpServer server;
//   server.SetReplies([](const FakeHttpServer::Request &r, std::size_t index) {
//       return FakeHttpServer::Reply::Json(200, "{\"result\":0}");
//   });
//   ASSERT_TRUE(server.Start());
//   ... server.Url() + "/path" ...
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zoxtest {

class FakeHttpServer {
public:
    struct Request {
        std::string method;
        std::string target; // path and query as sent
        std::vector<std::string> headerLines;
        std::string body;
        // The value of the first header of that name (any case); empty when absent.
        std::string Header(const std::string &name) const;
        bool HasHeader(const std::string &name) const;
    };

    struct Reply {
        enum class Kind {
            Normal,    // status line, headers, the whole body
            Truncated, // announces the whole body, sends half of it, closes
            Silent,    // reads the request and closes without a byte
            Raw,       // sends raw as it is
        };
        Kind kind = Kind::Normal;
        int status = 200;
        std::string body;
        std::string raw;
        int delayMs = 0; // wait before the first byte of the reply

        static Reply Json(int status, std::string body)
        {
            Reply r;
            r.status = status;
            r.body = std::move(body);
            return r;
        }
    };

    using ReplyFn = std::function<Reply(const Request &request, std::size_t index)>;

    FakeHttpServer();
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer &) = delete;
    FakeHttpServer &operator=(const FakeHttpServer &) = delete;

    // Sets the reply function (any time; the next request uses it). The index counts
    // every request received since the start, from 0.
    void SetReplies(ReplyFn fn);
    // Listens on 127.0.0.1 at the given port (0: any free port).
    bool Start(bool tls = false, uint16_t port = 0);
    void Stop();

    uint16_t Port() const { return m_port; }
    std::string Url() const;
    std::vector<Request> Requests() const;
    std::size_t RequestCount() const;
    // Waits until at least count requests were received; whether they were.
    bool WaitForRequests(std::size_t count, int timeoutMs = 10000) const;

private:
    void Run();
    void Serve(int fd);
    bool Pause(int ms);

    int m_listen = -1;
    uint16_t m_port = 0;
    bool m_tls = false;
    void *m_ctx = nullptr; // SSL_CTX
    std::thread m_thread;
    std::vector<std::thread> m_workers; // the accepting thread's only
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_lock;
    mutable std::condition_variable m_cond;
    ReplyFn m_replies;
    std::vector<Request> m_requests;
};

} // namespace zoxtest
