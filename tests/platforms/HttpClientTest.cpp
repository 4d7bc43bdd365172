// The HTTP client against a fake server on loopback: statuses, bodies, headers sent,
// hostile replies, time limits, the abort, https with a certificate nobody vouches for.
#include "core/Log.h"
#include "platforms/HttpClient.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

using zoxtest::FakeHttpServer;
using Reply = FakeHttpServer::Reply;

namespace {

std::string Text(const CBuffer &b)
{
    return b.Size() ? std::string(reinterpret_cast<const char *>(b.Data()), b.Size()) : std::string();
}

// A port on which nothing listens.
uint16_t ClosedPort()
{
    FakeHttpServer s;
    EXPECT_TRUE(s.Start());
    const uint16_t port = s.Port();
    s.Stop();
    return port;
}

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        http.SetTimeouts(2000, 1000);
    }
    void Serve(Reply reply, bool tls = false)
    {
        server.SetReplies([reply](const FakeHttpServer::Request &, std::size_t) { return reply; });
        ASSERT_TRUE(server.Start(tls));
    }

    FakeHttpServer server;
    CHttpClient http;
};

} // namespace

// What a reply of the server turns into: result, status seen, body taken.
TEST_F(HttpClientTest, RepliesTurnIntoResultStatusAndBody)
{
    struct Case {
        const char *name;
        Reply reply;
        int result;
        int32_t status;
        std::string body;
    };
    const std::string big(300000, 'x');
    Reply truncated = Reply::Json(200, big);
    truncated.kind = Reply::Kind::Truncated;
    Reply silent;
    silent.kind = Reply::Kind::Silent;
    Reply garbage;
    garbage.kind = Reply::Kind::Raw;
    garbage.raw = "this is no http\r\n\r\n";
    Reply slow = Reply::Json(200, "{}");
    slow.delayMs = 5000;
    const Case cases[] = {
        {"200 with a body", Reply::Json(200, "{\"result\":0}"), 1, 200, "{\"result\":0}"},
        {"200 with a body past the inline storage", Reply::Json(200, big), 1, 200, big},
        {"200 with an empty body", Reply::Json(200, ""), 1, 200, ""},
        {"201 is no success", Reply::Json(201, "{}"), 0, 201, ""},
        {"204 is no success", Reply::Json(204, ""), 0, 204, ""},
        {"404", Reply::Json(404, "not here"), 0, 404, ""},
        {"500", Reply::Json(500, "{}"), 0, 500, ""},
        {"body cut short", truncated, 0, 200, ""},
        {"connection closed without a reply", silent, 0, -7, ""},
        {"not http", garbage, 0, -7, ""},
        {"reply later than the stall limit", slow, 0, -7, ""},
    };
    server.SetReplies([&](const FakeHttpServer::Request &, std::size_t i) { return cases[i].reply; });
    ASSERT_TRUE(server.Start());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int32_t status = -7;
        CBuffer body;
        EXPECT_EQ(c.result, http.Get((server.Url() + "/x").c_str(), &status, body));
        EXPECT_EQ(c.status, status);
        EXPECT_EQ(c.body, Text(body));
    }
}

TEST_F(HttpClientTest, FailuresBeforeAnyReplyLeaveTheStatusAlone)
{
    const std::string longHost = "http://" + std::string(261, 'h') + "/";
    const std::string longPath = "http://127.0.0.1/" + std::string(260, 'p');
    const std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/x";
    const char *const urls[] = {nullptr,          "not a url",      "ftp://127.0.0.1/x", longHost.c_str(),
                                longPath.c_str(), refused.c_str()};
    for (const char *url : urls) {
        SCOPED_TRACE(url ? url : "(null)");
        int32_t status = 1234;
        CBuffer body;
        EXPECT_EQ(0, http.Get(url, &status, body));
        EXPECT_EQ(0, http.Post(url, nullptr, "a", 1, &status, body));
        EXPECT_EQ(1234, status);
        EXPECT_EQ(0u, body.Size());
    }
}

TEST_F(HttpClientTest, CrackUrlSplitsSchemeHostPortAndPathWithQuery)
{
    struct Case {
        const char *url;
        int ok;
        int scheme;
        const char *host;
        uint16_t port;
        const char *path;
    };
    const Case cases[] = {
        {"http://10.0.0.5:8080/a/b?x=1&y=%41", 1, CHttpClient::kSchemeHttp, "10.0.0.5", 8080, "/a/b?x=1&y=%41"},
        {"https://platform.example/api", 1, CHttpClient::kSchemeHttps, "platform.example", 443, "/api"},
        {"http://platform.example", 1, CHttpClient::kSchemeHttp, "platform.example", 80, "/"},
        {"rtsp://10.0.0.5/x", 0, 0, "", 0, ""},
        {"http://", 0, 0, "", 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.url);
        int scheme = 0;
        uint16_t port = 0;
        char host[261] = {}, path[261] = {};
        ASSERT_EQ(c.ok, CHttpClient::CrackUrl(c.url, &scheme, host, sizeof host, &port, path, sizeof path));
        EXPECT_EQ(c.scheme, scheme);
        EXPECT_STREQ(c.host, host);
        EXPECT_EQ(c.port, port);
        EXPECT_STREQ(c.path, path);
    }
}

// The request line and the header lines as the server sees them.
TEST_F(HttpClientTest, SendsExactlyTheHeadersAndBodyAsked)
{
    Serve(Reply::Json(200, "ok"));
    int32_t status = 0;
    {
        CBuffer body;
        ASSERT_EQ(1, http.Get((server.Url() + "/q?account=a%20b&password=p").c_str(), &status, body));
    }
    {
        CBuffer body;
        ASSERT_EQ(1, http.Post((server.Url() + "/login?AppId=1").c_str(), nullptr, nullptr, 0, &status, body));
    }
    {
        CBuffer body;
        const char *headers = "TokenId: t1\r\nUser-Agent: zox-client\r\nContent-Type: application/json; charset=utf-8\r\n";
        ASSERT_EQ(1, http.Post((server.Url() + "/bs/voipusers").c_str(), headers, "{\"a\":1}\n", 8, &status, body));
    }
    const auto reqs = server.Requests();
    ASSERT_EQ(3u, reqs.size());

    EXPECT_EQ("GET", reqs[0].method);
    EXPECT_EQ("/q?account=a%20b&password=p", reqs[0].target);
    EXPECT_EQ("*/*", reqs[0].Header("Accept"));
    EXPECT_EQ("zox-client", reqs[0].Header("User-Agent"));

    EXPECT_EQ("POST", reqs[1].method);
    EXPECT_EQ("/login?AppId=1", reqs[1].target);
    EXPECT_EQ("zox-client", reqs[1].Header("User-Agent"));
    EXPECT_FALSE(reqs[1].HasHeader("Content-Type"));
    EXPECT_FALSE(reqs[1].HasHeader("Accept"));
    EXPECT_EQ("", reqs[1].body);

    EXPECT_EQ("POST", reqs[2].method);
    EXPECT_EQ("t1", reqs[2].Header("TokenId"));
    EXPECT_EQ("zox-client", reqs[2].Header("User-Agent"));
    EXPECT_EQ("application/json; charset=utf-8", reqs[2].Header("Content-Type"));
    EXPECT_FALSE(reqs[2].HasHeader("Accept"));
    EXPECT_FALSE(reqs[2].HasHeader("Expect"));
    EXPECT_EQ("{\"a\":1}\n", reqs[2].body);
    int userAgents = 0;
    for (const std::string &l : reqs[2].headerLines)
        userAgents += l.rfind("User-Agent:", 0) == 0;
    EXPECT_EQ(1, userAgents);
}

TEST_F(HttpClientTest, HttpsWithASelfSignedExpiredWronglyNamedCertificateSucceeds)
{
    Serve(Reply::Json(200, "{\"result\":0}"), true);
    int32_t status = 0;
    CBuffer body;
    ASSERT_EQ(1, http.Get((server.Url() + "/StandardApiAction_login.action?account=a").c_str(), &status, body));
    EXPECT_EQ(200, status);
    EXPECT_EQ("{\"result\":0}", Text(body));
    CBuffer posted;
    ASSERT_EQ(1, http.Post((server.Url() + "/login").c_str(), nullptr, "x", 1, &status, posted));
    EXPECT_EQ("/StandardApiAction_login.action?account=a", server.Requests().at(0).target);
}

TEST_F(HttpClientTest, AbortEndsAWaitingRequestWithinItsWait)
{
    Reply slow = Reply::Json(200, "{}");
    slow.delayMs = 20000;
    Serve(slow);
    http.SetTimeouts(2000, 30000);
    std::thread aborter([this] {
        server.WaitForRequests(1);
        http.Abort();
    });
    const auto start = std::chrono::steady_clock::now();
    int32_t status = 0;
    CBuffer body;
    EXPECT_EQ(0, http.Get((server.Url() + "/x").c_str(), &status, body));
    aborter.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(http.IsAborted());
    server.Stop();
}

TEST(HttpClientMaskTest, PasswordsAndSecretsNeverReachTheLog)
{
    EXPECT_EQ("http://h/StandardApiAction_login.action?account=ops&password=***",
              CHttpClient::MaskUrl("http://h/StandardApiAction_login.action?account=ops&password=s3cr%20t"));
    EXPECT_EQ("http://h/login?AppId=app&Secret=***&x=1", CHttpClient::MaskUrl("http://h/login?AppId=app&Secret=k&x=1"));
    EXPECT_EQ("http://h/a", CHttpClient::MaskUrl("http://h/a"));

    zoxtest::TempDir dir;
    OpenLogFile((dir.path() / "log.txt").string());
    CHttpClient http;
    int32_t status = 0;
    CBuffer body;
    const std::string url = "http://" + std::string(300, 'h') + "/x?account=ops&password=hunter2";
    EXPECT_EQ(0, http.Get(url.c_str(), &status, body));
    CloseLogFile();
    const std::string log = dir.read("log.txt");
    EXPECT_NE(std::string::npos, log.find("http:: parse url["));
    EXPECT_NE(std::string::npos, log.find("password=***"));
    EXPECT_EQ(std::string::npos, log.find("hunter2"));
}
