#pragma once
// The reads and writes of the server-data cache that the main window's lists, its
// state refresh, the current selection and the chat indicator make. The real cache
// answers through TZoxDataModuleListCache; tests may answer with rows of their own.
// Results follow the cache: 0 / -1 for lists, 0 / -2 (no row) / -1 for one row.
#include "core/ZoxCacheRecords.h"

#include <cstdint>
#include <string>
#include <vector>

class IMainListCache {
public:
    virtual ~IMainListCache() = default;
    virtual int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups) = 0;
    virtual int GetSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    virtual int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    virtual int GetCompanyUsers(int companyId, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    // The same rows as GetSystemUsers and GetGroupMembers, where only the columns a
    // user tile shows need to be filled (number, name, the three states, user type).
    virtual int GetShownUsers(std::vector<ST_ZOX_SYSTEM_USER> &users) { return GetSystemUsers(users); }
    virtual int GetShownMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
    {
        return GetGroupMembers(groupId, users);
    }
    virtual int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras) = 0;
    virtual int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) = 0;
    virtual int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) = 0;
    virtual int GetUapVoipUser(const std::string &number, ST_ZOX_UAP_VOIPUSER &user) = 0;
    // The state columns (userNumber, regState, callState, vpState) of the users with
    // these numbers, in one read; numbers without a row give nothing.
    virtual int GetUserStates(const std::vector<std::string> &numbers, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    // The platform rows of these numbers, in one read.
    virtual int GetUapVoipUsers(const std::vector<std::string> &numbers, std::vector<ST_ZOX_UAP_VOIPUSER> &users) = 0;
    virtual int UpdateCameraStatus(const std::string &cid, int status) = 0;
    virtual bool CountWxNewMessages() = 0;
    virtual bool CountWxUnreadMessages() = 0;
};
