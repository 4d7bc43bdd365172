// The user-platform link against a fake platform: login, the paged user download with
// its exact requests, failed pages injected by request index, and the cache writes.
#include "host/MessageNumbers.h"
#include "platforms/UapDataModule.h"
#include "tests/platforms/LinkTestSupport.h"
#include "tests/support/FakePlatforms.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

using namespace zoxtest;
using Reply = FakeHttpServer::Reply;

namespace {

std::string Number(int i)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "6%04d", i);
    return buf;
}

class UapLinkTest : public LinkTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LinkTest::SetUp());
        Users(250);
        platform.With([](FakeUapData &d) {
            d.appId = "app id/1";
            d.secret = "s&e=c?r";
            d.token = "TOK-42";
        });
    }

    void Users(int n)
    {
        platform.With([n](FakeUapData &d) {
            d.users.clear();
            for (int i = 0; i < n; ++i)
                d.users.push_back({Number(i), "Person " + std::to_string(i), "Org " + std::to_string(i % 3)});
        });
    }

    std::unique_ptr<TUAPDataModule> Link(MessageRecorder *messages = nullptr)
    {
        ST_PLATFORM_LINK_ENV env = Env("uapapi.ini", "[UAP]\nBaseUrl=" + platform.server.Url() +
                                                          "\nAppId=app id/1\nSecret=s&e=c?r\n");
        if (messages)
            env.notify = [messages](uint32_t m) { messages->Post(m); };
        return std::make_unique<TUAPDataModule>(std::move(env));
    }

    FakeUapPlatform platform;
};

const char kLoginTarget[] = "/login?AppId=app%20id%2F1&Secret=s%26e%3Dc%3Fr";

} // namespace

TEST_F(UapLinkTest, DownloadsEveryPageAndRenamesTheDispatchUsers)
{
    platform.With([](FakeUapData &d) {
        d.users[5].voipNum = "";                 // not stored, yet counted for the next offset
        d.users[150].voipNum = d.users[149].voipNum; // the first of two equal numbers stays
        d.users[7].realName = "";                // no name to give
    });
    ASSERT_TRUE(platform.server.Start());
    AddUser(Number(1), "Old one");
    AddUser(Number(7), "Keeps its name");
    AddUser(Number(249), "Last");
    AddUser("9999", "Not on the platform");
    auto link = Link();
    ASSERT_EQ(0, link->StartResult());
    ASSERT_TRUE(recorder.WaitFor(WM_UAP_USERS_READY));
    EXPECT_TRUE(link->IsFetched());
    EXPECT_FALSE(link->IsBusy());

    const auto reqs = platform.server.Requests();
    ASSERT_EQ(4u, reqs.size());
    EXPECT_EQ(kLoginTarget, reqs[0].target);
    EXPECT_EQ("", reqs[0].body);
    EXPECT_EQ("zox-client", reqs[0].Header("User-Agent"));
    const char *const bodies[] = {
        "{\"Limit\":100,\"Offset\":0,\"Order\":\"asc\",\"Sort\":\"VoipNum\"}\n",
        "{\"Limit\":100,\"Offset\":100,\"Order\":\"asc\",\"Sort\":\"VoipNum\"}\n",
        "{\"Limit\":100,\"Offset\":200,\"Order\":\"asc\",\"Sort\":\"VoipNum\"}\n",
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ("/bs/voipusers", reqs[i + 1].target);
        EXPECT_EQ(bodies[i], reqs[i + 1].body);
        EXPECT_EQ("TOK-42", reqs[i + 1].Header("TokenId"));
        EXPECT_EQ("application/json; charset=utf-8", reqs[i + 1].Header("Content-Type"));
    }

    db->exec("INSERT INTO uap_voip_user(voip_num, user_name) VALUES('stale', 'gone')");
    ASSERT_EQ(0, link->SyncToDatabase());
    EXPECT_EQ(248, db->count("SELECT COUNT(*) FROM uap_voip_user"));
    EXPECT_EQ(0, db->count("SELECT COUNT(*) FROM uap_voip_user WHERE voip_num='stale'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM uap_voip_user WHERE voip_num='" + Number(149) +
                           "' AND user_name='Person 149'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM uap_voip_user WHERE voip_num='" + Number(1) +
                           "' AND org_name='Org 1' AND org_path='/Org 1' AND police_num='P" + Number(1) +
                           "' AND mobile='M" + Number(1) + "' AND user_type='radio'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='" + Number(1) +
                           "' AND displayName='Person 1'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE displayName='Keeps its name'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE displayName='Person 249'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE displayName='Not on the platform'"));

    // A later login rebuilds the user table: the names apply again, the platform's
    // table is not written a second time.
    db->exec("DELETE FROM zox_system_user");
    db->exec("DELETE FROM uap_voip_user WHERE voip_num='" + Number(2) + "'");
    AddUser(Number(1), "Old one");
    ASSERT_EQ(0, link->SyncToDatabase());
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE displayName='Person 1'"));
    EXPECT_EQ(247, db->count("SELECT COUNT(*) FROM uap_voip_user"));
}

// Failed pages injected by request index (0 is the login): whether the list arrives,
// how many requests the fetch takes, and that a given-up fetch can be started again.
TEST_F(UapLinkTest, FailedPagesAreRetriedAndGivenUpAfterFourInARow)
{
    Reply slow = Reply::Json(200, "{}");
    slow.delayMs = 5000;
    Reply silent;
    silent.kind = Reply::Kind::Silent;
    Reply cut = Reply::Json(200, "{\"total\":250,\"rows\":[{\"VoipNum\":\"1\"}," + std::string(3000, ' ') + "]}");
    cut.kind = Reply::Kind::Truncated;
    const Reply notJson = Reply::Json(200, "Service Unavailable");
    const Reply noRows = Reply::Json(200, "{\"total\":250,\"rows\":{}}");
    const Reply wrongTypes = Reply::Json(200, "{\"total\":250,\"rows\":\"many\"}");
    struct Case {
        const char *name;
        std::map<std::size_t, Reply> failures;
        bool ready;
        std::size_t requests;
        std::size_t stored;
    };
    const Case cases[] = {
        {"one failed page in the middle", {{2, Reply::Json(404, "")}}, true, 5, 250},
        {"three failed first pages", {{1, notJson}, {2, silent}, {3, cut}}, true, 7, 250},
        {"first page unanswered four times", {{1, slow}, {2, notJson}, {3, Reply::Json(500, "")}, {4, noRows}},
         false, 5, 0},
        {"four failed pages after a good one",
         {{2, Reply::Json(404, "")}, {3, wrongTypes}, {4, notJson}, {5, Reply::Json(200, "")}}, false, 6, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeUapPlatform p;
        p.With([&](FakeUapData &d) {
            d = platform.With([](FakeUapData &src) { return src; });
            d.overrides = c.failures;
        });
        ASSERT_TRUE(p.server.Start());
        db->exec("DELETE FROM uap_voip_user");
        db->exec("INSERT INTO uap_voip_user(voip_num, user_name) VALUES('kept', 'from an earlier run')");
        MessageRecorder local;
        ST_PLATFORM_LINK_ENV env =
            Env("uapapi.ini", "[UAP]\nBaseUrl=" + p.server.Url() + "\nAppId=app id/1\nSecret=s&e=c?r\n");
        env.notify = [&local](uint32_t m) { local.Post(m); };
        TUAPDataModule link(std::move(env));
        ASSERT_TRUE(p.server.WaitForRequests(c.requests)) << p.server.RequestCount();
        if (c.ready) {
            ASSERT_TRUE(local.WaitFor(WM_UAP_USERS_READY));
        } else {
            for (int i = 0; i < 500 && link.IsBusy(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(c.ready, link.IsFetched());
        EXPECT_FALSE(link.IsBusy());
        EXPECT_EQ(c.requests, p.server.RequestCount());
        EXPECT_EQ(c.ready ? 1u : 0u, local.Count(WM_UAP_USERS_READY));
        link.SyncToDatabase();
        EXPECT_EQ(c.stored, static_cast<std::size_t>(db->count("SELECT COUNT(*) FROM uap_voip_user WHERE voip_num<>'kept'")));
        EXPECT_EQ(c.ready ? 0 : 1, db->count("SELECT COUNT(*) FROM uap_voip_user WHERE voip_num='kept'"));
        if (!c.ready) {
            // The given-up fetch is not stuck: the login's platform step asks again.
            link.StartSync();
            ASSERT_TRUE(local.WaitFor(WM_UAP_USERS_READY));
            EXPECT_TRUE(link.IsFetched());
        }
    }
}

TEST_F(UapLinkTest, AFetchAskedForDuringTheDownloadNeitherRepeatsNorDisturbsIt)
{
    platform.With([](FakeUapData &d) { d.pageDelayMs = 100; });
    ASSERT_TRUE(platform.server.Start());
    auto link = Link();
    ASSERT_TRUE(platform.server.WaitForRequests(2));
    link->StartSync(); // as the login's platform step does while the list is on its way
    ASSERT_TRUE(recorder.WaitFor(WM_UAP_USERS_READY));
    ASSERT_EQ(0, link->SyncToDatabase());
    EXPECT_FALSE(platform.server.WaitForRequests(5, 500));
    EXPECT_EQ(4u, platform.server.RequestCount());
    EXPECT_EQ(1u, recorder.Count(WM_UAP_USERS_READY));
    EXPECT_EQ(250, db->count("SELECT COUNT(*) FROM uap_voip_user"));
}

TEST_F(UapLinkTest, EmptyDirectoryIsACompleteEmptyList)
{
    Users(0);
    ASSERT_TRUE(platform.server.Start());
    AddUser("1", "Own name");
    db->exec("INSERT INTO uap_voip_user(voip_num, user_name) VALUES('1', 'old')");
    auto link = Link();
    ASSERT_TRUE(recorder.WaitFor(WM_UAP_USERS_READY));
    EXPECT_EQ(2u, platform.server.RequestCount());
    ASSERT_EQ(0, link->SyncToDatabase());
    EXPECT_EQ(0, db->count("SELECT COUNT(*) FROM uap_voip_user"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE displayName='Own name'"));
}

TEST_F(UapLinkTest, RefusedOrUnreadableLoginFetchesNothingByItself)
{
    const Reply replies[] = {
        Reply::Json(403, ""),
        Reply::Json(200, "not json"),
        Reply::Json(200, "{\"code\":7,\"msg\":\"expired\"}"),
        Reply::Json(200, "{\"code\":\"0\",\"obj\":{\"Id\":\"x\"}}"),
        Reply::Json(200, "{\"code\":0,\"obj\":\"token\"}"),
        Reply::Json(200, "{\"code\":0,\"obj\":[1]}"),
    };
    for (const Reply &r : replies) {
        SCOPED_TRACE(r.body);
        FakeUapPlatform p;
        p.With([&](FakeUapData &d) {
            d = platform.With([](FakeUapData &src) { return src; });
            d.overrides[0] = r;
        });
        ASSERT_TRUE(p.server.Start());
        {
            ST_PLATFORM_LINK_ENV env =
                Env("uapapi.ini", "[UAP]\nBaseUrl=" + p.server.Url() + "\nAppId=app id/1\nSecret=s&e=c?r\n");
            TUAPDataModule link(std::move(env));
            ASSERT_TRUE(p.server.WaitForRequests(1));
            EXPECT_FALSE(p.server.WaitForRequests(2, 300));
        }
        EXPECT_EQ(1u, p.server.RequestCount());
    }
}

TEST_F(UapLinkTest, IncompleteConfigurationStartsNothing)
{
    const char *const configs[] = {"[UAP]\nBaseUrl=http://127.0.0.1:1\nAppId=a\n",
                                   "[UAP]\nAppId=a\nSecret=b\n", ""};
    for (const char *ini : configs) {
        SCOPED_TRACE(ini);
        TUAPDataModule link(Env("uapapi.ini", ini));
        EXPECT_EQ(-1, link.StartResult());
        EXPECT_FALSE(link.IsRunning());
    }
}
