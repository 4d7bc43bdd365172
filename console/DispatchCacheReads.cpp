#include "console/DispatchCacheReads.h"

#include "core/ZoxDataModule.h"

int TZoxDataModuleDispatchReads::GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups)
{
    return m_module.GetSystemGroups(groups);
}
int TZoxDataModuleDispatchReads::GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user)
{
    return m_module.GetSystemUser(number, user);
}
int TZoxDataModuleDispatchReads::GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetGroupMembers(groupId, users);
}
int TZoxDataModuleDispatchReads::GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetUsersByCallRef(callRef, users);
}
int TZoxDataModuleDispatchReads::GetBusyCallRefs(std::vector<std::string> &callRefs)
{
    return m_module.GetBusyCallRefs(callRefs);
}
int TZoxDataModuleDispatchReads::GetAvailableUsers(std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetAvailableUsers(users);
}
int TZoxDataModuleDispatchReads::GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetGroupAvailableMembers(groupId, users);
}
int TZoxDataModuleDispatchReads::CountAvailableUsers() { return m_module.CountAvailableUsers(); }
int TZoxDataModuleDispatchReads::CountGroupAvailableMembers(uint32_t groupId)
{
    return m_module.CountGroupAvailableMembers(groupId);
}
int TZoxDataModuleDispatchReads::CountGroupAvailableMembersByType(uint32_t groupId, int userType)
{
    return m_module.CountGroupAvailableMembersByType(groupId, userType);
}
int TZoxDataModuleDispatchReads::CountGroupMembersByType(uint32_t groupId, int userType)
{
    return m_module.CountGroupMembersByType(groupId, userType);
}
