#pragma once
// An in-memory stand-in for the server-data cache reads of the quick actions and the
// user pickers. Rows are kept in the cache's order; `fail` makes every read fail (-1).
#include "console/DispatchCacheReads.h"

#include <algorithm>
#include <map>

namespace zoxtest {

class FakeDispatchReads : public IDispatchCacheReads {
public:
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    std::vector<ST_ZOX_SYSTEM_USER> users;
    std::map<uint32_t, std::vector<std::string>> members; // group id -> numbers
    bool fail = false;
    std::map<uint32_t, bool> failMembersOf;                // these groups' member reads fail

    static bool IsAvailable(const ST_ZOX_SYSTEM_USER &u)
    {
        return u.priority != 4 && u.regState != 0 && u.regState != 3 && u.callState == 0;
    }

    ST_ZOX_SYSTEM_USER &Add(const std::string &number, const std::string &name, uint8_t regState = 1,
                            uint32_t callState = 0, uint8_t userType = 0, uint8_t priority = 2)
    {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = number;
        u.displayName = name;
        u.regState = regState;
        u.callState = callState;
        u.userType = userType;
        u.priority = priority;
        users.push_back(u);
        return users.back();
    }
    ST_ZOX_SYSTEM_USER *User(const std::string &number)
    {
        for (auto &u : users)
            if (u.userNumber == number)
                return &u;
        return nullptr;
    }
    void AddGroup(uint32_t id, const std::string &name, std::vector<std::string> numbers)
    {
        ST_ZOX_SYSTEM_GROUP g;
        g.groupId = id;
        g.groupName = name;
        g.groupNumber = std::to_string(id);
        groups.push_back(g);
        members[id] = std::move(numbers);
    }

    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &out) override
    {
        out.clear();
        if (fail)
            return -1;
        out = groups;
        return 0;
    }
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        if (fail)
            return -1;
        const ST_ZOX_SYSTEM_USER *u = User(number);
        if (!u)
            return -2;
        user = *u;
        return 0;
    }
    int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        return Members(groupId, out, [](const ST_ZOX_SYSTEM_USER &) { return true; });
    }
    int GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        if (fail)
            return -1;
        for (const auto &u : users)
            if (u.callRef == callRef && u.callState != 0)
                out.push_back(u);
        return 0;
    }
    int GetBusyCallRefs(std::vector<std::string> &out) override
    {
        out.clear();
        if (fail)
            return -1;
        for (const auto &u : users)
            if (u.callState != 0 && !u.callRef.empty() && std::find(out.begin(), out.end(), u.callRef) == out.end())
                out.push_back(u.callRef);
        return 0;
    }
    int GetAvailableUsers(std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        if (fail)
            return -1;
        for (const auto &u : users)
            if (IsAvailable(u))
                out.push_back(u);
        std::sort(out.begin(), out.end(), [](const auto &a, const auto &b) { return a.userNumber < b.userNumber; });
        return 0;
    }
    int GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        return Members(groupId, out, IsAvailable);
    }
    int CountAvailableUsers() override
    {
        std::vector<ST_ZOX_SYSTEM_USER> out;
        return GetAvailableUsers(out) < 0 ? -1 : int(out.size());
    }
    int CountGroupAvailableMembers(uint32_t groupId) override
    {
        std::vector<ST_ZOX_SYSTEM_USER> out;
        return Members(groupId, out, IsAvailable) < 0 ? -1 : int(out.size());
    }
    int CountGroupAvailableMembersByType(uint32_t groupId, int userType) override
    {
        std::vector<ST_ZOX_SYSTEM_USER> out;
        const int rc = Members(groupId, out, [&](const ST_ZOX_SYSTEM_USER &u) {
            return IsAvailable(u) && u.userType == userType;
        });
        return rc < 0 ? -1 : int(out.size());
    }
    int CountGroupMembersByType(uint32_t groupId, int userType) override
    {
        std::vector<ST_ZOX_SYSTEM_USER> out;
        const int rc = Members(groupId, out, [&](const ST_ZOX_SYSTEM_USER &u) { return u.userType == userType; });
        return rc < 0 ? -1 : int(out.size());
    }

private:
    template <typename Pred>
    int Members(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &out, Pred keep)
    {
        out.clear();
        if (fail || failMembersOf.count(groupId))
            return -1;
        auto it = members.find(groupId);
        if (it == members.end())
            return 0;
        for (const auto &u : users)
            if (std::find(it->second.begin(), it->second.end(), u.userNumber) != it->second.end() && keep(u))
                out.push_back(u);
        std::sort(out.begin(), out.end(), [](const auto &a, const auto &b) { return a.userNumber < b.userNumber; });
        return 0;
    }
};

} // namespace zoxtest
