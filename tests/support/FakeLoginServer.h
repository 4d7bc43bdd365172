#pragma once
// The server side of the console's login, without any transport: it takes the
// console's datagrams of the registration and notice families and answers them as a
// dispatch server would (register/auth with the digest check, line configuration,
// paged group and user lists, heartbeats), and builds the notices and the reset
// indicator a test wants to send. It records what the console sent.
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace zoxtest {

using Bytes = std::vector<uint8_t>;

struct FakeGroup {
    uint32_t id = 0;
    std::string name;
    std::string number;
};

struct FakeUser {
    std::string number;
    std::string name;
    uint8_t regState = 1;
    uint32_t callState = 0;
    uint32_t vpState = 0;
    uint8_t dcFlag = 0;
    uint8_t dispatcher = 0;
    uint8_t terminalKind = 1;
    uint8_t priority = 1;
    std::array<uint8_t, 4> callRef {};
    std::vector<uint8_t> groups; // group ids (at most 64)
};

class CFakeLoginServer {
public:
    CFakeLoginServer();

    // --- what the server serves
    std::string account = "8001";
    std::string password = "1234";
    bool requireAuth = true;
    uint8_t registerResult = 0;
    uint32_t consoleUserId = 0x77;
    std::string ownNumber = "5000";
    uint32_t priorityWord = 5;
    std::set<std::string> refusedLines;
    uint8_t lineConfigResult = 0;
    uint32_t groupsPerPage = 16;
    uint32_t usersPerPage = 5;
    uint8_t groupListResult = 0;
    uint8_t userListResult = 0;
    bool answerHeartbeats = true;
    bool answerLists = true;
    std::vector<FakeGroup> groups;
    std::vector<FakeUser> users;

    // --- what the console sent
    std::vector<uint32_t> registerTypes;  // one entry per register request
    std::vector<uint32_t> registerSequences;
    int authResponses = 0;
    int authFailures = 0;
    int heartbeats = 0;
    int lineConfigs = 0;
    std::vector<std::string> proposedLines; // of the last line configuration request
    std::vector<uint32_t> groupRequests;    // start indexes
    std::vector<uint32_t> userRequests;
    std::vector<Bytes> noticeReplies;       // 0x50030002 and 0x50030006
    std::vector<Bytes> unknown;

    // Handles one datagram from the console and returns the answers.
    std::vector<Bytes> Handle(const uint8_t *data, std::size_t length);
    std::vector<Bytes> Handle(const Bytes &d) { return Handle(d.data(), d.size()); }

    // --- messages the server originates
    Bytes MakeUserStateNotify(const std::string &number, uint8_t regState, uint32_t callState, uint32_t vpState,
                              uint8_t dcFlag, std::array<uint8_t, 4> callRef, uint32_t senderRef = 0x10,
                              uint32_t receiverRef = 0xFFFFFFFF);
    Bytes MakeLineServiceNotify(uint32_t type, const std::string &line, const std::string &user,
                                uint32_t senderRef = 0x20);
    Bytes MakeOpNotify(const std::string &caller, const std::string &callee, uint32_t type, uint32_t action);
    Bytes MakeServerReset();
    Bytes MakeAuthRequest(uint32_t replyTo);
    Bytes MakeRegisterResponse(uint32_t replyTo, uint8_t result);
    Bytes MakeGroupListPage(uint32_t replyTo, uint32_t start);
    Bytes MakeUserListPage(uint32_t replyTo, uint32_t start);
    Bytes MakeHeartbeatResponse(uint32_t replyTo, uint8_t result = 0);

    // A number of groups and users with memberships, for load tests.
    void Populate(int groupCount, int userCount, int groupsPerUser);

    static void PutU32(uint8_t *p, uint32_t v);
    static uint32_t GetU32(const uint8_t *p);
    static void PutBcd(uint8_t *p, const std::string &number);
    static std::string GetBcd(const uint8_t *p);

    uint32_t lastAuthRef = 0;

private:
    uint32_t m_seq = 1000;
    std::array<uint8_t, 36> m_challenge1 {};
    std::array<uint8_t, 40> m_challenge2 {};
};

} // namespace zoxtest
