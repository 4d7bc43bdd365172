#pragma once
// Fakes around the login session: a host that records what the session does to the
// windows, timers and the link, an in-memory cache, and platform links.
#include "core/LoginCache.h"
#include "core/LoginHost.h"
#include "core/LoginSession.h"
#include "core/protocol/MessageCodes.h"
#include "core/SessionIdentity.h"
#include "tests/support/FakeLoginServer.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace zoxtest {

class FakeCache : public ILoginCache {
public:
    std::vector<ST_ZOX_SYSTEM_LINE> lines;
    std::map<std::string, ST_ZOX_SYSTEM_USER> users;
    std::map<uint32_t, ST_ZOX_SYSTEM_GROUP> groups;
    std::vector<ST_ZOX_GROUP_MEMBER> members;
    int clears = 0, updates = 0, userInserts = 0, groupInserts = 0;
    bool failUserInsert = false;

    int ClearAll() override
    {
        ++clears;
        lines.clear();
        users.clear();
        groups.clear();
        members.clear();
        return 0;
    }
    int InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line) override
    {
        for (auto &l : lines)
            if (l.lineName == line.lineName)
                return -1;
        lines.push_back(line);
        return 0;
    }
    int GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &out) override
    {
        out = lines;
        std::sort(out.begin(), out.end(), [](auto &a, auto &b) { return a.lineName < b.lineName; });
        for (auto &l : out) {
            l.status = 0;
            l.regState = 0;
            l.callState = 0;
            l.callRef.clear();
        }
        return 0;
    }
    int InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &g) override
    {
        ++groupInserts;
        groups[g.groupId] = g; // as the real cache: the later row of a key wins
        return 0;
    }
    int InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> page) override
    {
        ++userInserts;
        if (failUserInsert)
            return -1;
        for (auto &u : page) {
            // as the real cache: the later row of a number wins, its userType is kept
            const uint8_t type = users.count(u.userNumber) ? users[u.userNumber].userType : 0;
            users[u.userNumber] = u;
            users[u.userNumber].userType = type;
        }
        return 0;
    }
    int InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> page) override
    {
        for (auto &m : page)
            if (std::none_of(members.begin(), members.end(), [&](const ST_ZOX_GROUP_MEMBER &k) {
                    return k.groupId == m.groupId && k.userNumber == m.userNumber;
                }))
                members.push_back(m);
        return 0;
    }
    int DeleteGroupMembersOf(const std::vector<std::string> &numbers) override
    {
        for (const std::string &n : numbers)
            members.erase(std::remove_if(members.begin(), members.end(),
                                         [&](const ST_ZOX_GROUP_MEMBER &m) { return m.userNumber == n; }),
                          members.end());
        return 0;
    }
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        auto it = users.find(number);
        if (it == users.end())
            return -2;
        user = it->second;
        return 0;
    }
    int UpdateUserState(const ST_ZOX_SYSTEM_USER &user) override
    {
        ++updates;
        auto it = users.find(user.userNumber);
        if (it == users.end())
            return -1;
        it->second.regState = user.regState;
        it->second.callState = user.callState;
        it->second.vpState = user.vpState;
        it->second.dcFlag = user.dcFlag;
        it->second.callRef = user.callRef;
        return 0;
    }
};

class FakeLink : public ILoginPlatformLink {
public:
    explicit FakeLink(std::vector<std::string> &journal, std::string name) : m_journal(journal), m_name(name) {}
    bool fetched = false;
    int syncs = 0, starts = 0, polls = 0;
    bool IsFetched() const override { return fetched; }
    int StartSync() override
    {
        ++starts;
        m_journal.push_back(m_name + ".start");
        return 0;
    }
    int SyncToDatabase() override
    {
        ++syncs;
        m_journal.push_back(m_name + ".sync");
        return 0;
    }
    int PollDeviceStatus() override
    {
        ++polls;
        return 0;
    }

private:
    std::vector<std::string> &m_journal;
    std::string m_name;
};

class FakeHost : public ILoginHost {
public:
    std::vector<Bytes> sent;
    int timerPeriod[kLoginTimerCount] = {0, 0, 0, 0};
    bool timerOn[kLoginTimerCount] = {false, false, false, false};
    std::string account = "8001", password = "1234";
    bool fieldsEnabled = true, loginEnabled = true, cancelEnabled = true;
    bool loginShown = true, splashShown = false, closed = false, mainShown = false, mainTornDown = false;
    std::vector<std::string> splashTexts;
    std::vector<std::string> boxes;
    std::vector<std::string> journal;
    int sendResult = 0; // 0: the datagram's length
    std::vector<std::string> removedFromLine;
    std::vector<ST_ZOX_SYSTEM_USER> sessionEvents;
    FakeLink *uap = nullptr, *cms = nullptr;

    int SendUdp(const uint8_t *d, std::size_t n) override
    {
        sent.emplace_back(d, d + n);
        return sendResult != 0 ? sendResult : int(n);
    }
    void StartTimer(EN_ZOX_LOGIN_TIMER t, int ms) override
    {
        timerPeriod[int(t)] = ms;
        timerOn[int(t)] = ms > 0;
    }
    void StopTimer(EN_ZOX_LOGIN_TIMER t) override { timerOn[int(t)] = false; }
    void SleepMs(int) override {}
    std::string GetAccountField() const override { return account; }
    std::string GetPasswordField() const override { return password; }
    void SetFieldsEnabled(bool e) override { fieldsEnabled = e; }
    void SetLoginButtonEnabled(bool e) override { loginEnabled = e; }
    void SetCancelButtonEnabled(bool e) override { cancelEnabled = e; }
    void ShowLoginWindow(bool s) override { loginShown = s; }
    void CloseLoginWindow() override
    {
        closed = true;
        journal.push_back("close");
    }
    void ShowErrorBox(const std::string &text) override
    {
        boxes.push_back(text);
        journal.push_back("box");
    }
    void ShowSplash(bool s) override { splashShown = s; }
    void SetSplashText(const std::string &t) override { splashTexts.push_back(t); }
    void HideMainWindow() override
    {
        mainShown = false;
        journal.push_back("hideMain");
    }
    void TearDownMainWindow() override { mainTornDown = true; }
    void StartMainWindow() override
    {
        mainShown = true;
        journal.push_back("startMain");
    }
    void RemoveUserFromLine(const std::string &n, uint8_t reg, const std::string &ref, uint32_t call) override
    {
        removedFromLine.push_back(n + "/" + std::to_string(reg) + "/" + ref + "/" + std::to_string(call));
    }
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &u) override { sessionEvents.push_back(u); }
    ILoginPlatformLink *UapLink() override { return uap; }
    ILoginPlatformLink *CmsLink() override { return cms; }

    bool On(EN_ZOX_LOGIN_TIMER t) const { return timerOn[int(t)]; }
    int Period(EN_ZOX_LOGIN_TIMER t) const { return timerPeriod[int(t)]; }
};

// Codes and fields of what the console sent.
inline uint32_t Code(const Bytes &b) { return b.size() >= 8 ? CFakeLoginServer::GetU32(b.data() + 4) : 0; }
inline uint32_t Seq(const Bytes &b) { return CFakeLoginServer::GetU32(b.data() + 8); }
inline uint32_t RegisterType(const Bytes &b) { return CFakeLoginServer::GetU32(b.data() + 32); }

} // namespace zoxtest
