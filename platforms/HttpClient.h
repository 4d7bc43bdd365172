#pragma once
// CHttpClient: the small synchronous HTTP client of the platform links (libcurl).
//
// Every call is one complete exchange: open, send, read the status and, for status
// 200 only, the whole body, close. Nothing is kept between calls (no cookies, no
// connection reuse, no retries, no redirects followed). The English build uses no
// proxy and does not check the certificates of https servers; the Chinese-language
// build goes through the environment's proxy (http_proxy, no_proxy, ...) and refuses
// https addresses without sending anything: it has no encrypted transport, and the
// request would carry the credentials in its query in the clear. One object is used by one worker thread at a time;
// Abort() may be called from any thread.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Buffer.h"
#include "core/Edition.h"

class CHttpClient {
public:
    static constexpr int kSchemeHttp = 1;
    static constexpr int kSchemeHttps = 2;
    // Longest host and path (query included) that a URL may carry.
    static constexpr std::size_t kMaxHostPath = zox::edition::kHttpMaxHostPath;
    // Longest reply body taken; a longer one fails the request.
    static constexpr std::size_t kMaxBody = 32u * 1024u * 1024u;
    // Time limits: connecting, and a transfer that moves no byte at all.
    static constexpr int kDefaultConnectTimeoutMs = 60000;
    static constexpr int kDefaultStallTimeoutMs = 30000;

    CHttpClient();
    ~CHttpClient();
    CHttpClient(const CHttpClient &) = delete;
    CHttpClient &operator=(const CHttpClient &) = delete;

    // GET. Non-zero when the request completed with status 200 and its whole body was
    // appended to body. status receives the HTTP status whenever one was received; it
    // keeps the caller's value otherwise.
    int Get(const char *url, int32_t *status, CBuffer &body);
    // POST with the caller's header lines (each ending in "\r\n"; null for none) and
    // the request body (null and 0 for an empty one). Results as Get.
    int Post(const char *url, const char *headers, const void *data, std::size_t length, int32_t *status,
             CBuffer &body);
    // Releases the open request, if any.
    void Close();

    // Splits an http or https URL into scheme number, host, port (the scheme's default
    // when the URL names none) and path with its query. Host and path are written as
    // terminated texts of at most kMaxHostPath characters into caller buffers of the
    // given capacities. Non-zero on success; the outputs are written only then.
    static int CrackUrl(const char *url, int *scheme, char *host, std::size_t hostCapacity, uint16_t *port,
                        char *path, std::size_t pathCapacity);

    // The URL as it may be logged: the values of password and secret parameters
    // replaced by "***".
    static std::string MaskUrl(const std::string &url);

    void SetTimeouts(int connectMs, int stallMs);
    // Makes the running request (and every later one) fail within about a second.
    void Abort() { m_abort.store(true); }
    bool IsAborted() const { return m_abort.load(); }

private:
    int Request(bool post, const char *url, const char *headers, const void *data, std::size_t length,
                int32_t *status, CBuffer &body);

    void *m_request = nullptr; // the libcurl handle of the running call; null between calls
    std::atomic<bool> m_abort{false};
    std::atomic<int> m_connectTimeoutMs{kDefaultConnectTimeoutMs};
    std::atomic<int> m_stallTimeoutMs{kDefaultStallTimeoutMs};
};
