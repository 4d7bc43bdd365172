#include "tests/support/TestFloorPeer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>

#include "core/MediaLibrary.h"

namespace zoxtest {

std::vector<uint8_t> TakenBody(const std::string &uri, const std::string &name)
{
    std::vector<uint8_t> body(4, 0); // the granted party's SSRC, unused here
    body.push_back(1);
    body.push_back(uint8_t(uri.size()));
    body.insert(body.end(), uri.begin(), uri.end());
    body.push_back(2);
    body.push_back(uint8_t(name.size()));
    body.insert(body.end(), name.begin(), name.end());
    return body;
}

TestFloorPeer::~TestFloorPeer() { ReleaseMediaSession(m_mgr); }

bool TestFloorPeer::Create(const char *ip)
{
    in_addr a {};
    if (inet_pton(AF_INET, ip, &a) != 1)
        return false;
    m_mgr = CreateMediaSession(kMediaAudio, a, kMediaAudio, kMediaAudio, 1);
    return m_mgr && GetMediaLocalPort(m_mgr, kMediaAudio, &m_port) == 0;
}

bool TestFloorPeer::Start(const char *consoleIp, uint16_t consolePort)
{
    in_addr a {};
    if (!m_mgr || inet_pton(AF_INET, consoleIp, &a) != 1)
        return false;
    return SetMediaRemoteAddress(m_mgr, kMediaAudio, a, consolePort) == 0 &&
           SetMediaRtcpCallback(m_mgr, this, &TestFloorPeer::OnEvent) == 0 && StartMediaSession(m_mgr) == 0;
}

bool TestFloorPeer::Send(uint8_t subtype) { return SendMediaRtcpEvent(m_mgr, subtype) == 0; }

bool TestFloorPeer::SendTaken(const std::string &uri, const std::string &name)
{
    const std::vector<uint8_t> body = TakenBody(uri, name);
    return tmedia_session_mgr_send_rtcp_app(m_mgr, tmedia_audio, 2, body.data(), body.size()) == 0;
}

int TestFloorPeer::OnEvent(const void *self, int kind, uint8_t subtype, const void *, size_t)
{
    auto *peer = static_cast<TestFloorPeer *>(const_cast<void *>(self));
    if (kind != tmedia_rtcp_event_tbcp)
        return 0;
    {
        std::lock_guard<std::mutex> lk(peer->m_lock);
        peer->m_received.push_back(subtype);
    }
    peer->m_changed.notify_all();
    return 0;
}

std::vector<uint8_t> TestFloorPeer::Received() const
{
    std::lock_guard<std::mutex> lk(m_lock);
    return m_received;
}

bool TestFloorPeer::WaitFor(uint8_t subtype, int timeoutMs, std::size_t count) const
{
    std::unique_lock<std::mutex> lk(m_lock);
    return m_changed.wait_for(lk, std::chrono::milliseconds(timeoutMs), [&] {
        return std::size_t(std::count(m_received.begin(), m_received.end(), subtype)) >= count;
    });
}

tmedia_session_stats_t TestFloorPeer::Stats() const
{
    tmedia_session_stats_t s;
    tmedia_session_mgr_get_stats(m_mgr, tmedia_audio, &s);
    return s;
}

} // namespace zoxtest
