#pragma once
// The main window's view of the server-data cache, answered by a TZoxDataModule.
#include "console/MainListCache.h"

class TZoxDataModule;

class TZoxDataModuleListCache : public IMainListCache {
public:
    explicit TZoxDataModuleListCache(TZoxDataModule &module) : m_module(module) {}

    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups) override;
    int GetSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetCompanyUsers(int companyId, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetShownUsers(std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetShownMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras) override;
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override;
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override;
    int GetUapVoipUser(const std::string &number, ST_ZOX_UAP_VOIPUSER &user) override;
    int GetUserStates(const std::vector<std::string> &numbers, std::vector<ST_ZOX_SYSTEM_USER> &users) override;
    int GetUapVoipUsers(const std::vector<std::string> &numbers, std::vector<ST_ZOX_UAP_VOIPUSER> &users) override;
    int UpdateCameraStatus(const std::string &cid, int status) override;
    bool CountWxNewMessages() override;
    bool CountWxUnreadMessages() override;

private:
    TZoxDataModule &m_module;
};
