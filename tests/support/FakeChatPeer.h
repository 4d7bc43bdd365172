#pragma once
// A fake chat peer for the messaging bridge's tests: a UDP socket on its own loopback
// address (127.0.0.3, any port) that sends to the console's bridge port and reads what
// the bridge sends back. Every wait is bounded by its timeout.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zoxtest {

class FakeChatPeer {
public:
    explicit FakeChatPeer(std::string peerIp = "127.0.0.3", std::string bridgeIp = "127.0.0.1",
                          uint16_t bridgePort = 8889);
    ~FakeChatPeer();
    FakeChatPeer(const FakeChatPeer &) = delete;
    FakeChatPeer &operator=(const FakeChatPeer &) = delete;

    bool IsOpen() const { return m_socket >= 0; }
    // True when sent whole.
    bool Send(const std::vector<uint8_t> &datagram);
    // The next datagram from the bridge, or nothing when none came in time.
    std::optional<std::vector<uint8_t>> Receive(std::chrono::milliseconds timeout);

private:
    int m_socket = -1;
    std::string m_bridgeIp;
    uint16_t m_bridgePort;
};

} // namespace zoxtest
