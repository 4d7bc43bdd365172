#include "platforms/NetWxProxy.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <soci/soci.h>

#include "core/Log.h"
#include "core/NetTcpServiceForm.h"
#include "core/NumberUtils.h"
#include "core/SessionIdentity.h"
#include "core/SystemConfig.h"
#include "core/net/NetFacade.h"

namespace {

constexpr int kPollTimeoutMs = 200;
constexpr uint32_t kNoReference = 0xFFFFFFFF;


uint32_t ReadBe32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint16_t ReadBe16(const uint8_t *p) { return uint16_t((p[0] << 8) | p[1]); }

void WriteBe32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

// The stamp travels least significant byte first; the peer returns the 4 bytes as
// it received them.
void WriteStamp(uint8_t *p, uint32_t stamp)
{
    p[0] = uint8_t(stamp);
    p[1] = uint8_t(stamp >> 8);
    p[2] = uint8_t(stamp >> 16);
    p[3] = uint8_t(stamp >> 24);
}

bool StampMatches(const uint8_t *p, uint32_t stamp)
{
    uint8_t expected[4];
    WriteStamp(expected, stamp);
    return std::memcmp(p, expected, 4) == 0;
}

int Base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

// ------------------------------------------------------------------ wire helpers

int Base64Decode(const char *text, std::size_t length, uint8_t *out, std::size_t capacity)
{
    if (length == 0)
        return 0;
    if (length % 4 != 0)
        return -1;
    std::size_t padding = 0;
    if (text[length - 1] == '=')
        padding = text[length - 2] == '=' ? 2 : 1;
    std::size_t size = length / 4 * 3 - padding;
    if (size > capacity)
        return -2;
    std::size_t w = 0;
    for (std::size_t i = 0; i < length; i += 4) {
        bool last = i + 4 == length;
        int v[4];
        for (int k = 0; k < 4; ++k) {
            unsigned char c = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if (c == '=' && last && std::size_t(k) >= 4 - padding) {
                v[k] = 0;
                continue;
            }
            v[k] = Base64Value(c);
            if (v[k] < 0)
                return -1;
        }
        uint32_t triple = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
        std::size_t bytes = last ? 3 - padding : 3;
        for (std::size_t b = 0; b < bytes; ++b)
            out[w++] = uint8_t(triple >> (16 - 8 * b));
    }
    return int(w);
}

EN_WX_SEGMENT_READ ReadChatSegment(const uint8_t *datagram, std::size_t length, uint8_t (&area)[kWxSegmentArea],
                                   std::size_t &decoded)
{
    decoded = 0;
    // The length field must lie inside the datagram and its text after it; L is
    // compared with what remains, so a huge L cannot wrap around.
    if (length < 20)
        return EN_WX_SEGMENT_READ::BadLength;
    uint32_t textLength = ReadBe32(datagram + 16);
    if (textLength > length - 20)
        return EN_WX_SEGMENT_READ::BadLength;
    std::memset(area, 0, sizeof area);
    int n = Base64Decode(reinterpret_cast<const char *>(datagram + 20), textLength, area, sizeof area);
    if (n <= int(kWxSegmentHead))
        return EN_WX_SEGMENT_READ::BadBase64;
    std::string sender;
    if (DecodeBcdDigits(area + 4, 8, sender) != 0 || sender.empty())
        return EN_WX_SEGMENT_READ::BadSender; // a field of filler alone names nobody
    decoded = std::size_t(n);
    return EN_WX_SEGMENT_READ::Ok;
}

std::string MakeWxMsgTime(const uint8_t *segment)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%02d", int(ReadBe16(segment + 36)), int(segment[38]),
                  int(segment[39]), int(segment[40]), int(segment[41]), int(segment[42]));
    return text;
}

int FillInboxInfo(const uint8_t *segment, std::size_t decoded, ST_WX_INBOX_INFO &info)
{
    info.ssn = ReadBe32(segment + 12);
    info.csn = ReadBe32(segment + 32);
    info.msg_len = int(ReadBe32(segment + 44));
    info.msg_type = segment[0];
    info.group_chat = segment[3];
    info.seg_num = segment[1];
    info.pkg_seq = segment[2];
    info.pkg_size = int(decoded - kWxSegmentHead);
    if (DecodeBcdDigits(segment + 4, 8, info.sender) != 0 || info.sender.empty())
        return -1;
    if (DecodeBcdDigits(segment + 24, 8, info.creater) != 0)
        return -2;
    info.msg_time = MakeWxMsgTime(segment);
    return 0;
}

// ------------------------------------------------------------------ life cycle

TNetWxProxy::TNetWxProxy(ST_WX_PROXY_SETTINGS settings) : m_settings(std::move(settings))
{
    OpenSocket();
    OpenDatabase();
    if (m_socket < 0)
        return;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    try {
        m_thread = std::thread(&TNetWxProxy::Execute, this);
    } catch (const std::system_error &) {
        WriteLog("wxproxy: failed to start the receive thread!");
        ::close(m_socket);
        m_socket = -1;
    }
}

TNetWxProxy::~TNetWxProxy()
{
    m_stop = true;
    if (m_wakeFd >= 0) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFd, &one, sizeof one);
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_registered.load())
        SendResetInd();
    if (m_socket >= 0)
        ::close(m_socket);
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    m_socket = -1;
    m_wakeFd = -1;
    m_connection.reset();
}

int TNetWxProxy::OpenSocket()
{
    int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (s < 0) {
        WriteLog("wxproxy: udp socket failed (%s)!", std::strerror(errno));
        return -1;
    }
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = m_settings.localAddr;
    local.sin_port = htons(m_settings.port);
    if (::bind(s, reinterpret_cast<sockaddr *>(&local), sizeof local) != 0) {
        WriteLog("wxproxy: udp bind failed (%s)!", std::strerror(errno));
        ::close(s);
        return -2;
    }
    m_socket = s;
    return 0;
}

int TNetWxProxy::OpenDatabase()
{
    m_connection = std::make_unique<TNetTcpServiceForm>(
        m_settings.connectionString.empty() ? ZoxConnectionString() : m_settings.connectionString);
    if (m_connection->ConnectDatabase() != 0) {
        WriteLog("wxproxy: failed to connect the message store!");
        return -1;
    }
    return 0;
}

bool TNetWxProxy::IsDatabaseOpen() const { return m_connection && m_connection->IsOpen(); }

uint32_t TNetWxProxy::Now() const
{
    return m_settings.clock ? m_settings.clock() : uint32_t(std::time(nullptr));
}

// ------------------------------------------------------------------ peer side

void TNetWxProxy::Execute()
{
    pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    while (!m_stop.load(std::memory_order_relaxed)) {
        int r = ::poll(fds, m_wakeFd >= 0 ? 2 : 1, kPollTimeoutMs);
        if (r < 0) {
            if (errno != EINTR)
                ::usleep(10000);
            continue;
        }
        if (r == 0 || !(fds[0].revents & (POLLIN | POLLERR)))
            continue;
        for (int i = 0; i < 256 && !m_stop.load(std::memory_order_relaxed); ++i) {
            sockaddr_in from {};
            socklen_t fromLength = sizeof from;
            ssize_t n = ::recvfrom(m_socket, m_buffer, sizeof m_buffer, MSG_DONTWAIT | MSG_TRUNC,
                                   reinterpret_cast<sockaddr *>(&from), &fromLength);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                break;
            }
            if (std::size_t(n) >= 16)
                OnPeerMessage(m_buffer, std::size_t(n), from.sin_addr.s_addr, ntohs(from.sin_port));
        }
    }
}

void TNetWxProxy::OnPeerMessage(const uint8_t *datagram, std::size_t length, uint32_t fromAddr, uint16_t fromPort)
{
    if (length > kWxMaxDatagram) {
        LogDropped("wxproxy: datagram from the peer longer than 1500 bytes dropped.");
        return;
    }
    switch (ReadBe32(datagram + 4)) {
    case kWxRegisterRequest:
        m_peer.store((uint64_t(1) << 48) | (uint64_t(fromAddr) << 16) | fromPort, std::memory_order_release);
        OnRegisterRequest(datagram, length);
        break;
    case kWxHeartbeatRequest:
        OnHeartbeatRequest(datagram, length);
        break;
    case kWxMmsRequest:
        ForwardToServer(datagram, length);
        break;
    default:
        break;
    }
}

void TNetWxProxy::FillIndication(uint8_t *out, uint32_t code) const
{
    WriteBe32(out, g_nOwnUserId.load());
    WriteBe32(out + 4, code);
    WriteStamp(out + 8, m_stamp.load(std::memory_order_acquire));
    WriteBe32(out + 12, kNoReference);
}

void TNetWxProxy::OnRegisterRequest(const uint8_t *datagram, std::size_t length)
{
    if (!m_settings.isLoginRunning || !m_settings.isLoginRunning() || length < 36)
        return;
    if (ReadBe32(datagram + 32) != 0) {
        m_registered.store(false, std::memory_order_release);
        return;
    }
    uint32_t stamp = Now();
    m_stamp.store(stamp, std::memory_order_release);
    m_registered.store(true, std::memory_order_release);

    uint8_t rsp[48] = {};
    WriteBe32(rsp, g_nOwnUserId.load());
    WriteBe32(rsp + 4, kWxRegisterResponse);
    WriteStamp(rsp + 8, stamp);
    std::memcpy(rsp + 12, datagram + 8, 4);
    std::string number = g_strOwnNumber.Get();
    if (EncodeBcdDigits(number, rsp + 20, 8) != 0)
        WriteLog("wxproxy: own number %s is not a number.", number.c_str());
    if (SendToGateway(rsp, sizeof rsp) > 0)
        WriteLog("wxproxy: send reg resp.");
    else
        WriteLog("wxproxy: failed to send reg resp!");
}

void TNetWxProxy::OnHeartbeatRequest(const uint8_t *datagram, std::size_t length)
{
    if (!m_registered.load(std::memory_order_acquire))
        return;
    uint32_t stamp = m_stamp.load(std::memory_order_acquire);
    uint8_t rsp[20] = {};
    WriteBe32(rsp, g_nOwnUserId.load());
    WriteBe32(rsp + 4, kWxHeartbeatResponse);
    WriteStamp(rsp + 8, stamp);
    std::memcpy(rsp + 12, datagram + 8, 4);
    rsp[16] = StampMatches(datagram + 12, stamp) ? 0 : 2;
    if (SendToGateway(rsp, sizeof rsp) > 0)
        WriteLog("wxproxy: send hb resp.");
    else
        WriteLog("wxproxy: failed to send hb resp!");
}

void TNetWxProxy::ForwardToServer(const uint8_t *datagram, std::size_t length)
{
    if (!m_registered.load(std::memory_order_acquire) || !m_settings.sendToServer)
        return;
    if (!StampMatches(datagram + 12, m_stamp.load(std::memory_order_acquire))) {
        LogDropped("wxproxy: seq not matched, deny to forward msg!");
        return;
    }
    uint8_t copy[kWxMaxDatagram];
    std::memcpy(copy, datagram, length);
    WriteBe32(copy + 12, kNoReference);
    SendServer(copy, length);
}

int TNetWxProxy::SendToGateway(const void *datagram, std::size_t length)
{
    if (m_socket < 0)
        return -1;
    if (length > kWxMaxDatagram)
        return -2;
    uint64_t peer = m_peer.load(std::memory_order_acquire);
    if (!(peer >> 48))
        return -1; // no peer has ever asked to register: nowhere to send
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = uint32_t(peer >> 16);
    to.sin_port = htons(uint16_t(peer));
    ssize_t n;
    do {
        n = ::sendto(m_socket, datagram, length, 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? -1 : int(n);
}

int TNetWxProxy::SendServer(const void *datagram, std::size_t length)
{
    return m_settings.sendToServer ? m_settings.sendToServer(datagram, length) : -255;
}

void TNetWxProxy::SendResetInd()
{
    uint8_t ind[16];
    FillIndication(ind, kWxResetInd);
    if (SendToGateway(ind, sizeof ind) > 0)
        WriteLog("wxproxy: send reset ind.");
    else
        WriteLog("wxproxy: failed to send reset ind!");
}

void TNetWxProxy::SendDataInd()
{
    uint8_t ind[16];
    FillIndication(ind, kWxDataInd);
    if (SendToGateway(ind, sizeof ind) > 0)
        WriteLog("wxproxy: send data ind.");
    else
        WriteLog("wxproxy: failed to send data ind!");
}

void TNetWxProxy::SendBeginChatInd(int kind, uint32_t groupId, const std::string &number)
{
    uint8_t ind[32] = {};
    FillIndication(ind, kWxBeginChatInd);
    WriteBe32(ind + 16, kind == 1 ? 1 : 0);
    if (kind == 1) {
        WriteBe32(ind + 20, groupId);
    } else if (EncodeBcdDigits(number, ind + 24, 8) != 0) {
        WriteLog("wxproxy: failed to convert user num, discard begin chat ind.");
        return;
    }
    if (SendToGateway(ind, sizeof ind) >= 1)
        WriteLog("wxproxy: send begin chat ind.");
    else
        WriteLog("wxproxy: failed to send begin chat ind!");
}

// ------------------------------------------------------------------ server side

void TNetWxProxy::OnServerMessage(const uint8_t *datagram, std::size_t length)
{
    if (length < 16 || length > kWxMaxDatagram)
        return;
    switch (ReadBe32(datagram + 4)) {
    case kWxMmsRequest:
        OnMmsRequest(datagram, length);
        break;
    case kWxMmsResponse:
        OnMmsResponse(datagram, length);
        break;
    default:
        break;
    }
}

void TNetWxProxy::OnMmsRequest(const uint8_t *datagram, std::size_t length)
{
    std::size_t decoded = 0;
    switch (ReadChatSegment(datagram, length, m_segment, decoded)) {
    case EN_WX_SEGMENT_READ::BadLength:
        LogDropped("wxproxy: recv mms req msg, but invalid length and discard.");
        return;
    case EN_WX_SEGMENT_READ::BadBase64:
        LogDropped("wxproxy: recv mms req msg, but failed to base64-decode and discard.");
        return;
    case EN_WX_SEGMENT_READ::BadSender:
        LogDropped("wxproxy: recv mms req msg, but failed to convert sender number and discard.");
        return;
    case EN_WX_SEGMENT_READ::Ok:
        break;
    }
    std::string sender;
    DecodeBcdDigits(m_segment + 4, 8, sender);
    std::string msgTime = MakeWxMsgTime(m_segment);
    if (IsDuplicateSegment(msgTime, sender, m_segment[2], ReadBe32(m_segment + 12))) {
        WriteLog("wxproxy: recv mms req msg, but duplicate and discard.");
    } else if (SaveSegment(m_segment, decoded) != 0) {
        return; // not acknowledged: the server sends it again
    }

    uint8_t rsp[20] = {};
    WriteBe32(rsp, g_nOwnUserId.load());
    WriteBe32(rsp + 4, kWxMmsResponse);
    WriteBe32(rsp + 8, kNoReference);
    std::memcpy(rsp + 12, datagram + 8, 4);
    int sent = SendServer(rsp, sizeof rsp);
    if (sent == -255)
        return; // no UDP service
    if (sent > 0)
        WriteLog("wxproxy: send mms resp.");
    else
        WriteLog("wxproxy: failed to send mms resp!");
}

int TNetWxProxy::SaveSegment(const uint8_t *segment, std::size_t decoded)
{
    ST_WX_INBOX_INFO info;
    int rc = FillInboxInfo(segment, decoded, info);
    if (rc == -1) {
        WriteLog("wxproxy: recv mms req msg, but failed to convert sender number.");
        return -1;
    }
    if (rc == -2) {
        WriteLog("wxproxy: recv mms req msg, but failed to convert creater number.");
        return -2;
    }
    // The segment and, when it completes its message, the message's entry are stored in
    // one transaction: a segment stored alone would make the server's repeat a duplicate
    // that is acknowledged, and the message would never be announced.
    soci::session *session = m_connection ? m_connection->AcquireSession() : nullptr;
    if (!session) {
        WriteLog("wxproxy: recv mms req msg, but failed to save data.");
        return -3;
    }
    try {
        session->begin();
    } catch (const std::exception &e) {
        m_connection->StatementFailed("SaveSegment", e);
        WriteLog("wxproxy: recv mms req msg, but failed to save data.");
        return -3;
    }
    int result = 0;
    bool complete = false;
    if (StoreSegment(info, segment + kWxSegmentHead) != 0) {
        result = -3;
    } else if (info.seg_num < 2) {
        complete = true;
    } else {
        const int state = MessageCompletion(info);
        if (state < 0)
            result = -3;
        complete = state > 0;
    }
    if (result == 0 && complete && StoreNewMessage(info) != 0)
        result = -4;
    try {
        if (result == 0)
            session->commit();
        else
            session->rollback();
    } catch (const std::exception &e) {
        m_connection->StatementFailed("SaveSegment", e);
        result = result == 0 ? -3 : result;
    }
    if (result != 0) {
        WriteLog("wxproxy: recv mms req msg, but failed to save data.");
        return result;
    }
    if (complete)
        SendDataInd();
    return 0;
}

template <class Fn> int TNetWxProxy::RunStatement(const char *operation, Fn &&fn)
{
    if (!m_connection)
        return -1;
    soci::session *s = m_connection->AcquireSession();
    if (!s)
        return -1;
    try {
        return fn(*s);
    } catch (const std::exception &e) {
        m_connection->StatementFailed(operation, e);
        return -1;
    }
}

bool TNetWxProxy::IsDuplicateSegment(const std::string &msgTime, const std::string &sender, uint8_t pkgSeq,
                                     uint32_t ssn)
{
    long long ssnValue = ssn, seqValue = pkgSeq, count = 0;
    int rc = RunStatement("IsDuplicateSegment", [&](soci::session &s) {
        s << "SELECT COUNT(*) FROM wx_inbox WHERE msg_time=:t AND sender=:s AND ssn=:n AND pkg_seq=:q",
            soci::use(msgTime, "t"), soci::use(sender, "s"), soci::use(ssnValue, "n"), soci::use(seqValue, "q"),
            soci::into(count);
        return 0;
    });
    return rc == 0 && count > 0;
}

int TNetWxProxy::MessageCompletion(const ST_WX_INBOX_INFO &info)
{
    long long ssnValue = info.ssn, count = 0;
    int rc = RunStatement("IsMessageComplete", [&](soci::session &s) {
        s << "SELECT COUNT(DISTINCT pkg_seq) FROM wx_inbox WHERE msg_time=:t AND sender=:s AND ssn=:n",
            soci::use(info.msg_time, "t"), soci::use(info.sender, "s"), soci::use(ssnValue, "n"), soci::into(count);
        return 0;
    });
    if (rc != 0)
        return -1;
    return count == info.seg_num ? 1 : 0;
}

int TNetWxProxy::StoreSegment(const ST_WX_INBOX_INFO &info, const uint8_t *data)
{
    if (info.pkg_size <= 0)
        return -1;
    // The data travel as upper-case hexadecimal text, bound like every other value.
    std::string hex = BytesToHex(data, std::size_t(info.pkg_size));
    long long ssn = info.ssn, csn = info.csn, msgLen = info.msg_len, msgType = info.msg_type,
              groupChat = info.group_chat, segNum = info.seg_num, pkgSeq = info.pkg_seq, pkgSize = info.pkg_size;
    return RunStatement("StoreSegment", [&](soci::session &s) {
        s << "INSERT INTO wx_inbox(ssn,csn,msg_len,msg_type,group_chat,seg_num,pkg_seq,pkg_size,sender,creater,"
             "msg_time,pkg_data) VALUES(:ssn,:csn,:len,:type,:grp,:num,:seq,:size,:sender,:creater,:time,UNHEX(:data))",
            soci::use(ssn, "ssn"), soci::use(csn, "csn"), soci::use(msgLen, "len"), soci::use(msgType, "type"),
            soci::use(groupChat, "grp"), soci::use(segNum, "num"), soci::use(pkgSeq, "seq"),
            soci::use(pkgSize, "size"), soci::use(info.sender, "sender"), soci::use(info.creater, "creater"),
            soci::use(info.msg_time, "time"), soci::use(hex, "data");
        return 0;
    });
}

int TNetWxProxy::StoreNewMessage(const ST_WX_INBOX_INFO &info)
{
    long long ssn = info.ssn, csn = info.csn, msgLen = info.msg_len, msgType = info.msg_type,
              groupChat = info.group_chat;
    return RunStatement("StoreNewMessage", [&](soci::session &s) {
        s << "INSERT INTO wx_newmsg(ssn,csn,msg_len,msg_type,group_chat,sender,creater,msg_time) "
             "VALUES(:ssn,:csn,:len,:type,:grp,:sender,:creater,:time)",
            soci::use(ssn, "ssn"), soci::use(csn, "csn"), soci::use(msgLen, "len"), soci::use(msgType, "type"),
            soci::use(groupChat, "grp"), soci::use(info.sender, "sender"), soci::use(info.creater, "creater"),
            soci::use(info.msg_time, "time");
        return 0;
    });
}

void TNetWxProxy::OnMmsResponse(const uint8_t *datagram, std::size_t length)
{
    if (length < 20)
        return;
    uint32_t id = ReadBe32(datagram + 12);
    if (datagram[16] != 0) {
        WriteLog("wxproxy: recv mms failed resp (%u).", id);
        return;
    }
    if (SetOutboxAck(id, 1) != 0) {
        WriteLog("wxproxy: recv mms success resp, but failed to set ack (%u).", id);
        return;
    }
    if (IsOutboxMessageAcked(id))
        DeleteOutboxMessage(id);
}

int TNetWxProxy::SetOutboxAck(uint32_t id, int flag)
{
    long long idValue = id, flagValue = flag;
    return RunStatement("SetOutboxAck", [&](soci::session &s) {
        s << "UPDATE wx_outbox SET ack_flag=:f WHERE ID=:id", soci::use(flagValue, "f"), soci::use(idValue, "id");
        return 0;
    });
}

bool TNetWxProxy::IsOutboxMessageAcked(uint32_t id)
{
    long long idValue = id, count = 0;
    int rc = RunStatement("IsOutboxMessageAcked", [&](soci::session &s) {
        s << "SELECT COUNT(*) FROM wx_outbox WHERE msg_id=(SELECT msg_id FROM wx_outbox WHERE ID=:id) AND ack_flag=0",
            soci::use(idValue, "id"), soci::into(count);
        return 0;
    });
    return rc == 0 && count == 0;
}

int TNetWxProxy::DeleteOutboxMessage(uint32_t id)
{
    long long idValue = id;
    return RunStatement("DeleteOutboxMessage", [&](soci::session &s) {
        s << "DELETE o FROM wx_outbox o JOIN wx_outbox i ON o.msg_id=i.msg_id WHERE i.ID=:id", soci::use(idValue, "id");
        return 0;
    });
}

// ------------------------------------------------------------------ network layer hooks

namespace {

std::atomic<TNetWxProxy *> g_pWxProxy {nullptr};
std::function<bool()> g_wxIsLoginRunning; // set before NetStart, read-only while started

int WxStart()
{
    if (g_pWxProxy.load())
        return 0;
    ST_WX_PROXY_SETTINGS settings;
    settings.localAddr = g_pSystemConfig ? g_pSystemConfig->GetLocalIpAddr() : 0;
    settings.port = uint16_t((g_pSystemConfig ? g_pSystemConfig->GetLocalUdpPort() : 8888) + 1);
    settings.isLoginRunning = [] { return g_wxIsLoginRunning && g_wxIsLoginRunning(); };
    settings.sendToServer = [](const void *d, std::size_t n) { return NetSendUdp(d, n); };
    auto *proxy = new TNetWxProxy(std::move(settings));
    g_pWxProxy.store(proxy);
    return proxy->GetSocketState() == 2 ? 0 : -1;
}

void WxStop() { delete g_pWxProxy.exchange(nullptr); }

void WxOnServerMessage(const uint8_t *datagram, std::size_t length)
{
    if (TNetWxProxy *p = g_pWxProxy.load())
        p->OnServerMessage(datagram, length);
}

bool WxIsRegistered()
{
    TNetWxProxy *p = g_pWxProxy.load();
    return p && p->IsRegistered();
}

void WxBeginChat(int kind, int groupId, const std::string &number)
{
    if (TNetWxProxy *p = g_pWxProxy.load())
        p->SendBeginChatInd(kind, uint32_t(groupId), number);
}

} // namespace

void WxProxyRegisterNetService(std::function<bool()> isLoginRunning)
{
    g_wxIsLoginRunning = std::move(isLoginRunning);
    NetWxProxyService service;
    service.start = &WxStart;
    service.stop = &WxStop;
    service.onServerMessage = &WxOnServerMessage;
    service.isRegistered = &WxIsRegistered;
    service.beginChat = &WxBeginChat;
    NetSetWxProxyService(&service);
}

TNetWxProxy *WxProxyService() { return g_pWxProxy.load(); }
