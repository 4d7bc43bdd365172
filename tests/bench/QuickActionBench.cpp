// Cost of the quick actions' enable tests on one 500 ms refresh, against the real
// server-data cache: a directory of 20,000 users in 200 groups of 300 members, with a
// group selected (the ten group tests) and with a user selected (the fourteen user
// tests). Prints the median and the worst of many refreshes.
//
//   quick_action_bench [connection string]
// Without a connection string it starts a private MariaDB of its own.
#include "console/DispatchCacheReads.h"
#include "console/MainListRules.h"
#include "console/QuickActions.h"
#include "core/NetTcpServiceForm.h"
#include "core/NumberUtils.h"
#include "core/ZoxDataModule.h"
#include "tests/dispatch/DispatchFakes.h"
#include "tests/support/TestDatabase.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kUsers = 20000;
constexpr int kGroups = 200;
constexpr int kMembersPerGroup = 300;
constexpr int kRefreshes = 200;

class Host : public zox::quick::IQuickActionHost {
public:
    bool IsVideoEnabled() const override { return true; }
    uint8_t OwnPriority() const override { return 8; }
    bool IsBridgeReady() const override { return true; }
    bool HasRtspClient() const override { return true; }
    bool IsRtspPlaying(int, const std::string &) const override { return false; }
    bool IsCallProgressShownInPanel() const override { return false; }
};

int Fill(TZoxDataModule &dm)
{
    for (int g = 0; g < kGroups; ++g) {
        ST_ZOX_SYSTEM_GROUP group;
        group.groupId = static_cast<uint32_t>(g + 1);
        group.groupName = "Group " + std::to_string(g + 1);
        group.groupNumber = std::to_string(90000 + g);
        if (dm.InsertSystemGroup(group) != 0)
            return -1;
    }
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    for (int i = 0; i < kUsers; ++i) {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = std::to_string(1000000 + i);
        u.displayName = "User " + std::to_string(i);
        u.regState = static_cast<uint8_t>(i % 4);
        u.callState = i % 10 == 0 ? 0x00000003u : 0;
        u.priority = static_cast<uint8_t>(i % 5);
        users.push_back(u);
        // Group g holds the users g*100 .. g*100+299 (groups overlap).
        for (int g = std::max(0, i / 100 - 2); g <= i / 100 && g < kGroups; ++g)
            if (i - g * 100 < kMembersPerGroup)
                members.push_back({g + 1, u.userNumber});
    }
    return dm.InsertSystemUsers(std::move(users)) == 0 && dm.InsertGroupMembers(std::move(members)) == 0 ? 0 : -1;
}

struct Figures {
    double medianMs, worstMs;
    int slowest;          // the entry that took longest in total
    double slowestShare;  // its share of the total time
};

Figures Time(zox::quick::CQuickActions &rules, int first, int last)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    std::vector<double> perEntry(static_cast<std::size_t>(last + 1), 0.0);
    int enabled = 0;
    for (int r = 0; r < kRefreshes; ++r) {
        const auto t0 = Clock::now();
        for (int i = first; i <= last; ++i) {
            const auto e0 = Clock::now();
            enabled += rules.IsEnabled(i) ? 1 : 0;
            perEntry[static_cast<std::size_t>(i)] += std::chrono::duration<double, std::milli>(Clock::now() - e0).count();
        }
        for (int i = 0; i < zox::quick::kTaskButtonCount; ++i)
            enabled += rules.IsTaskEnabled(i) ? 1 : 0;
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    double total = 0;
    for (double v : ms)
        total += v;
    const auto slowest = std::max_element(perEntry.begin(), perEntry.end());
    std::sort(ms.begin(), ms.end());
    std::printf("  (%d buttons enabled over all refreshes)\n", enabled);
    return {ms[ms.size() / 2], ms.back(), static_cast<int>(slowest - perEntry.begin()), *slowest / total};
}

} // namespace

int main(int argc, char **argv)
{
    try {
        std::unique_ptr<zoxtest::PrivateMariaDb> server;
        std::string conn;
        if (argc > 1) {
            conn = argv[1];
        } else {
            std::printf("starting a private MariaDB...\n");
            server = std::make_unique<zoxtest::PrivateMariaDb>();
            conn = server->connectionString();
        }
        TNetTcpServiceForm service(conn);
        if (service.ConnectDatabase() != 0) {
            std::fprintf(stderr, "cannot connect\n");
            return 1;
        }
        TZoxDataModule dm(&service);
        dm.ClearAll();
        if (Fill(dm) != 0) {
            std::fprintf(stderr, "cannot fill the cache\n");
            return 1;
        }
        TZoxDataModuleDispatchReads reads(dm);
        zoxtest::FakeLineHost lineHost;
        CDispatchLineTable lines(lineHost);
        std::vector<ST_ZOX_SYSTEM_LINE> own(19);
        for (std::size_t i = 0; i < own.size(); ++i) {
            own[i].lineName = "5000" + (i ? std::to_string(i) : std::string());
            own[i].status = 1;
        }
        lines.RebuildDispatchLines(own);
        Host host;
        ST_ZOX_CURRENT_SELECTION sel;
        zox::quick::CQuickActions rules(sel, lines, host);
        rules.SetCache(&reads);

        std::printf("cache: %d users, %d groups of %d members; %zu dispatch lines; %d refreshes each\n", kUsers,
                    kGroups, kMembersPerGroup, own.size(), kRefreshes);
        sel.kind = kSelectGroup;
        sel.groupType = zox::mainwnd::kGroupTypeServer;
        sel.groupId = 100;
        const Figures g = Time(rules, zox::quick::kQuickGroupVideoPush, zox::quick::kQuickGroupIm);
        std::printf("  group selected (10 group tests + 4 task buttons): median %.2f ms, worst %.2f ms;"
                    " slowest entry %d (%.0f %%)\n",
                    g.medianMs, g.worstMs, g.slowest + 1, 100 * g.slowestShare);
        sel.kind = kSelectUser;
        sel.targetType = zox::mainwnd::kUserTypeDispatch;
        if (dm.GetSystemUser("1010001", sel.user) != 0)
            return 1;
        const Figures u = Time(rules, zox::quick::kQuickUserVideoPush, zox::quick::kQuickUserIm);
        std::printf("  user selected (14 user tests + 4 task buttons):  median %.2f ms, worst %.2f ms;"
                    " slowest entry %d (%.0f %%)\n",
                    u.medianMs, u.worstMs, u.slowest + 1, 100 * u.slowestShare);
        std::printf("  budget: one refresh every 500 ms\n");
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
