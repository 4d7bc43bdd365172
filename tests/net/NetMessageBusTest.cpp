// The window-message bus: number range, pool, posting to every subscriber, and windows
// that are destroyed.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "core/net/NetMessageBus.h"
#include "host/MessageNumbers.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/WindowRecorder.h"

using namespace std::chrono_literals;
using zoxtest::WindowRecorder;

TEST(NetMessageBus, SubscribeChecksWindowAndRange)
{
    zoxtest::CoreApp();
    CNetMessageBus bus;
    WindowRecorder w;
    EXPECT_EQ(bus.Subscribe(WM_APP + 299, &w), 0);
    EXPECT_EQ(bus.Subscribe(WM_APP + 100, &w), 0);
    EXPECT_EQ(bus.Subscribe(WM_APP + 300, &w), -1);
    EXPECT_EQ(bus.Subscribe(WM_APP + 99, &w), -1);
    EXPECT_EQ(bus.Subscribe(WM_NET_LOGIN, nullptr), -1);
    EXPECT_EQ(bus.Notify(WM_APP + 300, QByteArray("x")), -1);
    EXPECT_EQ(bus.Notify(WM_APP + 200, QByteArray("x")), 1); // nobody subscribed
}

TEST(NetMessageBus, PostsToEverySubscriberOfTheNumber)
{
    zoxtest::CoreApp();
    CNetMessageBus bus;
    WindowRecorder first, second, other;
    ASSERT_EQ(bus.Subscribe(WM_NET_CALL, &first), 0);
    ASSERT_EQ(bus.Subscribe(WM_NET_CALL, &second), 0);
    ASSERT_EQ(bus.Subscribe(WM_NET_VIDEOPUSH, &other), 0);
    QByteArray datagram("\x00\x00\x00\x01\x50\x02\x00\x01", 8);
    EXPECT_EQ(bus.Notify(WM_NET_CALL, datagram), 0);
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return first.messages.size() == 1 && second.messages.size() == 1; }, 2s));
    EXPECT_TRUE(other.messages.empty());
    EXPECT_EQ(first.messages[0].message, WM_NET_CALL);
    EXPECT_EQ(first.messages[0].wParam, 8u);
    EXPECT_EQ(first.messages[0].data, datagram);
    EXPECT_EQ(first.messages[0].data.constData()[8], '\0'); // a zero byte follows the datagram
}

// 1848 later subscribers use up the pool; a first subscriber of a free number still gets
// its head; a destroyed window gives its node back.
TEST(NetMessageBus, PoolOf1848Nodes)
{
    zoxtest::CoreApp();
    CNetMessageBus bus;
    WindowRecorder head;
    ASSERT_EQ(bus.Subscribe(WM_APP + 150, &head), 0);
    std::vector<std::unique_ptr<WindowRecorder>> later;
    for (int i = 0; i < CNetMessageBus::kPoolCount; ++i) {
        later.push_back(std::make_unique<WindowRecorder>());
        ASSERT_EQ(bus.Subscribe(WM_APP + 150, later.back().get()), 0) << i;
    }
    EXPECT_EQ(bus.FreeNodes(), 0);
    WindowRecorder extra, free;
    EXPECT_EQ(bus.Subscribe(WM_APP + 150, &extra), -1);
    EXPECT_EQ(bus.Subscribe(WM_APP + 151, &free), 0);

    later.erase(later.begin() + 100); // destroyed: its node returns to the pool
    EXPECT_EQ(bus.FreeNodes(), 1);
    EXPECT_EQ(bus.Subscribe(WM_APP + 150, &extra), 0);
}

// A subscriber destroyed while its messages are still queued never receives them (the
// queued copies are freed with it), and nothing is posted to it afterwards; the
// surviving subscribers keep receiving.
TEST(NetMessageBus, DestroyedSubscriberNeverReceives)
{
    zoxtest::CoreApp();
    CNetMessageBus bus;
    WindowRecorder stays;
    auto *goes = new WindowRecorder;
    ASSERT_EQ(bus.Subscribe(WM_NET_LOGIN, goes), 0); // head
    ASSERT_EQ(bus.Subscribe(WM_NET_LOGIN, &stays), 0);
    EXPECT_EQ(bus.Notify(WM_NET_LOGIN, QByteArray(64, 'a')), 0);
    delete goes; // before its message was delivered
    EXPECT_EQ(bus.Notify(WM_NET_LOGIN, QByteArray(64, 'b')), 0);
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return stays.messages.size() == 2; }, 2s));

    // Only the survivor is left, in the head.
    EXPECT_EQ(bus.FreeNodes(), CNetMessageBus::kPoolCount);
}

// Windows come and go on this thread while another thread posts without pause.
TEST(NetMessageBus, SubscribersDyingDuringAFlood)
{
    zoxtest::CoreApp();
    CNetMessageBus bus;
    WindowRecorder stays;
    ASSERT_EQ(bus.Subscribe(WM_NET_NOTIFY, &stays), 0);
    std::atomic<bool> stop {false};
    std::atomic<int> posted {0};
    std::thread poster([&] {
        while (!stop) {
            bus.Notify(WM_NET_NOTIFY, QByteArray(32, 'n'));
            ++posted;
        }
    });
    for (int round = 0; round < 200; ++round) {
        auto w = std::make_unique<WindowRecorder>();
        ASSERT_EQ(bus.Subscribe(WM_NET_NOTIFY, w.get()), 0);
        QCoreApplication::processEvents();
        // w dies here, often with messages still queued for it
    }
    stop = true;
    poster.join();
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return stays.messages.size() == std::size_t(posted.load()); }, 10s));
    EXPECT_EQ(bus.FreeNodes(), CNetMessageBus::kPoolCount);
}
