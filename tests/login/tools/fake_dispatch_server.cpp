// A stand-in dispatch server for trying the console on this machine: it binds
// 127.0.0.2:8888 (the console's configured server) and serves the login with a few
// groups and users until it is interrupted or its time is up.
//
//   fake_dispatch_server [--account 8001] [--password 1234] [--groups 5] [--users 40]
//                        [--own-number 5000] [--seconds 0]
//
// The console's data/zoxcfg.ini needs System/ServerIpAddr=127.0.0.2 and
// System/LocalIpAddr=127.0.0.1 (the defaults of this repository's file).
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/ServedLogin.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

using namespace zoxtest;

namespace {
std::atomic<bool> g_stop{false};
void OnSignal(int) { g_stop = true; }
} // namespace

int main(int argc, char **argv)
{
    std::string account = "8001", password = "1234", ownNumber = "5000";
    int groups = 5, users = 40, seconds = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--account")
            account = value;
        else if (key == "--password")
            password = value;
        else if (key == "--own-number")
            ownNumber = value;
        else if (key == "--groups")
            groups = std::atoi(value.c_str());
        else if (key == "--users")
            users = std::atoi(value.c_str());
        else if (key == "--seconds")
            seconds = std::atoi(value.c_str());
        else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            return 2;
        }
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    FakeDispatchServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "fake_dispatch_server: cannot bind 127.0.0.2:8888 (%s)\n", std::strerror(errno));
        return 1;
    }
    ServedLogin login(server);
    login.With([&](CFakeLoginServer &s) {
        s.account = account;
        s.password = password;
        s.ownNumber = ownNumber;
        s.usersPerPage = 10;
        s.Populate(groups, users, 2);
    });
    std::printf("fake_dispatch_server: serving account %s (password %s), %d groups, %d users on 127.0.0.2:8888\n",
                account.c_str(), password.c_str(), groups, users);
    std::fflush(stdout);

    const auto start = std::chrono::steady_clock::now();
    std::size_t reported = 0;
    while (!g_stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto received = server.Received();
        for (; reported < received.size(); ++reported) {
            const uint32_t code = received[reported].code;
            const char *what = code == 0x50010001   ? "register request"
                               : code == 0x50010004 ? "auth response"
                               : code == 0x50010005 ? "heartbeat"
                               : code == 0x50010007 ? "line configuration"
                               : code == 0x5001000F ? "group list request"
                               : code == 0x5001000B ? "user list request"
                                                    : nullptr;
            if (what)
                std::printf("fake_dispatch_server: %s\n", what);
            else
                std::printf("fake_dispatch_server: message %#x\n", code);
        }
        std::fflush(stdout);
        if (seconds > 0 && std::chrono::steady_clock::now() - start > std::chrono::seconds(seconds))
            break;
    }
    server.Stop();
    return 0;
}
