#pragma once
// Row records of the server-data cache (database zox_client). Texts are UTF-8.
#include <cstdint>
#include <string>

struct ST_ZOX_SYSTEM_LINE {
    std::string lineName;
    std::string nickName;
    std::string callRef;
    uint8_t softPhone = 0;
    uint8_t videoOnly = 0;
    uint8_t status = 0;
    uint8_t regState = 0;
    uint32_t callState = 0;
};

struct ST_ZOX_SYSTEM_USER {
    std::string userNumber;
    std::string displayName;
    std::string callRef;
    uint8_t dispatcher = 0;
    uint8_t isMobile = 0;
    uint8_t regState = 0;
    uint32_t callState = 0;
    uint32_t vpState = 0;
    uint8_t dcFlag = 0;
    uint8_t priority = 0;
    uint8_t userType = 0;
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
