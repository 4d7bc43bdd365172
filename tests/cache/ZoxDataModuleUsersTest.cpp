// Lines, users, groups and members of the server-data cache against a real MariaDB.
#include "tests/cache/CacheTestFixture.h"

#include <algorithm>

using Strings = std::vector<std::string>;

TEST_F(CacheTest, LinesAreListedByNameWithOnlyTheStoredFields)
{
    std::vector<ST_ZOX_SYSTEM_LINE> lines(3);
    EXPECT_EQ(0, dm->GetSystemLines(lines));
    EXPECT_TRUE(lines.empty());

    ST_ZOX_SYSTEM_LINE video;
    video.lineName = "500101";
    video.nickName = "video 1";
    video.softPhone = 1;
    video.videoOnly = 1;
    video.callRef = "0000ABCD";
    video.status = 1;
    video.regState = 1;
    video.callState = 7;
    ST_ZOX_SYSTEM_LINE own;
    own.lineName = "5001";
    own.nickName = "5001";
    own.softPhone = 1;
    ASSERT_EQ(0, dm->InsertSystemLine(video));
    ASSERT_EQ(0, dm->InsertSystemLine(own));
    EXPECT_EQ(-1, dm->InsertSystemLine(own)) << "a line name is stored once";

    ASSERT_EQ(0, dm->GetSystemLines(lines));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("5001", lines[0].lineName);
    EXPECT_EQ("500101", lines[1].lineName);
    EXPECT_EQ("video 1", lines[1].nickName);
    EXPECT_EQ(1, lines[1].softPhone);
    EXPECT_EQ(1, lines[1].videoOnly);
    EXPECT_EQ("", lines[1].callRef);
    EXPECT_EQ(0, lines[1].status);
    EXPECT_EQ(0, lines[1].regState);
    EXPECT_EQ(0u, lines[1].callState);

    EXPECT_EQ(0, dm->DeleteSystemLines());
    EXPECT_EQ(0, dm->GetSystemLines(lines));
    EXPECT_TRUE(lines.empty());
}

TEST_F(CacheTest, TextsWithQuotesBackslashesAndCjkAreStoredByteExact)
{
    const Strings names = {
        "O'Brien",
        "back\\slash\\",
        "\xE8\xB0\x83\xE5\xBA\xA6\xE5\x91\x98 \xE5\xBC\xA0\xE4\xB8\x89",       // CJK
        "emoji \xF0\x9F\x98\x80 and \"double\" quotes",
        "x'); DROP TABLE zox_system_user; --",
        "",
    };
    std::vector<ST_ZOX_SYSTEM_USER> page;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto u = User("80" + std::to_string(i), names[i]);
        u.callState = 0xFFFFFFFFu;
        u.vpState = 0x10000003u;
        u.callRef = "00FF00FF";
        u.dispatcher = 255;
        u.dcFlag = 9;
        u.isMobile = 2;
        page.push_back(u);
    }
    ASSERT_EQ(0, dm->InsertSystemUsers(page));

    std::vector<ST_ZOX_SYSTEM_USER> all;
    ASSERT_EQ(0, dm->GetSystemUsers(all));
    ASSERT_EQ(names.size(), all.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(names[i], all[i].displayName);
        EXPECT_EQ(0xFFFFFFFFu, all[i].callState);
        EXPECT_EQ(0x10000003u, all[i].vpState);
        EXPECT_EQ("00FF00FF", all[i].callRef);
        EXPECT_EQ(255, all[i].dispatcher);
        EXPECT_EQ(9, all[i].dcFlag);
        EXPECT_EQ(2, all[i].isMobile);
        EXPECT_EQ(0, all[i].userType);
        std::string shown;
        ASSERT_EQ(0, dm->GetDisplayName(all[i].userNumber, shown));
        EXPECT_EQ(names[i].empty() ? all[i].userNumber : names[i], shown);
    }

    // A quote in a key finds exactly its row.
    ASSERT_EQ(0, dm->InsertSystemUsers({User("9'9", "quoted number")}));
    ST_ZOX_SYSTEM_USER u;
    ASSERT_EQ(0, dm->GetSystemUser("9'9", u));
    EXPECT_EQ("quoted number", u.displayName);
    EXPECT_EQ(-2, dm->GetSystemUser("9' OR '1'='1", u));

    ST_ZOX_UAP_VOIPUSER v;
    v.VoipNum = "700";
    v.RealName = names[2];
    v.OrgFullName = names[1] + "/" + names[0];
    ASSERT_EQ(0, dm->InsertUapVoipUser(v));
    ST_ZOX_UAP_VOIPUSER back;
    ASSERT_EQ(0, dm->GetUapVoipUser("700", back));
    EXPECT_EQ(names[2], back.RealName);
    EXPECT_EQ(v.OrgFullName, back.OrgFullName);
}

TEST_F(CacheTest, OneRowReadersReportMissingRowsAndLeaveTheRecord)
{
    ST_ZOX_SYSTEM_USER u = User("keep", "unchanged");
    EXPECT_EQ(-2, dm->GetSystemUser("404", u));
    EXPECT_EQ("keep", u.userNumber);
    EXPECT_EQ("unchanged", u.displayName);

    std::string text = "unchanged";
    EXPECT_EQ(-2, dm->GetDisplayName("404", text));
    EXPECT_EQ("unchanged", text);

    ST_ZOX_SYSTEM_GROUP g;
    g.groupName = "unchanged";
    EXPECT_EQ(-2, dm->GetSystemGroup(7, g));
    EXPECT_EQ("unchanged", g.groupName);

    EXPECT_EQ(-2, dm->GetVehicleDid("404", text));
    EXPECT_EQ("unchanged", text);

    ST_ZOX_UAP_VOIPUSER v;
    v.RealName = "unchanged";
    EXPECT_EQ(-2, dm->GetUapVoipUser("404", v));
    EXPECT_EQ("unchanged", v.RealName);

    ST_ZOX_RTSP_CAMERA c;
    c.cname = "unchanged";
    EXPECT_EQ(-2, dm->GetRtspCamera("99", c));
    EXPECT_EQ("unchanged", c.cname);
}

// The availability rule: priority not 4, regState neither 0 nor 3, callState 0.
TEST_F(CacheTest, AvailabilityTable)
{
    struct Case {
        const char *number;
        uint8_t regState;
        uint32_t callState;
        uint8_t priority;
        bool listed;
        bool available;
    };
    const Case cases[] = {
        {"101", 1, 0, 2, true, true},   {"102", 1, 1, 2, true, false},     {"103", 3, 0, 2, true, false},
        {"104", 1, 0, 4, false, false}, {"105", 0, 0, 2, true, false},     {"106", 2, 0, 0, true, true},
        {"107", 255, 0, 5, true, true}, {"108", 1, 0x100, 2, true, false}, {"109", 0, 0, 4, false, false},
    };
    std::vector<ST_ZOX_SYSTEM_USER> page;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    Strings listed, available;
    for (const Case &c : cases) {
        page.push_back(User(c.number, "", c.regState, c.callState, c.priority));
        members.push_back({3, c.number});
        if (c.listed)
            listed.push_back(c.number);
        if (c.available)
            available.push_back(c.number);
    }
    members.push_back({4, "101"});
    ASSERT_EQ(0, dm->InsertSystemUsers(page));
    ASSERT_EQ(0, dm->InsertGroupMembers(members));

    std::vector<ST_ZOX_SYSTEM_USER> out;
    ASSERT_EQ(0, dm->GetSystemUsers(out));
    EXPECT_EQ(listed, Numbers(out));
    ASSERT_EQ(0, dm->GetAvailableUsers(out));
    EXPECT_EQ(available, Numbers(out));
    EXPECT_EQ(static_cast<int>(available.size()), dm->CountAvailableUsers());

    ASSERT_EQ(0, dm->GetGroupMembers(3, out));
    EXPECT_EQ(listed, Numbers(out));
    ASSERT_EQ(0, dm->GetGroupAvailableMembers(3, out));
    EXPECT_EQ(available, Numbers(out));
    EXPECT_EQ(static_cast<int>(available.size()), dm->CountGroupAvailableMembers(3));
    EXPECT_EQ(1, dm->CountGroupAvailableMembers(4));
    EXPECT_EQ(0, dm->CountGroupAvailableMembers(5));
    ASSERT_EQ(0, dm->GetGroupMembers(5, out));
    EXPECT_TRUE(out.empty());

    // The hidden user is found by number.
    ST_ZOX_SYSTEM_USER hidden;
    ASSERT_EQ(0, dm->GetSystemUser("104", hidden));
    EXPECT_EQ(4, hidden.priority);

    // Counts by user type: 106 and 104 (hidden) become vehicles.
    db->exec("UPDATE zox_system_user SET userType=1 WHERE userNumber IN ('106','104','102')");
    EXPECT_EQ(1, dm->CountGroupAvailableMembersByType(3, 1));
    EXPECT_EQ(static_cast<int>(available.size()) - 1, dm->CountGroupAvailableMembersByType(3, 0));
    EXPECT_EQ(2, dm->CountGroupMembersByType(3, 1));
    EXPECT_EQ(static_cast<int>(listed.size()) - 2, dm->CountGroupMembersByType(3, 0));
    ASSERT_EQ(0, dm->GetSystemUser("106", hidden));
    EXPECT_EQ(1, hidden.userType);
}

TEST_F(CacheTest, UserStateUpdateAndCallReference)
{
    ASSERT_EQ(0, dm->InsertSystemUsers({User("201"), User("202"), User("203")}));
    db->exec("UPDATE zox_system_user SET userType=1 WHERE userNumber='202'");

    for (const char *n : {"201", "202"}) {
        ST_ZOX_SYSTEM_USER u = User(n, "ignored", 1, 0x00010003u);
        u.vpState = 0x10000001u;
        u.dcFlag = 5; // every state field a value of its own
        u.callRef = "1A2B3C4D";
        u.priority = 4; // not written by the state update
        ASSERT_EQ(0, dm->UpdateUserState(u));
    }
    std::vector<ST_ZOX_SYSTEM_USER> inCall;
    ASSERT_EQ(0, dm->GetUsersByCallRef("1A2B3C4D", inCall));
    ASSERT_EQ(Strings({"201", "202"}), Numbers(inCall));
    EXPECT_EQ(1, inCall[1].regState);
    EXPECT_EQ(0x00010003u, inCall[1].callState);
    EXPECT_EQ(0x10000001u, inCall[1].vpState);
    EXPECT_EQ(5, inCall[1].dcFlag);
    EXPECT_EQ(2, inCall[1].priority);
    EXPECT_EQ("", inCall[1].displayName);
    EXPECT_EQ(0, inCall[1].userType) << "this reader leaves the user type 0";

    // Idle again: the reference alone no longer finds the user.
    ST_ZOX_SYSTEM_USER idle = User("201", "", 1, 0);
    idle.callRef = "1A2B3C4D";
    ASSERT_EQ(0, dm->UpdateUserState(idle));
    ASSERT_EQ(0, dm->GetUsersByCallRef("1A2B3C4D", inCall));
    EXPECT_EQ(Strings({"202"}), Numbers(inCall));
    // The references in use, each once: 203 is idle without one, 201 idle with one.
    ST_ZOX_SYSTEM_USER other = User("203", "", 1, 0x00000100u);
    other.callRef = "00000037";
    ASSERT_EQ(0, dm->UpdateUserState(other));
    std::vector<std::string> refs{"stale"};
    ASSERT_EQ(0, dm->GetBusyCallRefs(refs));
    EXPECT_EQ(Strings({"00000037", "1A2B3C4D"}), refs);
}

TEST_F(CacheTest, AUserOrMemberListedTwiceIsStoredOnceAsItsLaterRowSays)
{
    // A number twice in a page: one row, the later one's values; the others stored.
    ASSERT_EQ(0, dm->InsertSystemUsers({User("301", "first", 1, 0, 2), User("302", "other"),
                                        User("301", "second", 2, 3, 5)}));
    EXPECT_EQ(2, db->count("SELECT COUNT(*) FROM zox_system_user"));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='301' AND "
                           "displayName='second' AND regState=2 AND callState=3 AND priority=5"));
    // A number of an earlier page: replaced, its userType (set by the vehicle platform) kept.
    db->exec("UPDATE zox_system_user SET userType=1 WHERE userNumber='302'");
    ASSERT_EQ(0, dm->InsertSystemUsers({User("302", "renamed")}));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_user WHERE userNumber='302' AND "
                           "displayName='renamed' AND userType=1"));
    ASSERT_EQ(0, dm->InsertGroupMembers({{1, "301"}, {1, "302"}, {1, "301"}}));
    ASSERT_EQ(0, dm->InsertGroupMembers({{1, "302"}, {2, "302"}}));
    EXPECT_EQ(3, db->count("SELECT COUNT(*) FROM zox_system_group_member"));
    // The memberships of named users only are dropped; none named, nothing changes.
    EXPECT_EQ(0, dm->DeleteGroupMembersOf({}));
    EXPECT_EQ(3, db->count("SELECT COUNT(*) FROM zox_system_group_member"));
    EXPECT_EQ(0, dm->DeleteGroupMembersOf({"302", "999"}));
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='301'"));
    EXPECT_EQ(0, db->count("SELECT COUNT(*) FROM zox_system_group_member WHERE userNumber='302'"));
    // A list without rows makes no valid statement: refused, nothing changes.
    EXPECT_EQ(-1, dm->InsertSystemUsers({}));
    EXPECT_EQ(-1, dm->InsertGroupMembers({}));
    EXPECT_EQ(2, db->count("SELECT COUNT(*) FROM zox_system_user"));

    // A list longer than one statement carries, with a repeated number at its end.
    std::vector<ST_ZOX_SYSTEM_USER> many;
    for (int i = 0; i < 9000; ++i)
        many.push_back(User("4" + std::to_string(100000 + i), "user " + std::to_string(i)));
    many.push_back(User("4100005", "again"));
    ASSERT_EQ(0, dm->InsertSystemUsers(many));
    EXPECT_EQ(9002, db->count("SELECT COUNT(*) FROM zox_system_user"));
    std::string name;
    ASSERT_EQ(0, dm->GetDisplayName("4108999", name));
    EXPECT_EQ("user 8999", name);
    ASSERT_EQ(0, dm->GetDisplayName("4100005", name));
    EXPECT_EQ("again", name);

    EXPECT_EQ(0, dm->DeleteSystemUsers());
    EXPECT_EQ(0, db->count("SELECT COUNT(*) FROM zox_system_user"));
}

TEST_F(CacheTest, GroupsAreListedByIdAndReadOneByOne)
{
    for (uint32_t id : {7u, 0xFFFFFFFEu, 2u}) {
        ST_ZOX_SYSTEM_GROUP g;
        g.groupId = id;
        g.groupName = "group '" + std::to_string(id) + "'";
        g.groupNumber = std::to_string(9000 + id % 1000);
        ASSERT_EQ(0, dm->InsertSystemGroup(g));
    }

    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    ASSERT_EQ(0, dm->GetSystemGroups(groups));
    ASSERT_EQ(3u, groups.size());
    EXPECT_EQ(2u, groups[0].groupId);
    EXPECT_EQ(7u, groups[1].groupId);
    EXPECT_EQ(0xFFFFFFFEu, groups[2].groupId);
    EXPECT_EQ("group '4294967294'", groups[2].groupName);

    ST_ZOX_SYSTEM_GROUP g;
    ASSERT_EQ(0, dm->GetSystemGroup(7, g));
    EXPECT_EQ(7u, g.groupId);
    EXPECT_EQ("group '7'", g.groupName);
    EXPECT_EQ("9007", g.groupNumber);

    // A group id stored again takes the later name and number.
    ST_ZOX_SYSTEM_GROUP again;
    again.groupId = 7;
    again.groupName = "group 7 renamed";
    again.groupNumber = "9907";
    EXPECT_EQ(0, dm->InsertSystemGroup(again));
    ASSERT_EQ(0, dm->GetSystemGroup(7, g));
    EXPECT_EQ("group 7 renamed", g.groupName);
    EXPECT_EQ("9907", g.groupNumber);
    ASSERT_EQ(0, dm->GetSystemGroups(groups));
    EXPECT_EQ(3u, groups.size());

    EXPECT_EQ(0, dm->DeleteSystemGroups());
    ASSERT_EQ(0, dm->GetSystemGroups(groups));
    EXPECT_TRUE(groups.empty());
}

TEST_F(CacheTest, ClearAllEmptiesTheServerListsAndResetsCameraStates)
{
    ST_ZOX_SYSTEM_LINE line;
    line.lineName = "5001";
    ASSERT_EQ(0, dm->InsertSystemLine(line));
    ASSERT_EQ(0, dm->InsertSystemUsers({User("1")}));
    ASSERT_EQ(0, dm->InsertGroupMembers({{1, "1"}}));
    ST_ZOX_SYSTEM_GROUP g;
    g.groupId = 1;
    ASSERT_EQ(0, dm->InsertSystemGroup(g));
    ST_ZOX_RTSP_CAMERA cam;
    cam.cname = "gate";
    cam.status = 1;
    ASSERT_EQ(0, dm->InsertRtspCamera(cam));

    EXPECT_EQ(0, dm->ClearAll());
    for (const char *table : {"zox_system_line", "zox_system_user", "zox_system_group", "zox_system_group_member"})
        EXPECT_EQ(0, db->count(std::string("SELECT COUNT(*) FROM ") + table)) << table;
    EXPECT_EQ(1, db->count("SELECT COUNT(*) FROM zox_rtsp_camera WHERE status=0"));
}

// The reads of a list's shown rows: only the asked numbers, in one statement each.
TEST_F(CacheTest, StatesAndPlatformRowsOfTheAskedNumbersOnly)
{
    ASSERT_EQ(0, dm->InsertSystemUsers({User("301", "A", 1), User("302", "B", 0), User("it's", "Q", 3),
                                        User("304", "D", 1)}));
    ST_ZOX_SYSTEM_USER busy = User("302", "", 1, 0x00030000u);
    busy.vpState = 0x10000003u;
    ASSERT_EQ(0, dm->UpdateUserState(busy));

    std::vector<ST_ZOX_SYSTEM_USER> states(3);
    ASSERT_EQ(0, dm->GetUserStates({"302", "it's", "999", "301"}, states));
    std::sort(states.begin(), states.end(),
              [](const ST_ZOX_SYSTEM_USER &a, const ST_ZOX_SYSTEM_USER &b) { return a.userNumber < b.userNumber; });
    ASSERT_EQ(Strings({"301", "302", "it's"}), Numbers(states)); // 304 not asked, 999 has no row
    EXPECT_EQ(1, states[1].regState);
    EXPECT_EQ(0x00030000u, states[1].callState);
    EXPECT_EQ(0x10000003u, states[1].vpState);
    EXPECT_EQ(3, states[2].regState);
    EXPECT_EQ("", states[0].displayName) << "only the state columns are read";

    ASSERT_EQ(0, dm->GetUserStates({}, states));
    EXPECT_TRUE(states.empty());
    states.resize(1);
    EXPECT_EQ(-1, dm->GetUserStates(std::vector<std::string>(60001, "301"), states));
    EXPECT_TRUE(states.empty());

    ST_ZOX_UAP_VOIPUSER v;
    v.VoipNum = "301";
    v.RealName = "Li Wei";
    v.OrgName = "Traffic";
    v.PoliceNum = "P-1";
    ASSERT_EQ(0, dm->InsertUapVoipUser(v));
    v.VoipNum = "304";
    ASSERT_EQ(0, dm->InsertUapVoipUser(v));
    std::vector<ST_ZOX_UAP_VOIPUSER> uap;
    ASSERT_EQ(0, dm->GetUapVoipUsers({"301", "302"}, uap));
    ASSERT_EQ(1u, uap.size());
    EXPECT_EQ("301", uap[0].VoipNum);
    EXPECT_EQ("Li Wei", uap[0].RealName);
    EXPECT_EQ("Traffic", uap[0].OrgName);
    EXPECT_EQ("P-1", uap[0].PoliceNum);
    ASSERT_EQ(0, dm->GetUapVoipUsers({}, uap));
    EXPECT_TRUE(uap.empty());
}

// The block readers of a shown list give the rows of the full readers, in their order,
// whatever the number of rows against the block size.
TEST_F(CacheTest, ShownUsersAndMembersMatchTheFullReaders)
{
    int made = 0;
    for (int count : {0, 1, 1024, 2049}) {
        ASSERT_EQ(0, dm->DeleteSystemUsers());
        ASSERT_EQ(0, dm->DeleteGroupMembers());
        std::vector<ST_ZOX_SYSTEM_USER> users;
        std::vector<ST_ZOX_GROUP_MEMBER> members;
        for (int i = 0; i < count + 1; ++i) { // one more, hidden
            const std::string n = std::to_string(500000 + made++);
            users.push_back(User(n, i % 7 ? "User " + n : "", uint8_t(i % 4), uint32_t(i) * 0x101u,
                                 i == count ? 4 : 2));
            users.back().vpState = i % 2 ? 0x10000002u : 0;
            members.push_back({i % 2 ? 7 : 8, n});
        }
        ASSERT_EQ(0, dm->InsertSystemUsers(users));
        ASSERT_EQ(0, dm->InsertGroupMembers(members));
        db->exec("UPDATE zox_system_user SET userType=2 WHERE regState=3");
        auto same = [&](const std::vector<ST_ZOX_SYSTEM_USER> &full, const std::vector<ST_ZOX_SYSTEM_USER> &shown) {
            ASSERT_EQ(full.size(), shown.size()) << count;
            for (std::size_t i = 0; i < full.size(); ++i) {
                EXPECT_EQ(full[i].userNumber, shown[i].userNumber) << count << " row " << i;
                EXPECT_EQ(full[i].displayName, shown[i].displayName) << count << " row " << i;
                EXPECT_EQ(full[i].regState, shown[i].regState) << count << " row " << i;
                EXPECT_EQ(full[i].callState, shown[i].callState) << count << " row " << i;
                EXPECT_EQ(full[i].vpState, shown[i].vpState) << count << " row " << i;
                EXPECT_EQ(full[i].userType, shown[i].userType) << count << " row " << i;
            }
        };
        std::vector<ST_ZOX_SYSTEM_USER> full, shown(1);
        ASSERT_EQ(0, dm->GetSystemUsers(full));
        ASSERT_EQ(0, dm->GetShownUsers(shown));
        EXPECT_EQ(static_cast<std::size_t>(count), shown.size()); // the hidden one is not listed
        same(full, shown);
        ASSERT_EQ(0, dm->GetGroupMembers(7, full));
        ASSERT_EQ(0, dm->GetShownMembers(7, shown));
        same(full, shown);
    }
}
