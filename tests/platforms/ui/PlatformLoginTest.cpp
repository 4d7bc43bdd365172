// A real console login with both platform links on, against the fake dispatch server,
// a fake user platform and a fake vehicle platform on loopback: the platform steps
// store the users' names and the vehicles, the device states reach the vehicle users,
// and a platform that goes down leaves the last tables as they were.
#include "core/LoginSession.h"
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/FakePlatforms.h"
#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

using namespace zoxtest;

namespace {

class PlatformLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        uiApp();
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            s.groups = {{1, "North", "9001"}};
            for (const char *n : {"5001", "5002", "6001", "6002", "7000"}) {
                FakeUser u;
                u.number = n;
                u.name = std::string("Server ") + n;
                u.groups = {1};
                s.users.push_back(u);
            }
        });
        cms.With([](FakeCmsData &d) {
            d.account = "fleet ops";
            d.password = "pa&ss";
            d.companies = {{1, 0, "Fleet"}, {2, 1, "Depot"}};
            d.vehicles = {{10, 2, "5001", {{"DEV-1", 4, "1,2,3,4", 1}}}, {11, 2, "5002", {{"DEV-2", 1, "1", 0}}}};
        });
        uap.With([](FakeUapData &d) {
            d.users = {{"6001", "Alice Example", "Patrol"}, {"6002", "Bob Example", "Patrol"}};
        });
        ASSERT_TRUE(cms.server.Start());
        ASSERT_TRUE(uap.server.Start());
        dir.write("data/cmsserver.ini", "[WebServer]\nweburl=" + cms.server.Url() +
                                            "\naccount=fleet ops\npassword=pa&ss\n[MediaServer]\nip=127.0.0.1\n");
        dir.write("data/uapapi.ini", "[UAP]\nBaseUrl=" + uap.server.Url() + "\nAppId=zox\nSecret=k\n");
        uap.With([](FakeUapData &d) {
            d.appId = "zox";
            d.secret = "k";
        });
    }

    void StartWithPlatforms()
    {
        StartConsole("[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
                     "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\n"
                     "HBInterval=12\n[Debug]\nWriteLogFile=1\n[Extend]\nCmsEnabled=1\nUapEnabled=1\n");
    }

    long long Count(const std::string &sql) const { return db.count(sql); }
    std::string Log() const { return dir.read("log/log.txt"); }

    FakeCmsPlatform cms;
    FakeUapPlatform uap;
};

} // namespace

TEST_F(PlatformLogin, VehiclesBecomeUsersWithTheirStatesAndSurviveThePlatformGoingDown)
{
    StartWithPlatforms();
    ASSERT_TRUE(WaitFor([&] { return form->Session().GetLoginState() == kLoginRunning; }));
    EXPECT_TRUE(boxes.empty());

    // The users' names from the user platform, the vehicles typed as vehicle users.
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='6001' AND displayName='Alice Example'"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='7000' AND displayName='Server 7000'"));
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM zox_system_user WHERE userType=1"));
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM cms_vehicle"));
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM cms_company WHERE id=1 AND child=1"));
    // The device states, applied whenever they arrive.
    ASSERT_TRUE(WaitFor([&] {
        return Count("SELECT COUNT(*) FROM cms_vehicle WHERE did='DEV-1' AND status=1") == 1 &&
               Count("SELECT regState FROM zox_system_user WHERE userNumber='5001'") == 1 &&
               Count("SELECT regState FROM zox_system_user WHERE userNumber='5002'") == 0;
    }));

    // A poll in the running state: the changed states reach the users.
    cms.With([](FakeCmsData &d) { d.vehicles[1].devices[0].online = 1; });
    form->Session().OnCmsPollTimerOut();
    ASSERT_TRUE(WaitFor([&] { return Count("SELECT regState FROM zox_system_user WHERE userNumber='5002'") == 1; }));

    // The platforms go down: the next poll fails and the tables stay as they were.
    cms.server.Stop();
    uap.server.Stop();
    form->Session().OnCmsPollTimerOut();
    ASSERT_TRUE(WaitFor([&] { return Log().find("cms-api:: query device status failed") != std::string::npos; }));
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM cms_vehicle"));
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM uap_voip_user"));
    EXPECT_EQ(2, Count("SELECT COUNT(*) FROM zox_system_user WHERE userType=1"));
    EXPECT_EQ(1, Count("SELECT regState FROM zox_system_user WHERE userNumber='5001'"));
    EXPECT_EQ(1, Count("SELECT regState FROM zox_system_user WHERE userNumber='5002'"));
    EXPECT_EQ(kLoginRunning, form->Session().GetLoginState());
}

TEST_F(PlatformLogin, AnUnreachableUserPlatformEndsTheLoginAtItsTimeLimitAndKeepsTheTable)
{
    uap.server.Stop();
    db.exec("INSERT INTO uap_voip_user(voip_num, user_name) VALUES('6001', 'From the last run')");
    StartWithPlatforms();
    // The fetch is given up after four failed pages; the step waits for its time limit.
    ASSERT_TRUE(WaitFor([&] { return Log().find("uap-api:: get voip users abandoned") != std::string::npos; }));
    EXPECT_EQ(kLoginUapSync, form->Session().GetLoginState());
    form->Session().OnLoginTimerOut();
    EXPECT_EQ(kLoginIdle, form->Session().GetLoginState());
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ("Error: Sync auth platform user info timeout. Please try again later.", boxes.back());
    EXPECT_EQ(1, Count("SELECT COUNT(*) FROM uap_voip_user WHERE user_name='From the last run'"));
}
