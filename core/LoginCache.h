#pragma once
// The server-data cache operations the login session uses, as an interface: the real
// cache implements it through an adapter, the tests through an in-memory fake.
#include <cstdint>
#include <string>
#include <vector>

#include "core/ZoxCacheRecords.h"

class ILoginCache {
public:
    virtual ~ILoginCache() = default;
    virtual int ClearAll() = 0;
    virtual int InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line) = 0;
    virtual int GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &lines) = 0;
    virtual int InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &group) = 0;
    virtual int InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> users) = 0;
    virtual int InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> members) = 0;
    // Drops the memberships of these users; 0, or -1 when that failed.
    virtual int DeleteGroupMembersOf(const std::vector<std::string> &numbers) = 0;
    // 0 found, -2 not found, -1 failed.
    virtual int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) = 0;
    virtual int UpdateUserState(const ST_ZOX_SYSTEM_USER &user) = 0;
};
