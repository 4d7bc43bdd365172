#include "platforms/HttpClient.h"

#include "core/Log.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct ST_TRANSFER {
    std::string body;
    bool tooLarge = false;
    bool stalled = false;
    const std::atomic<bool> *abort = nullptr;
    // The stall limit: no byte sent or received for this long ends the transfer.
    std::chrono::milliseconds stallLimit{0};
    std::chrono::steady_clock::time_point lastMove;
    curl_off_t lastDown = -1;
    curl_off_t lastUp = -1;
    CURL *handle = nullptr;
};

size_t OnBodyBytes(char *bytes, size_t size, size_t count, void *context)
{
    auto *t = static_cast<ST_TRANSFER *>(context);
    const size_t n = size * count;
    if (n > CHttpClient::kMaxBody - t->body.size()) {
        t->tooLarge = true;
        return 0; // ends the transfer with a write error
    }
    t->body.append(bytes, n);
    return n;
}

int OnProgress(void *context, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow)
{
    auto *t = static_cast<ST_TRANSFER *>(context);
    if (t->abort->load())
        return 1;
    const auto now = std::chrono::steady_clock::now();
    curl_off_t connected = 0;
    curl_easy_getinfo(t->handle, CURLINFO_CONNECT_TIME_T, &connected);
    if (connected == 0) {
        t->lastMove = now; // still connecting: the connect limit applies
    } else if (dlnow != t->lastDown || ulnow != t->lastUp) {
        t->lastDown = dlnow;
        t->lastUp = ulnow;
        t->lastMove = now;
    } else if (now - t->lastMove > t->stallLimit) {
        t->stalled = true;
        return 1;
    }
    return 0;
}

// The caller's header text as lines: split at every CR or LF, empty lines dropped.
std::vector<std::string> HeaderLines(const char *headers)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char *p = headers; *p; ++p) {
        if (*p == '\r' || *p == '\n') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool HasHeader(const std::vector<std::string> &lines, const char *name)
{
    const size_t n = std::strlen(name);
    for (const std::string &l : lines)
        if (l.size() > n && l[n] == ':' && strncasecmp(l.c_str(), name, n) == 0)
            return true;
    return false;
}

bool CopyOut(const char *text, char *out, std::size_t capacity)
{
    const std::size_t n = std::strlen(text);
    if (n > CHttpClient::kMaxHostPath || n + 1 > capacity)
        return false;
    std::memcpy(out, text, n + 1);
    return true;
}

// No reply at all: the request did not get out (connection) or no answer came back.
bool IsSendFailure(CURLcode rc)
{
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return true;
    default:
        return false;
    }
}

} // namespace

CHttpClient::CHttpClient()
{
    GlobalInit();
}

CHttpClient::~CHttpClient()
{
    Close();
}

void CHttpClient::Close()
{
    if (m_request) {
        curl_easy_cleanup(static_cast<CURL *>(m_request));
        m_request = nullptr;
    }
}

void CHttpClient::SetTimeouts(int connectMs, int stallMs)
{
    m_connectTimeoutMs.store(std::max(1, connectMs));
    m_stallTimeoutMs.store(std::max(1, stallMs));
}

int CHttpClient::Get(const char *url, int32_t *status, CBuffer &body)
{
    return Request(false, url, nullptr, nullptr, 0, status, body);
}

int CHttpClient::Post(const char *url, const char *headers, const void *data, std::size_t length, int32_t *status,
                      CBuffer &body)
{
    return Request(true, url, headers, data, length, status, body);
}

int CHttpClient::CrackUrl(const char *url, int *scheme, char *host, std::size_t hostCapacity, uint16_t *port,
                          char *path, std::size_t pathCapacity)
{
    if (!url || !host || !path)
        return 0;
    GlobalInit();
    CURLU *u = curl_url();
    if (!u)
        return 0;
    int ok = 0;
    char *sch = nullptr, *hst = nullptr, *prt = nullptr, *pth = nullptr, *qry = nullptr;
    if (curl_url_set(u, CURLUPART_URL, url, CURLU_PATH_AS_IS) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_SCHEME, &sch, 0) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_HOST, &hst, 0) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_PORT, &prt, CURLU_DEFAULT_PORT) == CURLUE_OK &&
        curl_url_get(u, CURLUPART_PATH, &pth, 0) == CURLUE_OK) {
        const bool https = strcasecmp(sch, "https") == 0;
        const bool http = strcasecmp(sch, "http") == 0;
        std::string full = pth;
        if (curl_url_get(u, CURLUPART_QUERY, &qry, 0) == CURLUE_OK && qry)
            full += std::string("?") + qry;
        char *end = nullptr;
        const long p = std::strtol(prt, &end, 10);
        if ((http || https) && end && *end == 0 && p > 0 && p <= 65535 && std::strlen(hst) <= kMaxHostPath &&
            full.size() <= kMaxHostPath && std::strlen(hst) + 1 <= hostCapacity && full.size() + 1 <= pathCapacity) {
            CopyOut(hst, host, hostCapacity);
            CopyOut(full.c_str(), path, pathCapacity);
            if (scheme)
                *scheme = https ? kSchemeHttps : kSchemeHttp;
            if (port)
                *port = static_cast<uint16_t>(p);
            ok = 1;
        }
    }
    curl_free(sch);
    curl_free(hst);
    curl_free(prt);
    curl_free(pth);
    curl_free(qry);
    curl_url_cleanup(u);
    return ok;
}

std::string CHttpClient::MaskUrl(const std::string &url)
{
    static const char *const kSecretNames[] = {"password", "secret"};
    std::string out;
    std::size_t i = 0;
    const std::size_t q = url.find('?');
    if (q == std::string::npos)
        return url;
    out = url.substr(0, q + 1);
    i = q + 1;
    while (i <= url.size()) {
        std::size_t amp = url.find('&', i);
        if (amp == std::string::npos)
            amp = url.size();
        const std::string param = url.substr(i, amp - i);
        const std::size_t eq = param.find('=');
        bool secret = false;
        if (eq != std::string::npos)
            for (const char *name : kSecretNames)
                if (eq == std::strlen(name) && strncasecmp(param.c_str(), name, eq) == 0)
                    secret = true;
        out += secret ? param.substr(0, eq + 1) + "***" : param;
        if (amp < url.size())
            out += '&';
        i = amp + 1;
    }
    return out;
}

int CHttpClient::Request(bool post, const char *url, const char *headers, const void *data, std::size_t length,
                         int32_t *status, CBuffer &body)
{
    if (!url) {
        WriteLog("http:: invalid url");
        return 0;
    }
    curl_slist *list = nullptr;
    try {
        int scheme = 0;
        uint16_t port = 0;
        char host[kMaxHostPath + 1] = {};
        char path[kMaxHostPath + 1] = {};
        if (!CrackUrl(url, &scheme, host, sizeof host, &port, path, sizeof path)) {
            WriteLog("http:: parse url[%s] failed", MaskUrl(url).c_str());
            Close();
            return 0;
        }
        if (scheme == kSchemeHttps && !zox::edition::kHttpsSupported) {
            WriteLog("http:: url[%s] refused: https is not supported, and the request would go out unencrypted",
                     MaskUrl(url).c_str());
            Close();
            return 0;
        }
        Close();
        m_request = curl_easy_init();
        CURL *c = static_cast<CURL *>(m_request);
        if (!c) {
            WriteLog("http:: internet open failed");
            return 0;
        }

        ST_TRANSFER transfer;
        transfer.abort = &m_abort;
        transfer.stallLimit = std::chrono::milliseconds(m_stallTimeoutMs.load());
        transfer.lastMove = std::chrono::steady_clock::now();
        transfer.handle = c;
        curl_easy_setopt(c, CURLOPT_URL, url);
        curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        if constexpr (!zox::edition::kHttpUseEnvironmentProxy) {
            curl_easy_setopt(c, CURLOPT_PROXY, "");
            curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
        }
        curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
        curl_easy_setopt(c, CURLOPT_USERAGENT, "Mozilla/5.0");
        curl_easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(c, CURLOPT_FRESH_CONNECT, 1L);
        // Certificate errors (unknown authority, date, name) are ignored.
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(m_connectTimeoutMs.load()));
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &OnBodyBytes);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &OnProgress);
        curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);

        // One header per list entry; an empty "Name:" entry keeps libcurl's own out.
        std::vector<std::string> lines;
        if (!post) {
            lines = {"Accept: */*", std::string("User-Agent: ") + zox::edition::kHttpUserAgent};
        } else if (headers) {
            lines = HeaderLines(headers);
        } else {
            lines = {std::string("User-Agent: ") + zox::edition::kHttpUserAgent};
        }
        if (post) {
            if (!HasHeader(lines, "Accept"))
                lines.push_back("Accept:");
            if (!HasHeader(lines, "Content-Type"))
                lines.push_back("Content-Type:");
            lines.push_back("Expect:");
        }
        for (const std::string &l : lines) {
            curl_slist *next = curl_slist_append(list, l.c_str());
            if (!next)
                throw std::bad_alloc();
            list = next;
        }
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);

        if (post) {
            curl_easy_setopt(c, CURLOPT_POST, 1L);
            curl_easy_setopt(c, CURLOPT_POSTFIELDS, data && length ? data : "");
            curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(data ? length : 0));
        } else {
            curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
        }

        const CURLcode rc = curl_easy_perform(c);
        long code = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
        curl_slist_free_all(list);
        list = nullptr;

        if (code == 0) {
            // No status line came back.
            if constexpr (zox::edition::kChinese) {
                if (IsSendFailure(rc))
                    WriteLog("http:: send request failed[%d]", static_cast<int>(rc));
                else
                    WriteLog("http:: query info failed");
            } else if (rc == CURLE_ABORTED_BY_CALLBACK && transfer.stalled)
                WriteLog("http:: receive response failed [%d]", static_cast<int>(CURLE_OPERATION_TIMEDOUT));
            else if (rc == CURLE_ABORTED_BY_CALLBACK)
                WriteLog("http:: request aborted");
            else if (IsSendFailure(rc))
                WriteLog("http:: send request failed [%d]", static_cast<int>(rc));
            else
                WriteLog("http:: receive response failed [%d]", static_cast<int>(rc));
            Close();
            return 0;
        }
        if (status)
            *status = static_cast<int32_t>(code);
        if (code != 200) {
            WriteLog("http:: request failed, status code[%d]", static_cast<int>(code));
            Close();
            return 0;
        }
        if (rc != CURLE_OK && zox::edition::kChinese && !transfer.tooLarge) {
            // A read that fails ends the call as failed; the bytes read so far stay in
            // the caller's buffer.
            if (!transfer.body.empty())
                body.Append(transfer.body.data(), transfer.body.size());
            Close();
            return 0;
        }
        if (rc != CURLE_OK) {
            // The body did not arrive whole: a cut connection, a stalled transfer, an
            // abort or a body past the limit. A part of a body is no reply.
            if (transfer.tooLarge)
                WriteLog("http:: Out of memory");
            else
                WriteLog("http:: Error %u in WinHttpReadData", static_cast<unsigned>(rc));
            Close();
            return 0;
        }
        if (!transfer.body.empty() && !body.Append(transfer.body.data(), transfer.body.size())) {
            WriteLog("http:: Out of memory");
            Close();
            return 0;
        }
        Close();
        return 1;
    } catch (...) {
        curl_slist_free_all(list);
        WriteLog("http:: http interface error");
        Close();
        return 0;
    }
}
