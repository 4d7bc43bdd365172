#pragma once
// The far end of a PTT call for the tests: a media-layer audio session that plays the
// talk-burst floor server. It records every talk-burst message it receives, and the
// test answers with Granted, Taken (with a speaker's name), Deny, Idle or Release.
//
//   TestFloorPeer peer;
//   ASSERT_TRUE(peer.Create("127.0.0.2"));        // binds its RTP/RTCP pair
//   ... the console's audio port known ...
//   ASSERT_TRUE(peer.Start("127.0.0.1", consoleAudioPort));
//   ASSERT_TRUE(peer.WaitFor(kTbcpRequest, 3000));
//   peer.Send(kTbcpGranted);
//   peer.SendTaken("sip:3001@zox", "Driver 3001");
//
// Needs the media layer started. Messages arrive on a media thread; the record is
// guarded and every wait is bounded.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "medialib/MediaSessionMgr.h"

namespace zoxtest {

class TestFloorPeer {
public:
    TestFloorPeer() = default;
    ~TestFloorPeer();
    TestFloorPeer(const TestFloorPeer &) = delete;
    TestFloorPeer &operator=(const TestFloorPeer &) = delete;

    bool Create(const char *ip);
    uint16_t AudioPort() const { return m_port; }
    // Sends to the console's audio port (RTCP on port + 1) and starts.
    bool Start(const char *consoleIp, uint16_t consolePort);

    bool Send(uint8_t subtype);
    // Taken with the speaker's identity and display name.
    bool SendTaken(const std::string &uri, const std::string &name);

    std::vector<uint8_t> Received() const;
    // True once a message of this subtype arrived (in all, `count` of them).
    bool WaitFor(uint8_t subtype, int timeoutMs, std::size_t count = 1) const;
    tmedia_session_stats_t Stats() const;

private:
    static int OnEvent(const void *self, int kind, uint8_t subtype, const void *body, size_t size);

    tmedia_session_mgr_t *m_mgr = nullptr;
    uint16_t m_port = 0;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::vector<uint8_t> m_received;
};

// The body of a Taken message: the granted party's identity and its display name, each
// as a field id, a length and the text.
std::vector<uint8_t> TakenBody(const std::string &uri, const std::string &name);

} // namespace zoxtest
