#pragma once
// TNetWxProxy: the console's messaging bridge toward the chat peer.
//
// The chat peer (a chat program on the dispatcher's machine) registers over UDP on the
// console's port plus one (8889). The bridge answers registration and heartbeat,
// relays the peer's chat message requests to the dispatch server, stores the chat
// segments that the server sends (family 0x5005) in the local message store
// (wx_inbox, wx_newmsg), tells the peer when a message is complete, and applies the
// server's acknowledgements to the peer's wx_outbox rows.
//
// Threads: its own receive thread (peer datagrams), the UDP service's receive thread
// (OnServerMessage and every database statement), the user-interface thread
// (IsRegistered, SendBeginChatInd). The registered flag, the stamp and the peer address
// are atomics; the database connection is used on the UDP service's thread only.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/RateLimitedLog.h"

class TNetTcpServiceForm;
namespace soci { class session; }

// Message codes of the bridge datagrams.
inline constexpr uint32_t kWxRegisterRequest = 0x50010001;
inline constexpr uint32_t kWxRegisterResponse = 0x50010002;
inline constexpr uint32_t kWxHeartbeatRequest = 0x50010005;
inline constexpr uint32_t kWxHeartbeatResponse = 0x50010006;
inline constexpr uint32_t kWxResetInd = 0x50010011;
inline constexpr uint32_t kWxDataInd = 0x50010012;
inline constexpr uint32_t kWxMmsRequest = 0x50050001;
inline constexpr uint32_t kWxMmsResponse = 0x50050002;
inline constexpr uint32_t kWxBeginChatInd = 0x50050003;

// The decoded chat segment: a 48-byte head, then at most 652 data bytes.
inline constexpr std::size_t kWxSegmentArea = 700;
inline constexpr std::size_t kWxSegmentHead = 48;
inline constexpr std::size_t kWxMaxDatagram = 1500;

// One received segment as it is stored in wx_inbox.
struct ST_WX_INBOX_INFO {
    uint32_t ssn = 0;
    uint32_t csn = 0;
    int msg_len = 0;
    uint8_t msg_type = 0;
    uint8_t group_chat = 0;
    uint8_t seg_num = 0;
    uint8_t pkg_seq = 0;
    int pkg_size = 0;
    std::string sender;
    std::string creater;
    std::string msg_time;
};

// Standard Base64 (RFC 4648 alphabet, "=" padding, length a multiple of 4). The number
// of bytes written to `out`, or -1 for text that is not Base64, -2 when the result
// would not fit into `capacity` bytes (nothing past capacity is ever written).
int Base64Decode(const char *text, std::size_t length, uint8_t *out, std::size_t capacity);

// What the reader made of a server chat request (code 0x50050001).
enum class EN_WX_SEGMENT_READ { Ok, BadLength, BadBase64, BadSender };

// Checks the length field of the datagram and decodes its Base64 text into `area`
// (zeroed first). Ok only for a segment of 49 to 700 bytes whose sender number decodes
// to at least one digit; `decoded` is then its length.
EN_WX_SEGMENT_READ ReadChatSegment(const uint8_t *datagram, std::size_t length, uint8_t (&area)[kWxSegmentArea],
                                   std::size_t &decoded);

// "%d-%d-%d %d:%d:%02d" of the segment's year, month, day, hour, minute and second.
std::string MakeWxMsgTime(const uint8_t *segment);

// Fills the record from a decoded segment of `decoded` bytes (at least 49): 0, -1 the
// sender's number does not decode, -2 the creator's number does not.
int FillInboxInfo(const uint8_t *segment, std::size_t decoded, ST_WX_INBOX_INFO &info);

// What the bridge needs from the console.
struct ST_WX_PROXY_SETTINGS {
    uint32_t localAddr = 0;  // network order (System/LocalIpAddr)
    uint16_t port = 8889;    // the console's UDP port plus one
    // The database of the message store; empty: the server-data cache's string.
    std::string connectionString;
    // Whether the console is logged in (login state running); read on the bridge's thread.
    std::function<bool()> isLoginRunning;
    // Sends a datagram to the dispatch server: bytes sent, 0 or below a failure,
    // -255 when there is no UDP service.
    std::function<int(const void *, std::size_t)> sendToServer;
    // Calendar time in seconds (the registration stamp); time() when empty.
    std::function<uint32_t()> clock;
};

class TNetWxProxy {
public:
    // Opens the socket and the database connection and starts the receive thread;
    // neither failure stops the construction.
    explicit TNetWxProxy(ST_WX_PROXY_SETTINGS settings);
    // Sends the reset indication when registered, stops the thread, closes the socket
    // and the connection.
    ~TNetWxProxy();
    TNetWxProxy(const TNetWxProxy &) = delete;
    TNetWxProxy &operator=(const TNetWxProxy &) = delete;

    // 2 when the socket is open, else 0.
    int GetSocketState() const { return m_socket >= 0 ? 2 : 0; }
    bool IsRegistered() const { return m_registered.load(std::memory_order_acquire); }
    bool IsDatabaseOpen() const;
    // kind 1: group chat with groupId; kind 0: chat with the user of `number`.
    void SendBeginChatInd(int kind, uint32_t groupId, const std::string &number);
    // A datagram of family 0x5005 from the server (UDP service's receive thread).
    void OnServerMessage(const uint8_t *datagram, std::size_t length);

private:
    int OpenSocket();
    int OpenDatabase();
    void Execute();

    void OnPeerMessage(const uint8_t *datagram, std::size_t length, uint32_t fromAddr, uint16_t fromPort);
    void OnRegisterRequest(const uint8_t *datagram, std::size_t length);
    void OnHeartbeatRequest(const uint8_t *datagram, std::size_t length);
    void ForwardToServer(const uint8_t *datagram, std::size_t length);
    int SendToGateway(const void *datagram, std::size_t length);
    int SendServer(const void *datagram, std::size_t length);
    void SendResetInd();
    void SendDataInd();
    void FillIndication(uint8_t *out, uint32_t code) const;

    void OnMmsRequest(const uint8_t *datagram, std::size_t length);
    void OnMmsResponse(const uint8_t *datagram, std::size_t length);
    int SaveSegment(const uint8_t *segment, std::size_t decoded);
    bool IsDuplicateSegment(const std::string &msgTime, const std::string &sender, uint8_t pkgSeq, uint32_t ssn);
    int StoreSegment(const ST_WX_INBOX_INFO &info, const uint8_t *data);
    // 1 every segment of the message is stored, 0 not yet, -1 the count failed.
    int MessageCompletion(const ST_WX_INBOX_INFO &info);
    int StoreNewMessage(const ST_WX_INBOX_INFO &info);
    int SetOutboxAck(uint32_t id, int flag);
    bool IsOutboxMessageAcked(uint32_t id);
    int DeleteOutboxMessage(uint32_t id);

    template <class Fn> int RunStatement(const char *operation, Fn &&fn);
    uint32_t Now() const;
    // Logs a line about malformed or refused input, at most once a minute per text.
    void LogDropped(const char *text) { m_dropLog.Note(text, "%s", text); }

    ST_WX_PROXY_SETTINGS m_settings;
    int m_socket = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
    uint8_t m_buffer[2048] = {};
    std::unique_ptr<TNetTcpServiceForm> m_connection;

    std::atomic<bool> m_registered {false};
    std::atomic<uint32_t> m_stamp {0};
    // Peer address: bit 48 set when known, bits 16..47 the IPv4 address (network
    // order), bits 0..15 the port (host order). One atomic, so a reader never sees an
    // address with another datagram's port.
    std::atomic<uint64_t> m_peer {0};

    uint8_t m_segment[kWxSegmentArea] = {};

    // Dropped input (UDP service's thread and the bridge's thread).
    CRateLimitedLog m_dropLog;
};

// The network layer's hooks: registers the bridge with the network facade
// (NetSetWxProxyService), so that NetStart creates it on System/LocalIpAddr, port
// System/LocalUdpPort + 1, and NetStop frees it. isLoginRunning tells whether the
// console is logged in; it is called on the bridge's thread.
void WxProxyRegisterNetService(std::function<bool()> isLoginRunning);
// The bridge that NetStart created, or nullptr (tests).
TNetWxProxy *WxProxyService();
