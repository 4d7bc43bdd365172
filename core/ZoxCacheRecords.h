#pragma once
// Row records of the server-data cache (database zox_client). Texts are UTF-8.
#include <cstdint>
#include <string>

// One of the console's own lines.
struct ST_ZOX_SYSTEM_LINE {
    std::string lineName;
    std::string nickName;
    std::string callRef;    // call reference of the line's current call; empty after a read
    uint8_t softPhone = 0;
    uint8_t videoOnly = 0;
    uint8_t status = 0;     // 0 not answered, 1 accepted, 2 refused by the line configuration
    uint8_t regState = 0;   // of the user whose number is the line number
    uint32_t callState = 0;
};

// One user of the dispatch server.
struct ST_ZOX_SYSTEM_USER {
    std::string userNumber;
    std::string displayName;
    std::string callRef;    // eight upper-case hexadecimal digits, empty when idle
    uint8_t dispatcher = 0;
    uint8_t isMobile = 0;
    uint8_t regState = 0;   // 0 offline, 3 disabled, other values registered
    uint32_t callState = 0; // 0 idle
    uint32_t vpState = 0;
    uint8_t dcFlag = 0;
    uint8_t priority = 0;   // 4: hidden, never listed
    uint8_t userType = 0;   // 0 ordinary user, 1 vehicle of the CMS platform
};

struct ST_ZOX_SYSTEM_GROUP {
    std::string groupName;
    std::string groupNumber;
    uint32_t groupId = 0;
};

struct ST_ZOX_GROUP_MEMBER {
    int groupId = 0;
    std::string userNumber;
};

struct ST_ZOX_RTSP_CAMERA {
    uint32_t cid = 0;
    int port = 0;
    int auth = 0;
    int status = 0;         // 1 online, 0 offline
    int enabled = 0;
    int transport = 0;
    int dispatcher = 0;
    std::string cname;
    std::string remark;
    std::string ip;
    std::string main_url;
    std::string sub_url;
    std::string username;
    std::string password;
};

struct ST_ZOX_CMS_COMPANY {
    int id = 0;
    int pid = 0;            // parent company
    int child = 0;          // 1 when the company has children
    std::string name;
};

// Stored in the columns voip_num, org_name, org_path, user_name, police_num, mobile,
// user_type, avatar in this order.
struct ST_ZOX_UAP_VOIPUSER {
    std::string VoipNum;
    std::string OrgName;
    std::string OrgFullName;
    std::string RealName;
    std::string PoliceNum;
    std::string Mobile;
    std::string UserTypeName;
    std::string Avatar;
};
