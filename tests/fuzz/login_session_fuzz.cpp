// The login session fed by a fake dispatch server whose answers the input garbles.
// The input is a list of steps; each step is one datagram for the session:
//   op 0: the next answer of the server as it is
//   op 1: the next answer with bytes overwritten (offset, count, bytes)
//   op 2: the next answer cut short or grown to a given length
//   op 3: raw bytes as a login message, op 4: raw bytes as a notice
// so that every step of the login and the running session meets malformed pages.
#include <cstddef>
#include <cstdint>
#include <deque>

#include "tests/login/LoginFakes.h"

using namespace zoxtest;

namespace {
struct Reader {
    const uint8_t *p;
    size_t n;
    bool Empty() const { return n == 0; }
    uint8_t Byte()
    {
        if (!n)
            return 0;
        --n;
        return *p++;
    }
    Bytes Take(size_t count)
    {
        count = std::min(count, n);
        Bytes b(p, p + count);
        p += count;
        n -= count;
        return b;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    g_nOwnUserId = 0;
    g_strOwnNumber = kDefaultOwnNumber;
    g_byRestartFlag = 0;
    CLoginSession::SystemLines().clear();

    ST_ZOX_LOGIN_SETTINGS settings;
    settings.hbIntervalMs = 12000;
    settings.videoEnabled = true;
    settings.localRegIpAddr = 0x0100007F;
    FakeHost host;
    FakeCache cache;
    CFakeLoginServer server;
    server.groups = {{1, "North", "9001"}, {2, "South", "9002"}};
    FakeUser a;
    a.number = "1001";
    a.name = "Alice";
    a.groups = {1};
    FakeUser own;
    own.number = "5000";
    own.name = "Console";
    server.users = {a, own};
    server.usersPerPage = 1;
    server.groupsPerPage = 1;

    CLoginSession session(host, &cache, settings);
    session.SetInitialised(true);
    session.OnBtnOkClick();

    std::deque<Bytes> answers;
    size_t delivered = 0;
    auto next = [&]() -> Bytes {
        for (; answers.empty() && delivered < host.sent.size(); ++delivered)
            for (Bytes &b : server.Handle(host.sent[delivered]))
                answers.push_back(std::move(b));
        if (answers.empty())
            return {};
        Bytes b = std::move(answers.front());
        answers.pop_front();
        return b;
    };
    auto feed = [&](const Bytes &b, bool notice) {
        if (notice)
            session.OnNotifyMessage(b.data(), b.size());
        else
            session.OnLoginMessage(b.data(), b.size());
    };
    auto isNotice = [](const Bytes &b) { return b.size() >= 8 && b[4] == 0x50 && b[5] == 0x03; };

    Reader in {data, size};
    for (int steps = 0; !in.Empty() && steps < 64; ++steps) {
        const uint8_t op = in.Byte() % 5;
        if (op <= 2) {
            Bytes b = next();
            if (b.empty())
                continue;
            if (op == 1) {
                size_t offset = in.Byte();
                Bytes patch = in.Take(in.Byte() % 16);
                for (size_t i = 0; i < patch.size() && offset + i < b.size(); ++i)
                    b[offset + i] = patch[i];
            } else if (op == 2) {
                b.resize((size_t(in.Byte()) << 8 | in.Byte()) % 4096, 0xFF);
            }
            feed(b, isNotice(b));
        } else {
            const size_t length = (size_t(in.Byte()) << 8 | in.Byte()) % 2048;
            feed(in.Take(length), op == 4);
        }
    }
    session.OnDestroy();
    return 0;
}
