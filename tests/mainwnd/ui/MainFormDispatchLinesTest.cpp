// The dispatch lines after a real login against the fake dispatch server: the table
// holds the lines the server accepted, and the server's user state notices reach it
// (the own line's call reference prunes the members that left; a member who went idle
// ends the call).
#include "MainFormFixture.h"

#include "core/LoginSession.h"
#include "dispatch/DispatchLineTable.h"
#include "tests/support/ConsoleLoginTest.h"

using namespace zoxtest;

namespace {

constexpr uint32_t kUserStateReply = 0x50030002;

class DispatchLinesAfterLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        MainTestApp();
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            for (int i = 0; i < 4; ++i) {
                FakeUser u;
                u.number = std::to_string(3001 + i);
                u.name = "User " + u.number;
                s.users.push_back(u);
            }
            s.refusedLines = {"500002"};
        });
    }

    void LogIn(bool video)
    {
        ASSERT_NO_FATAL_FAILURE(StartConsole(
            std::string("[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
                        "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\n"
                        "[Video]\nVideoEnabled=") +
            (video ? "1" : "0") + "\n"));
        ASSERT_TRUE(WaitFor([&] { return form->IsRunning(); })) << "login state " << int(form->GetLoginState());
    }

    void Notice(const std::string &number, uint32_t call, uint8_t ref)
    {
        const std::size_t before = server.CountOf(kUserStateReply);
        server.Inject(login.With(
            [&](CFakeLoginServer &s) { return s.MakeUserStateNotify(number, 1, call, 0, 0, {0, 0, 0, ref}); }));
        ASSERT_TRUE(WaitFor([&] { return server.CountOf(kUserStateReply) > before; }, 3000));
    }
};

TEST_F(DispatchLinesAfterLogin, TableHoldsTheAcceptedLines)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(true));
    const auto &lines = mainForm->DispatchLines().Lines();
    ASSERT_EQ(lines.size(), 18u); // 5000 and 500001..500018 without the refused 500002
    EXPECT_EQ(lines[0]->lineNumber, "5000");
    EXPECT_EQ(lines[1]->lineNumber, "500001");
    EXPECT_EQ(lines[2]->lineNumber, "500003");
    EXPECT_EQ(mainForm->FindLineByName("500002"), nullptr);
    EXPECT_EQ(mainForm->CountFreeLines(), 18);
    EXPECT_EQ(mainForm->GetFreeLine(false), lines[0].get());
    EXPECT_FALSE(mainForm->IsAnyLineInCall());
}

TEST_F(DispatchLinesAfterLogin, OwnLineNoticeReachesTheLineOfTheCall)
{
    ASSERT_NO_FATAL_FAILURE(LogIn(false));
    ST_ZOX_DISPATCH_LINE_INFO *line = mainForm->FindLineByName("5000");
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->softPhone, 1);

    // A conference with two users on the own line, still being set up.
    auto session = std::make_unique<CDispatchSession>(mainForm->DispatchSessionHost(), 14, kMediaVoice);
    ASSERT_GT(session->GetInstance(), 32);
    session->SetLocalParty(line->lineNumber, 0, 0);
    session->AddMember("3002");
    session->AddMember("3003");
    session->SetState(kSessionOpen);
    CDispatchSession *s = session.get();
    mainForm->DispatchLines().AddSession(std::move(session));
    line->session = s;
    line->kind = kMediaVoice;
    mainForm->SetLineState(line, kLineCalling);

    // 3003 joins the call 0000000B; the call connects.
    Notice("3003", 0x03, 0x0B);
    mainForm->SetLineState(line, kLineConnected);
    EXPECT_TRUE(mainForm->IsAnyLineInCall());

    // The own line is in call 0000000B: 3002, idle, left it; 3003 stays.
    Notice("5000", 0x03, 0x0B);
    EXPECT_EQ(CLoginSession::SystemLines()[0].callRef, "0000000B");
    ASSERT_EQ(line->session, s);
    EXPECT_FALSE(s->HasMember("3002"));
    EXPECT_TRUE(s->HasMember("3003"));
    EXPECT_EQ(line->state, kLineConnected);

    // 3003 goes idle: the last member left, the call's line is released.
    Notice("3003", 0, 0);
    EXPECT_EQ(line->state, kLineIdle);
    EXPECT_EQ(line->session, nullptr);
    EXPECT_TRUE(mainForm->DispatchLines().Sessions().empty());
    EXPECT_FALSE(mainForm->IsAnyLineInCall());
    EXPECT_TRUE(boxes.empty());
}

} // namespace
