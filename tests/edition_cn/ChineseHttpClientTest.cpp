// The HTTP client of the Chinese-language build against a fake server on loopback: the
// environment's proxy, its own User-Agent, https refused before anything is sent, a
// body cut short failing the call with its bytes kept, longer host and path texts.
#include "core/Log.h"
#include "platforms/HttpClient.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

using zoxtest::FakeHttpServer;
using Reply = FakeHttpServer::Reply;

namespace {

std::string Text(const CBuffer &b)
{
    return b.Size() ? std::string(reinterpret_cast<const char *>(b.Data()), b.Size()) : std::string();
}

// Sets a variable of the environment for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::string &value) : m_name(name)
    {
        if (const char *old = std::getenv(name)) {
            m_had = true;
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had = false;
    std::string m_old;
};

class ChineseHttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The fake server is reached directly unless a test names it as the proxy.
        for (const char *v : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                              "no_proxy", "NO_PROXY"})
            ::unsetenv(v);
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

TEST_F(ChineseHttpClientTest, GetSendsItsOwnHeadersAndReadsTheBody)
{
    Serve(Reply::Json(200, "{\"result\":0}"));
    int32_t status = 0;
    CBuffer body;
    ASSERT_EQ(1, http.Get((server.Url() + "/StandardApiAction_queryUserVehicle.action?jsession=s1").c_str(), &status,
                          body));
    EXPECT_EQ(200, status);
    EXPECT_EQ("{\"result\":0}", Text(body));
    const auto reqs = server.Requests();
    ASSERT_EQ(1u, reqs.size());
    EXPECT_EQ("GET", reqs[0].method);
    EXPECT_EQ("/StandardApiAction_queryUserVehicle.action?jsession=s1", reqs[0].target);
    EXPECT_EQ("zox-wxclient", reqs[0].Header("User-Agent"));
    EXPECT_EQ("*/*", reqs[0].Header("Accept"));
}

// An https address would go out as plain HTTP to port 443 with the account and password
// in its query: it is refused before any connection, and the log says why without the
// password.
TEST_F(ChineseHttpClientTest, HttpsAddressIsRefusedWithoutSending)
{
    for (const bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "server speaks TLS" : "server speaks plain HTTP");
        FakeHttpServer s;
        s.SetReplies([](const FakeHttpServer::Request &, std::size_t) { return Reply::Json(200, "{}"); });
        ASSERT_TRUE(s.Start(tls));
        zoxtest::TempDir dir;
        OpenLogFile((dir.path() / "log.txt").string());
        const std::string url = "https://127.0.0.1:" + std::to_string(s.Port()) +
                                "/StandardApiAction_login.action?account=ops&password=hunter2";
        int32_t status = -7;
        CBuffer body;
        EXPECT_EQ(0, http.Get(url.c_str(), &status, body));
        CloseLogFile();
        EXPECT_EQ(-7, status);
        EXPECT_EQ(0u, body.Size());
        EXPECT_FALSE(s.WaitForRequests(1, 300));
        const std::string log = dir.read("log.txt");
        EXPECT_NE(std::string::npos, log.find("https is not supported")) << log;
        EXPECT_EQ(std::string::npos, log.find("hunter2"));
    }
}

TEST_F(ChineseHttpClientTest, RequestsGoThroughTheEnvironmentsProxy)
{
    Serve(Reply::Json(200, "proxied"));
    ScopedEnv proxy("http_proxy", server.Url());
    int32_t status = 0;
    CBuffer body;
    ASSERT_EQ(1, http.Get("http://cms.example.invalid:6611/StandardApiAction_login.action?account=a", &status, body));
    EXPECT_EQ("proxied", Text(body));
    const auto reqs = server.Requests();
    ASSERT_EQ(1u, reqs.size());
    // A proxy is asked for the whole address.
    EXPECT_EQ("http://cms.example.invalid:6611/StandardApiAction_login.action?account=a", reqs[0].target);
}

TEST_F(ChineseHttpClientTest, BodyCutShortFailsAndKeepsWhatArrived)
{
    const std::string full = std::string(4000, 'a') + std::string(4000, 'b');
    Reply cut = Reply::Json(200, full);
    cut.kind = Reply::Kind::Truncated;
    Serve(cut);
    int32_t status = 0;
    CBuffer body;
    EXPECT_EQ(0, http.Get((server.Url() + "/x").c_str(), &status, body));
    EXPECT_EQ(200, status);
    EXPECT_GT(body.Size(), 0u);
    EXPECT_LT(body.Size(), full.size());
    EXPECT_EQ(full.substr(0, body.Size()), Text(body));
}

TEST(ChineseHttpCrackUrl, HostAndPathUpTo2083Characters)
{
    struct Case {
        const char *name;
        std::size_t hostLength;
        std::size_t pathLength; // the "/" included
        bool accepted;
    };
    const Case cases[] = {
        {"longest path", 10, 2083, true},
        {"path one too long", 10, 2084, false},
        {"longest host", 2083, 1, true},
        {"host one too long", 2084, 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string url = "http://" + std::string(c.hostLength, 'h') + "/" + std::string(c.pathLength - 1, 'p');
        std::string host(CHttpClient::kMaxHostPath + 1, '\0'), path(CHttpClient::kMaxHostPath + 1, '\0');
        int scheme = 0;
        uint16_t port = 0;
        EXPECT_EQ(c.accepted ? 1 : 0, CHttpClient::CrackUrl(url.c_str(), &scheme, host.data(), host.size(), &port,
                                                            path.data(), path.size()));
        if (c.accepted) {
            EXPECT_EQ(c.hostLength, std::string(host.c_str()).size());
            EXPECT_EQ(c.pathLength, std::string(path.c_str()).size());
            EXPECT_EQ(80, port);
        }
    }
}
