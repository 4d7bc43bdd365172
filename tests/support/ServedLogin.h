#pragma once
// The server side of the login (CFakeLoginServer) served on the fake dispatch server:
// register/auth with the digest check, line configuration, paged lists, heartbeats;
// notices and the reset indicator are injected by the test.
//
//   FakeDispatchServer server;  ASSERT_TRUE(server.Start());
//   ServedLogin login(server);
//   login.With([](CFakeLoginServer &s) { s.Populate(3, 20, 2); });
//   ...
//   server.Inject(login.With([](CFakeLoginServer &s) { return s.MakeServerReset(); }));
//
// The script is shared with the fake's receive thread: change and read it only
// through With().
#include <mutex>

#include "tests/support/FakeDispatchServer.h"
#include "tests/support/FakeLoginServer.h"

namespace zoxtest {

class ServedLogin {
public:
    explicit ServedLogin(FakeDispatchServer &server);

    template <class F> auto With(F f)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return f(m_login);
    }

private:
    std::mutex m_lock;
    CFakeLoginServer m_login;
};

} // namespace zoxtest
