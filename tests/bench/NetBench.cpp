// Datagrams per second from the fake dispatch server (127.0.0.2:8888) through the
// console's UDP service and message bus to the window that handles them, counting every
// datagram by its sequence number so that a lost or repeated one is seen.
//
//   net_bench [count]     default 200000 datagrams per run
//
// Runs: one burst as fast as the sender can go, then paced runs at fixed rates.
// Needs 127.0.0.1:8888 and 127.0.0.2:8888 free.
#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/net/NetFacade.h"
#include "core/protocol/NoticeMessages.h"
#include "core/protocol/WireBytes.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"

using Clock = std::chrono::steady_clock;

namespace {

// The login window's stand-in: counts user state notices by their sender reference.
class CCountingWindow : public QObject {
public:
    explicit CCountingWindow(std::size_t expected) : seen(expected, 0) {}
    std::vector<uint8_t> seen;
    std::size_t received = 0, repeated = 0, malformed = 0;
    Clock::time_point last;

protected:
    void customEvent(QEvent *e) override
    {
        const CWindowMessage *m = CWindowMessage::From(e);
        if (!m || m->message != WM_NET_NOTIFY)
            return;
        zox::proto::UserStateNotice n;
        if (zox::proto::ParseUserStateNotice(reinterpret_cast<const uint8_t *>(m->data.constData()),
                                             std::size_t(m->data.size()), n) != kParseOk ||
            n.header.senderRef >= seen.size()) {
            ++malformed;
            return;
        }
        if (seen[n.header.senderRef]++)
            ++repeated;
        ++received;
        last = Clock::now();
    }
};

struct Result {
    std::size_t sent = 0, received = 0, repeated = 0, malformed = 0;
    double seconds = 0;
};

// Sends `count` notices at `rate` per second (0: as fast as possible) and waits until all
// arrived or nothing arrived for 2 s.
Result Run(zoxtest::FakeDispatchServer &server, std::size_t count, double rate)
{
    auto *window = new CCountingWindow(count);
    NetStop();
    if (NetStart() != 0 || NetSubscribe(WM_NET_NOTIFY, window) != 0) {
        std::fprintf(stderr, "net start failed\n");
        std::exit(2);
    }
    zox::proto::UserStateNotice n;
    n.header = {0, zox::proto::kUserStateNotice, 0, kNoReference};
    n.userNumber = {0x01, 0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    n.regState = 1;
    zox::proto::Bytes bytes = zox::proto::BuildUserStateNotice(n);

    std::atomic<std::size_t> sent {0};
    Clock::time_point start = Clock::now();
    std::thread sender([&] {
        for (std::size_t i = 0; i < count; ++i) {
            if (rate > 0) {
                auto due = start + std::chrono::duration<double>(double(i) / rate);
                std::this_thread::sleep_until(due);
            }
            zox::wire::PutU32(bytes.data() + 8, uint32_t(i));
            if (server.Inject(bytes))
                ++sent;
        }
    });
    Clock::time_point lastProgress = Clock::now();
    std::size_t lastCount = 0;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (window->received != lastCount) {
            lastCount = window->received;
            lastProgress = Clock::now();
        }
        if (window->received >= count)
            break;
        if (sent.load() >= count && Clock::now() - lastProgress > std::chrono::seconds(2))
            break;
    }
    sender.join();
    Result r;
    r.sent = sent.load();
    r.received = window->received;
    r.repeated = window->repeated;
    r.malformed = window->malformed;
    r.seconds = std::chrono::duration<double>(window->last - start).count();
    delete window;
    NetStop();
    return r;
}

void Print(const char *name, const Result &r)
{
    std::printf("%-22s sent %7zu  received %7zu  lost %6zu  repeated %zu  in %.3f s  => %.0f datagrams/s\n", name,
                r.sent, r.received, r.sent - r.received, r.repeated, r.seconds,
                r.seconds > 0 ? double(r.received) / r.seconds : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200000;
    zoxtest::ConsoleEnv env; // scratch working folder, configuration, log, application
    zoxtest::FakeDispatchServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "127.0.0.2:8888 is taken\n");
        return 2;
    }
    std::printf("datagrams of %zu bytes (user state notices) to WM_NET_NOTIFY\n",
                zox::proto::kUserStateNoticeMinLength);
    for (std::size_t burst : {std::size_t(1000), std::size_t(5000), std::size_t(20000), count}) {
        char name[64];
        std::snprintf(name, sizeof name, "burst of %zu", burst);
        Print(name, Run(server, burst, 0));
    }
    for (double rate : {5000.0, 20000.0, 50000.0, 100000.0, 150000.0}) {
        std::size_t n = std::min<std::size_t>(count, std::size_t(rate * 2)); // about 2 s each
        char name[64];
        std::snprintf(name, sizeof name, "paced %.0f/s", rate);
        Print(name, Run(server, n, rate));
    }
    return 0;
}
