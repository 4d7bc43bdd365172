// The vehicle-platform link: its reply readers, its worker against a fake platform
// (canned and hostile replies), its cache writes and the vehicle video address.
#include "core/Log.h"
#include "host/MessageNumbers.h"
#include "platforms/CmsDataModule.h"
#include "tests/platforms/LinkTestSupport.h"
#include "tests/support/FakePlatforms.h"
#include "video/RtspClient.h"

#include <QByteArray>

#include <chrono>
#include <cstring>

using namespace zoxtest;
using Reply = FakeHttpServer::Reply;

namespace {

bool Login(const std::string &text, ST_CMS_LOGIN_RES &res)
{
    return ParseCmsLoginResponse(text.c_str(), static_cast<int>(text.size()), res);
}

} // namespace

TEST(CmsReplyTest, ReadersTakeOnlyWellFormedSuccessfulReplies)
{
    struct Case {
        const char *text;
        bool ok;
        int result;
        const char *jsession;
    };
    const Case cases[] = {
        {"{\"result\":0,\"jsession\":\"abc\"}", true, 0, "abc"},
        {"{\"jsession\":\"abc\"}", true, 0, "abc"},                 // absent result reads as 0
        {"{\"result\":0,\"jsession\":17}", true, 0, ""},            // wrong type reads as absent
        {"{\"result\":0,\"jsession\":[\"x\"]}", true, 0, ""},
        {"{\"result\":3,\"jsession\":\"abc\"}", false, 3, ""},
        {"{\"result\":\"0\",\"jsession\":\"abc\"}", false, -1, ""}, // a result that is no integer
        {"{\"result\":0.5}", false, -1, ""},
        {"{\"result\":99999999999}", false, -1, ""},
        {"[1,2]", false, -1, ""},
        {"<html>502 Bad Gateway</html>", false, -1, ""},
        {"{\"result\":0,\"jsession\":\"ab", false, -1, ""},
        {"", false, -1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ST_CMS_LOGIN_RES res;
        EXPECT_EQ(c.ok, Login(c.text, res));
        EXPECT_EQ(c.result, res.result);
        if (c.ok) {
            EXPECT_EQ(c.jsession, res.jsession);
        }
    }
    ST_CMS_LOGIN_RES res;
    EXPECT_FALSE(ParseCmsLoginResponse(nullptr, 10, res));
    EXPECT_FALSE(ParseCmsLoginResponse("{}", 0, res));
    // Nesting deep enough to exhaust a recursive reader is refused, not followed.
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_FALSE(Login(deep, res));
}

TEST(CmsReplyTest, VehicleAndStatusRepliesKeepOrderAndToleratePoorMembers)
{
    const std::string vehicles =
        "{\"result\":0,\"companys\":[{\"id\":1,\"pid\":0,\"nm\":\"Fleet \xC3\xA9\"},{\"id\":\"2\",\"pid\":1}],"
        "\"vehicles\":[{\"id\":10,\"pid\":1,\"nm\":\"5001\",\"dl\":[{\"cc\":4,\"id\":\"D1\",\"cn\":\"a,b\"},"
        "{\"cc\":2,\"id\":\"D2\",\"cn\":\"c\"}]},{\"id\":11,\"pid\":2,\"nm\":\"5002\",\"dl\":{\"cc\":1}},"
        "\"not an object\",{\"id\":12,\"nm\":5003}]}";
    ST_CMS_VEHICLE_RES res;
    ASSERT_TRUE(ParseCmsVehicleResponse(vehicles.c_str(), static_cast<int>(vehicles.size()), res));
    ASSERT_EQ(2u, res.companies.size());
    EXPECT_EQ("Fleet \xC3\xA9", res.companies[0].name);
    EXPECT_EQ(0, res.companies[1].id); // a text where a number belongs reads as 0
    EXPECT_EQ(1, res.companies[1].pid);
    ASSERT_EQ(4u, res.vehicles.size());
    EXPECT_EQ("5001", res.vehicles[0].name);
    ASSERT_EQ(2u, res.vehicles[0].devices.size());
    EXPECT_EQ("D1", res.vehicles[0].devices[0].id);
    EXPECT_EQ("a,b", res.vehicles[0].devices[0].cn);
    EXPECT_EQ(4, res.vehicles[0].devices[0].cc);
    EXPECT_TRUE(res.vehicles[1].devices.empty()); // "dl" that is no array
    EXPECT_EQ(0, res.vehicles[2].id);
    EXPECT_EQ("", res.vehicles[3].name);

    const std::string empty = "{\"result\":0}";
    ASSERT_TRUE(ParseCmsVehicleResponse(empty.c_str(), static_cast<int>(empty.size()), res));
    EXPECT_TRUE(res.companies.empty());
    EXPECT_TRUE(res.vehicles.empty());

    const std::string states = "{\"result\":0,\"onlines\":[{\"vid\":\"5001\",\"did\":\"D1\",\"online\":1},"
                               "{\"vid\":\"5002\",\"did\":\"D3\",\"online\":true},7]}";
    ST_CMS_DEVSTATUS_RES st;
    ASSERT_TRUE(ParseCmsDeviceStatusResponse(states.c_str(), static_cast<int>(states.size()), st));
    ASSERT_EQ(3u, st.states.size());
    EXPECT_EQ(1, st.states[0].online);
    EXPECT_EQ("D1", st.states[0].did);
    EXPECT_EQ(0, st.states[1].online);
    EXPECT_EQ("", st.states[2].did);
    const std::string refused = "{\"result\":8,\"onlines\":[{\"did\":\"D1\",\"online\":1}]}";
    EXPECT_FALSE(ParseCmsDeviceStatusResponse(refused.c_str(), static_cast<int>(refused.size()), st));
    EXPECT_EQ(8, st.result);
}

namespace {

class CmsLinkTest : public LinkTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LinkTest::SetUp());
        platform.With([](FakeCmsData &d) {
            d.account = "ops&co";
            d.password = "p w#1";
            d.jsession = "SESS+/=1";
            d.companies = {{1, 0, "Head"}, {2, 1, "North"}, {3, 1, "South"}, {4, 2, "Depot"}, {5, -1, "Loose"}};
            d.vehicles = {{10, 2, "5001", {{"D1", 4, "1,2", 1}, {"D1b", 2, "3", 1}}},
                          {11, 3, "5002", {{"D2", 1, "1", 0}}},
                          {12, 4, "5003", {}}};
        });
    }

    void StartPlatform(bool tls = false)
    {
        ASSERT_TRUE(platform.server.Start(tls));
    }

    // mediaPort: the [MediaServer] port line's value; none written when null.
    std::unique_ptr<TCMSDataModule> Link(const std::string &webUrl, const std::string &media = "10.1.1.1",
                                         MessageRecorder *messages = nullptr, const char *mediaPort = nullptr)
    {
        ST_PLATFORM_LINK_ENV env =
            Env("cmsserver.ini", "[WebServer]\nweburl=" + webUrl + "\naccount=ops&co\npassword=p w#1\n"
                                 "[MediaServer]\nip=" + media + "\ntransport= TCP \n" +
                                     (mediaPort ? "port=" + std::string(mediaPort) + "\n" : std::string()));
        if (messages)
            env.notify = [messages](uint32_t m) { messages->Post(m); };
        return std::make_unique<TCMSDataModule>(std::move(env));
    }

    std::vector<std::string> Targets()
    {
        std::vector<std::string> t;
        for (const auto &r : platform.server.Requests())
            t.push_back(r.target);
        return t;
    }

    FakeCmsPlatform platform;
};

const std::string kLoginTarget = "/StandardApiAction_login.action?account=ops%26co&password=p%20w%231";
const std::string kVehicleTarget = "/StandardApiAction_queryUserVehicle.action?jsession=SESS%2B%2F%3D1&language=zh";
const std::string kStatusTarget = "/StandardApiAction_getDeviceOlStatus.action?jsession=SESS%2B%2F%3D1";

} // namespace

TEST_F(CmsLinkTest, LogsInFetchesOnceAndWritesVehiclesAsUsers)
{
    StartPlatform();
    AddUser("5001", "Truck one", 0);
    AddUser("5002", "Truck two", 1);
    AddUser("7000", "Dispatcher", 1);
    auto link = Link(platform.server.Url());
    ASSERT_EQ(0, link->StartResult());
    EXPECT_TRUE(link->IsTcpTransport());
    EXPECT_EQ("6604", link->GetMediaServerPort());
    ASSERT_TRUE(recorder.WaitFor(WM_CMS_VEHICLES_READY));
    ASSERT_TRUE(recorder.WaitFor(WM_CMS_STATUS_READY));
    EXPECT_TRUE(link->IsFetched());
    EXPECT_EQ((std::vector<std::string>{kLoginTarget, kVehicleTarget, kStatusTarget}), Targets());

    ASSERT_EQ(0, link->SyncToDatabase());
    EXPECT_EQ(5, db->count("SELECT COUNT(*) FROM cms_company"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM cms_company WHERE child=1 AND id=1"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM cms_company WHERE child=1 AND id=2"));
    EXPECT_EQ(2, db->count("SELECT COUNT(*) FROM cms_company WHERE child=1"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM cms_vehicle WHERE id=10 AND num='5001' AND cid=2 AND did='D1' "
                           "AND cc=4 AND chs='1,2'"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM cms_vehicle WHERE id=12 AND did='' AND cc=0 AND chs=''"));
    EXPECT_EQ(3, db->count("SELECT COUNT(*) FROM cms_vehicle"));
    EXPECT_EQ(2, db->count("SELECT COUNT(*) FROM zox_system_user WHERE userType=1"));
    EXPECT_EQ(0, db->count("SELECT userType FROM zox_system_user WHERE userNumber='7000'"));

    // The device states become the vehicle users' states.
    ASSERT_EQ(0, link->ApplyDeviceStatus());
    EXPECT_EQ(1, db->count("SELECT regState FROM zox_system_user WHERE userNumber='5001'"));
    EXPECT_EQ(0, db->count("SELECT regState FROM zox_system_user WHERE userNumber='5002'"));
    EXPECT_EQ(1, db->count("SELECT regState FROM zox_system_user WHERE userNumber='7000'"));

    // A poll asks again; the lists are not fetched a second time.
    link->StartSync();
    link->PollDeviceStatus();
    ASSERT_TRUE(recorder.WaitFor(WM_CMS_STATUS_READY, 2));
    EXPECT_EQ(kStatusTarget, Targets().back());
    EXPECT_EQ(4u, Targets().size());
    EXPECT_EQ(1u, recorder.Count(WM_CMS_VEHICLES_READY));

    // A later login rebuilds the user table: the vehicle users are typed and stated again,
    // while the platform's tables are not written a second time.
    db->exec("DELETE FROM zox_system_user");
    db->exec("UPDATE cms_company SET name='kept'");
    AddUser("5001", "Truck one", 0);
    AddUser("5002", "Truck two", 1);
    ASSERT_EQ(0, link->SyncToDatabase());
    EXPECT_EQ(2, db->count("SELECT COUNT(*) FROM zox_system_user WHERE userType=1"));
    EXPECT_EQ(1, db->count("SELECT regState FROM zox_system_user WHERE userNumber='5001'"));
    EXPECT_EQ(0, db->count("SELECT regState FROM zox_system_user WHERE userNumber='5002'"));
    EXPECT_EQ(5, db->count("SELECT COUNT(*) FROM cms_company WHERE name='kept'"));
}

TEST_F(CmsLinkTest, VehicleVideoAddressIsExact)
{
    StartPlatform();
    auto link = Link(platform.server.Url(), "10.9.8.7");
    ASSERT_TRUE(recorder.WaitFor(WM_CMS_VEHICLES_READY));
    ASSERT_EQ(0, link->SyncToDatabase());
    std::string url;
    ASSERT_EQ(0, link->BuildRtspUrl("5001", url));
    const std::string plain = "SESS+/=1,3,D1,0,1,0,0";
    EXPECT_EQ("rtsp://10.9.8.7:6604/" + QByteArray(plain.c_str()).toBase64().toStdString(), url);
    EXPECT_EQ("rtsp://10.9.8.7:6604/U0VTUysvPTEsMyxEMSwwLDEsMCww", url);
    // A vehicle without a device, a number the platform does not know: no request.
    const std::size_t before = platform.server.RequestCount();
    std::string none = "unchanged";
    EXPECT_EQ(-2, link->BuildRtspUrl("5003", none));
    EXPECT_EQ(-2, link->BuildRtspUrl("9999", none));
    EXPECT_EQ("unchanged", none);
    EXPECT_EQ(before, platform.server.RequestCount());
}

// What the RTSP client plays for a vehicle: the link's address of its video and the
// media server with the configured port as a number; a port text that is no port
// number gives no session rather than one towards a wrong port.
TEST_F(CmsLinkTest, VehiclePreviewTakesTheAddressAndTheMediaServerOfTheLink)
{
    StartPlatform();
    std::string url, ip;
    uint16_t port = 0;
    EXPECT_EQ(-1, VehicleRtspOf(nullptr, "5001", url, ip, port));
    struct Case {
        const char *port; // null: the line is absent
        int result;
        uint16_t number;
    };
    const Case cases[] = {
        {nullptr, 0, 6604}, {"554", 0, 554},   {"65535", 0, 65535}, {"0", -1, 0},  {"65536", -1, 0},
        {"70000", -1, 0},   {"6604x", -1, 0},  {"-1", -1, 0},       {"", -1, 0},   {"99999999999999999999", -1, 0},
    };
    dm->InsertCmsVehicle(10, "5001", 2, "D1", 4, "1");
    std::size_t links = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port ? c.port : "(none)");
        auto link = Link(platform.server.Url(), "10.9.8.7", nullptr, c.port);
        ASSERT_TRUE(recorder.WaitFor(WM_CMS_VEHICLES_READY, ++links)); // logged in
        std::string expected;
        ASSERT_EQ(0, link->BuildRtspUrl("5001", expected));
        url = ip = "unchanged";
        port = 1;
        g_pCMSDataModule = link.get();
        EXPECT_EQ(c.result, DefaultRtspClientSource()->GetVehicleRtsp("5001", url, ip, port));
        // A vehicle the platform has no device for has no address.
        std::string none;
        EXPECT_EQ(-1, DefaultRtspClientSource()->GetVehicleRtsp("5003", none, none, port));
        g_pCMSDataModule = nullptr;
        if (c.result == 0) {
            EXPECT_EQ(expected, url);
            EXPECT_EQ("10.9.8.7", ip);
            EXPECT_EQ(c.number, port);
        } else {
            EXPECT_EQ("unchanged", url);
            EXPECT_EQ("unchanged", ip);
        }
    }
}

TEST_F(CmsLinkTest, NoSessionAsksForALoginAndTheNextCallSucceeds)
{
    StartPlatform();
    platform.With([](FakeCmsData &d) { d.overrides[0] = Reply::Json(500, ""); });
    auto link = Link(platform.server.Url());
    ASSERT_TRUE(platform.server.WaitForRequests(1));
    dm->InsertCmsVehicle(10, "5001", 2, "D1", 4, "1");
    std::string url;
    EXPECT_EQ(-1, link->BuildRtspUrl("5001", url));
    EXPECT_TRUE(url.empty());
    ASSERT_TRUE(recorder.WaitFor(WM_CMS_VEHICLES_READY));
    EXPECT_EQ(kLoginTarget, Targets().at(1));
    EXPECT_EQ(0, link->BuildRtspUrl("5001", url));
    EXPECT_FALSE(url.empty());
}

// Hostile or failed replies at each step: what reaches the login window and which
// requests follow.
TEST_F(CmsLinkTest, FailedStepsStopTheSequenceAndPostNothing)
{
    Reply truncated = Reply::Json(200, "{\"result\":0,\"jsession\":\"SESS+/=1\",\"pad\":\"" + std::string(5000, 'x') + "\"}");
    truncated.kind = Reply::Kind::Truncated;
    Reply slow = Reply::Json(200, "{\"result\":0}");
    slow.delayMs = 5000;
    Reply silent;
    silent.kind = Reply::Kind::Silent;
    struct Case {
        const char *name;
        std::size_t index;
        Reply reply;
        std::size_t requests; // requests the link makes in all
        std::size_t vehiclesReady;
        std::size_t statusReady;
        const char *logged;
    };
    const Case cases[] = {
        {"login 404", 0, Reply::Json(404, ""), 1, 0, 0, "cms-api:: user login failed, http status code: 404"},
        {"login not json", 0, Reply::Json(200, "<html/>"), 1, 0, 0, "cms-api:: user login failed, result: -1"},
        {"login refused", 0, Reply::Json(200, "{\"result\":4}"), 1, 0, 0, "cms-api:: user login failed, result: 4"},
        {"login result of the wrong type", 0, Reply::Json(200, "{\"result\":\"ok\",\"jsession\":\"x\"}"), 1, 0, 0,
         "cms-api:: user login failed, result: -1"},
        {"login body cut short", 0, truncated, 1, 0, 0, "cms-api:: user login failed, http status code: 200"},
        {"login empty body", 0, Reply::Json(200, ""), 1, 0, 0, "cms-api:: user login failed, http status code: 200"},
        {"login closed unanswered", 0, silent, 1, 0, 0, "cms-api:: user login failed, http status code: 0"},
        {"vehicles too slow", 1, slow, 2, 0, 0, "cms-api:: query user vehicle failed, http status code: 0"},
        {"vehicles refused", 1, Reply::Json(200, "{\"result\":5,\"companys\":[]}"), 2, 0, 0,
         "cms-api:: query user vehicle failed, result: 5"},
        {"vehicles wrong member types", 1, Reply::Json(200, "{\"result\":0,\"companys\":{},\"vehicles\":7}"), 3, 1, 1,
         "cms-api:: query device status success"},
        {"status not json", 2, Reply::Json(200, "]"), 3, 1, 0, "cms-api:: query device status failed, result: -1"},
        {"status 404", 2, Reply::Json(404, "{}"), 3, 1, 0, "cms-api:: query device status failed, http status code: 404"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        FakeCmsPlatform p;
        p.With([&](FakeCmsData &d) {
            d = platform.With([](FakeCmsData &src) { return src; });
            d.overrides[c.index] = c.reply;
        });
        ASSERT_TRUE(p.server.Start());
        MessageRecorder local;
        OpenLogFile((dir.path() / "log.txt").string());
        auto link = Link(p.server.Url(), "10.1.1.1", &local);
        ASSERT_TRUE(p.server.WaitForRequests(c.requests));
        EXPECT_FALSE(p.server.WaitForRequests(c.requests + 1, 300));
        if (c.statusReady) {
            ASSERT_TRUE(local.WaitFor(WM_CMS_STATUS_READY));
        }
        link.reset(); // the worker finishes what it was asked, then ends
        EXPECT_EQ(c.requests, p.server.RequestCount());
        EXPECT_EQ(c.vehiclesReady, local.Count(WM_CMS_VEHICLES_READY));
        EXPECT_EQ(c.statusReady, local.Count(WM_CMS_STATUS_READY));
        CloseLogFile();
        EXPECT_NE(std::string::npos, dir.read("log.txt").find(c.logged)) << dir.read("log.txt");
    }
}

TEST_F(CmsLinkTest, IncompleteConfigurationStartsNothing)
{
    const char *const configs[] = {
        "[WebServer]\nweburl=\n[MediaServer]\nip=10.0.0.1\n",
        "[WebServer]\nweburl=http://127.0.0.1:1\n[MediaServer]\nport=1\n",
        "",
    };
    for (const char *ini : configs) {
        SCOPED_TRACE(ini);
        TCMSDataModule link(Env("cmsserver.ini", ini));
        EXPECT_EQ(-1, link.StartResult());
        EXPECT_FALSE(link.IsRunning());
        EXPECT_EQ(0, link.StartSync());
    }
}

TEST_F(CmsLinkTest, HttpsPlatformWithUntrustedCertificateAnswers)
{
    StartPlatform(true);
    auto link = Link(platform.server.Url());
    ASSERT_TRUE(recorder.WaitFor(WM_CMS_STATUS_READY));
    EXPECT_EQ("SESS+/=1", link->GetSession());
}

TEST_F(CmsLinkTest, DestructionAbortsARequestThatHangs)
{
    Reply hanging = Reply::Json(200, "{\"result\":0}");
    hanging.delayMs = 60000;
    platform.With([&](FakeCmsData &d) { d.overrides[0] = hanging; });
    StartPlatform();
    ST_PLATFORM_LINK_ENV env = Env("cmsserver.ini", "[WebServer]\nweburl=" + platform.server.Url() +
                                                        "\n[MediaServer]\nip=10.0.0.1\n");
    env.stallTimeoutMs = 60000;
    env.stopWaitMs = 200;
    auto link = std::make_unique<TCMSDataModule>(std::move(env));
    ASSERT_TRUE(platform.server.WaitForRequests(1));
    const auto start = std::chrono::steady_clock::now();
    link.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(0u, recorder.Count(WM_CMS_VEHICLES_READY));
}
