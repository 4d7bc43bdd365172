#pragma once
// The reads of the server-data cache that the quick actions and the user pickers make.
// The real cache answers through TZoxDataModuleDispatchReads; tests answer with rows of
// their own. Results follow the cache: lists and counts 0 or a count / -1 on a failed
// query, one row 0 / -2 (no row) / -1.
#include "core/ZoxCacheRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class TZoxDataModule;

class IDispatchCacheReads {
public:
    virtual ~IDispatchCacheReads() = default;
    virtual int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups) = 0;
    virtual int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) = 0;
    virtual int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    virtual int GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    // The distinct call references that users in a call carry.
    virtual int GetBusyCallRefs(std::vector<std::string> &callRefs) = 0;
    // Available users: priority other than 4, registered, no call; ordered by number.
    virtual int GetAvailableUsers(std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    virtual int GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    virtual int CountAvailableUsers() = 0;
    virtual int CountGroupAvailableMembers(uint32_t groupId) = 0;
    virtual int CountGroupAvailableMembersByType(uint32_t groupId, int userType) = 0;
    virtual int CountGroupMembersByType(uint32_t groupId, int userType) = 0;
};

class TZoxDataModuleDispatchReads : public IDispatchCacheReads {
public:
    explicit TZoxDataModuleDispatchReads(TZoxDataModule &module) : m_module(module) {}

    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups) override;
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override;
    int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetBusyCallRefs(std::vector<std::string> &callRefs) override;
    int GetAvailableUsers(std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int CountAvailableUsers() override;
    int CountGroupAvailableMembers(uint32_t groupId) override;
    int CountGroupAvailableMembersByType(uint32_t groupId, int userType) override;
    int CountGroupMembersByType(uint32_t groupId, int userType) override;

private:
    TZoxDataModule &m_module;
};
