#pragma once
// A fake dispatch server for the tests: a UDP socket bound to 127.0.0.2:8888 (the
// console binds 127.0.0.1:8888) with its own receive thread.
//
//   FakeDispatchServer server;                    // 127.0.0.2:8888 -> 127.0.0.1:8888
//   ASSERT_TRUE(server.Start());
//   server.Answer(zox::proto::kHeartbeatRequest, [](const ReceivedDatagram &req) {
//       ...; return std::vector<Bytes>{reply};    // sent back to the request's sender
//   });
//   server.Withhold(zox::proto::kRegisterRequest, 1); // the next one goes unanswered
//   server.Inject(bytes);                         // a datagram to the console
//   ASSERT_TRUE(server.WaitFor(zox::proto::kRegisterRequest, 2, 3000ms));
//   auto sent = server.ReceivedWithCode(zox::proto::kRegisterRequest);
//
// Script (answer, withhold) and record may be changed and read from the test thread at
// any time; responders run on the fake's receive thread. Everything the console sends is
// recorded, answered or not. Every wait is bounded by its timeout; Stop() (also run by
// the destructor) ends the thread within one poll period (50 ms).
//
// Tests that start it share the fixed port: give them the ctest RESOURCE_LOCK "udp8888".
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zoxtest {

using Bytes = std::vector<uint8_t>;

struct ReceivedDatagram {
    Bytes bytes;
    uint32_t code = 0; // message code at +4 (0 when the datagram is shorter than 8 bytes)
    std::chrono::steady_clock::time_point at;
};

class FakeDispatchServer {
public:
    // What to send back to the sender of a request; empty = no answer.
    using Responder = std::function<std::vector<Bytes>(const ReceivedDatagram &request)>;

    explicit FakeDispatchServer(std::string serverIp = "127.0.0.2", uint16_t serverPort = 8888,
                                std::string consoleIp = "127.0.0.1", uint16_t consolePort = 8888);
    ~FakeDispatchServer();
    FakeDispatchServer(const FakeDispatchServer &) = delete;
    FakeDispatchServer &operator=(const FakeDispatchServer &) = delete;

    // Binds and starts the receive thread; false when the bind fails.
    bool Start();
    void Stop();

    // Answers every later request of this code with the responder (replacing an earlier one).
    void Answer(uint32_t code, Responder responder);
    // The next `count` requests of this code are recorded but not answered; a negative
    // count withholds every answer until Release(code).
    void Withhold(uint32_t code, int count = -1);
    void Release(uint32_t code);
    // Forgets every answer and withholding.
    void ClearScript();

    // Sends a datagram from the server's address to the console. True when sent whole.
    bool Inject(const Bytes &datagram);
    bool InjectRaw(const void *data, std::size_t length);

    // Everything received, in arrival order.
    std::vector<ReceivedDatagram> Received() const;
    std::vector<ReceivedDatagram> ReceivedWithCode(uint32_t code) const;
    std::size_t CountOf(uint32_t code) const;
    void ClearRecord();
    // Waits until at least `count` datagrams of this code have been received (in all);
    // false when the timeout ran out first.
    bool WaitFor(uint32_t code, std::size_t count, std::chrono::milliseconds timeout) const;
    // Answers that were sent (responder results), in all.
    std::size_t AnswersSent() const;

private:
    void run();

    std::string m_serverIp, m_consoleIp;
    uint16_t m_serverPort, m_consolePort;
    int m_socket = -1;
    bool m_stop = false; // guarded by m_lock
    std::thread m_thread;

    mutable std::mutex m_lock;
    mutable std::condition_variable m_cond;
    std::map<uint32_t, Responder> m_answers;  // guarded by m_lock
    std::map<uint32_t, int> m_withheld;       // guarded by m_lock
    std::vector<ReceivedDatagram> m_received; // guarded by m_lock
    std::size_t m_answersSent = 0;            // guarded by m_lock
};

} // namespace zoxtest
