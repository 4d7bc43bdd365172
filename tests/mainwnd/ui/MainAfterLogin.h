#pragma once
// The main window after a real login: the login window with the real network layer and
// server-data cache (a scratch database on the tests' MariaDB) against the fake dispatch
// server on 127.0.0.2:8888, which serves six groups and 32 users.
#include "tests/mainwnd/ui/MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ui/TButtonCtrl.h"
#include "core/NetTcpServiceForm.h"
#include "core/SessionIdentity.h"
#include "core/ui/ConsoleServices.h"
#include "core/ui/Loginfrm.h"
#include "core/ui/SystemMessageBox.h"
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/ServedLogin.h"
#include "tests/support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>

namespace zoxtest {

constexpr uint32_t kUserStateReply = 0x50030002;

class MainAfterLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        MainTestApp();
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            s.groups = {{11, "Patrol North", "9001"}, {12, "Patrol South", "9002"}, {13, "Harbour Unit", "9003"},
                        {14, "Fire Brigade", "9004"},  {15, "Ambulance", "9005"},    {16, "Traffic", "9006"}};
            const char *names[] = {"A. Novak",    "B. Keller", "C. Duarte", "D. Lindgren", "E. Okafor",
                                   "F. Moreau",   "G. Rossi",  "H. Tanaka", "I. Petrov",   "J. Walsh",
                                   "K. Haddad",   "L. Svensson", "M. Costa", "N. Berger",  "O. Nielsen",
                                   "P. Fischer",  "Q. Romano", "R. Dubois", "S. Kowalski", "T. Jansen",
                                   "U. Brandt",   "V. Marino", "W. Schulz", "X. Lopez",    "Y. Meyer",
                                   "Z. Horvat",   "Dispatch 2", "Car 14",   "Car 15",      "Boat 3",
                                   "Engine 7",    "Medic 21"};
            for (int i = 0; i < 32; ++i) {
                FakeUser u;
                u.number = std::to_string(3001 + i);
                u.name = names[i];
                u.regState = i % 7 == 3 ? 0 : 1;
                u.groups = {uint8_t(11 + i % 6)};
                if (i < 14 && i % 6 != 0)
                    u.groups.push_back(11);
                s.users.push_back(u);
            }
            s.usersPerPage = 10;
        });
    }

    void LogIn()
    {
        ASSERT_NO_FATAL_FAILURE(StartConsole(
            "[General]\nTitle=ZoxClient Dispatch Console\nDepartment=City Operations\n"
            "[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
            "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\nHBInterval=12\n"));
        ASSERT_TRUE(WaitFor([&] { return form->IsRunning(); })) << "login state " << int(form->GetLoginState());
        ASSERT_TRUE(mainForm->isVisible());
    }

    // A state notice of the server, answered by the console once it is stored.
    void Notice(const std::string &number, uint8_t reg, uint32_t call, uint32_t vp)
    {
        const std::size_t before = server.CountOf(kUserStateReply);
        server.Inject(login.With([&](CFakeLoginServer &s) {
            return s.MakeUserStateNotify(number, reg, call, vp, 0, {0, 0, 0, 0});
        }));
        ASSERT_TRUE(WaitFor([&] { return server.CountOf(kUserStateReply) > before; }, 3000));
    }

    TUserCellCtrl *UserTile(const std::string &number)
    {
        for (TUserCellCtrl *t : mainForm->UserCells())
            if (t->GetUserNumber() == number)
                return t;
        return nullptr;
    }
};

} // namespace zoxtest
