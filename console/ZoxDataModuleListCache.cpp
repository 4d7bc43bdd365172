#include "console/ZoxDataModuleListCache.h"

#include "core/ZoxDataModule.h"

int TZoxDataModuleListCache::GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups)
{
    return m_module.GetSystemGroups(groups);
}
int TZoxDataModuleListCache::GetSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetSystemUsers(users);
}
int TZoxDataModuleListCache::GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetGroupMembers(groupId, users);
}
int TZoxDataModuleListCache::GetCompanyUsers(int companyId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetCompanyUsers(companyId, users);
}
int TZoxDataModuleListCache::GetShownUsers(std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetShownUsers(users);
}
int TZoxDataModuleListCache::GetShownMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetShownMembers(groupId, users);
}
int TZoxDataModuleListCache::GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras)
{
    return m_module.GetRtspCameras(cameras);
}
int TZoxDataModuleListCache::GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera)
{
    return m_module.GetRtspCamera(cid, camera);
}
int TZoxDataModuleListCache::GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user)
{
    return m_module.GetSystemUser(number, user);
}
int TZoxDataModuleListCache::GetUapVoipUser(const std::string &number, ST_ZOX_UAP_VOIPUSER &user)
{
    return m_module.GetUapVoipUser(number, user);
}
int TZoxDataModuleListCache::GetUserStates(const std::vector<std::string> &numbers,
                                           std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return m_module.GetUserStates(numbers, users);
}
int TZoxDataModuleListCache::GetUapVoipUsers(const std::vector<std::string> &numbers,
                                             std::vector<ST_ZOX_UAP_VOIPUSER> &users)
{
    return m_module.GetUapVoipUsers(numbers, users);
}
int TZoxDataModuleListCache::UpdateCameraStatus(const std::string &cid, int status)
{
    return m_module.UpdateCameraStatus(cid, status);
}
bool TZoxDataModuleListCache::CountWxNewMessages() { return m_module.CountWxNewMessages(); }
bool TZoxDataModuleListCache::CountWxUnreadMessages() { return m_module.CountWxUnreadMessages(); }
