#pragma once
// An in-memory stand-in for the server-data cache reads of the main window, for the
// rules' tests. Rows are kept in the cache's order; fail makes every read fail.
#include "console/MainListCache.h"

#include <algorithm>
#include <map>

class FakeListCache : public IMainListCache {
public:
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    std::vector<ST_ZOX_SYSTEM_USER> users;                 // priority 4 rows are hidden from lists
    std::map<uint32_t, std::vector<std::string>> members;  // group id -> numbers
    std::vector<ST_ZOX_RTSP_CAMERA> cameras;
    std::map<std::string, ST_ZOX_UAP_VOIPUSER> uap;
    bool fail = false;
    int reads = 0;
    int stateReads = 0;   // reads of the shown users' states
    int tipReads = 0;     // reads of platform tips
    std::vector<std::string> lastStateNumbers;  // numbers of the last state read

    ST_ZOX_SYSTEM_USER *User(const std::string &number)
    {
        for (auto &u : users)
            if (u.userNumber == number)
                return &u;
        return nullptr;
    }

    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &out) override
    {
        out.clear();
        ++reads;
        if (fail)
            return -1;
        out = groups;
        return 0;
    }
    int GetSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        ++reads;
        if (fail)
            return -1;
        for (const auto &u : users)
            if (u.priority != 4)
                out.push_back(u);
        return 0;
    }
    int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        ++reads;
        if (fail)
            return -1;
        auto it = members.find(groupId);
        if (it == members.end())
            return 0;
        for (const auto &u : users)
            if (u.priority != 4 && std::find(it->second.begin(), it->second.end(), u.userNumber) != it->second.end())
                out.push_back(u);
        return 0;
    }
    int GetCompanyUsers(int, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        ++reads;
        if (fail)
            return -1;
        for (const auto &u : users)
            if (u.userType == 1 && u.priority != 4)
                out.push_back(u);
        return 0;
    }
    int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &out) override
    {
        out.clear();
        ++reads;
        if (fail)
            return -1;
        out = cameras;
        return 0;
    }
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        ++reads;
        if (fail)
            return -1;
        for (const auto &c : cameras)
            if (std::to_string(c.cid) == cid) {
                camera = c;
                return 0;
            }
        return -2;
    }
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        ++reads;
        if (fail)
            return -1;
        if (ST_ZOX_SYSTEM_USER *u = User(number)) {
            user = *u;
            return 0;
        }
        return -2;
    }
    int GetUapVoipUser(const std::string &number, ST_ZOX_UAP_VOIPUSER &user) override
    {
        if (fail)
            return -1;
        auto it = uap.find(number);
        if (it == uap.end())
            return -2;
        user = it->second;
        return 0;
    }
    int GetUserStates(const std::vector<std::string> &numbers, std::vector<ST_ZOX_SYSTEM_USER> &out) override
    {
        out.clear();
        ++reads;
        ++stateReads;
        lastStateNumbers = numbers;
        if (fail)
            return -1;
        for (const std::string &n : numbers)
            if (ST_ZOX_SYSTEM_USER *u = User(n))
                out.push_back(*u);
        return 0;
    }
    int GetUapVoipUsers(const std::vector<std::string> &numbers, std::vector<ST_ZOX_UAP_VOIPUSER> &out) override
    {
        out.clear();
        ++tipReads;
        if (fail)
            return -1;
        for (const std::string &n : numbers) {
            auto it = uap.find(n);
            if (it != uap.end()) {
                out.push_back(it->second);
                out.back().VoipNum = n;
            }
        }
        return 0;
    }
    int UpdateCameraStatus(const std::string &cid, int status) override
    {
        for (auto &c : cameras)
            if (std::to_string(c.cid) == cid) {
                c.status = status;
                return 0;
            }
        return 0;
    }
    bool CountWxNewMessages() override { return false; }
    bool CountWxUnreadMessages() override { return false; }
};

inline ST_ZOX_SYSTEM_USER MakeUser(const std::string &number, const std::string &name, uint8_t reg, uint32_t call = 0,
                                   uint32_t vp = 0, uint8_t type = 0, uint8_t priority = 2)
{
    ST_ZOX_SYSTEM_USER u;
    u.userNumber = number;
    u.displayName = name;
    u.regState = reg;
    u.callState = call;
    u.vpState = vp;
    u.userType = type;
    u.priority = priority;
    return u;
}

inline ST_ZOX_RTSP_CAMERA MakeCamera(uint32_t cid, const std::string &name, int status, int enabled)
{
    ST_ZOX_RTSP_CAMERA c;
    c.cid = cid;
    c.cname = name;
    c.status = status;
    c.enabled = enabled;
    return c;
}
