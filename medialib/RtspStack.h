#pragma once
// RTSP stacks and sessions: our own small RTSP client.
//
// A stack carries RTSP sessions; each session has one TCP connection to its server,
// bound to the stack's local IPv4 address and opened lazily by the first request
// (again after a close). A reader thread per connection parses what the server sends
// and raises the events on that thread (the "stack's thread"). Every close of an open
// connection - by the server, by an error or by trtsp_stack_stop - raises
// trtsp_event_transport_closed once. Interleaved RTP/RTCP (`$` frames) is handed to
// the media session attached to the RTSP session (MediaSessionMgr "rtsp-ctx").
//
// After a 401 the session keeps the server's challenge; every later request carries
// the session's credentials (Digest when offered, else Basic).
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct trtsp_stack_t;
struct trtsp_session_t;

enum trtsp_event_type_t : int {
    trtsp_event_message = 1,
    trtsp_event_auth_failed = 2, // a 401 to a request that carried credentials
    trtsp_event_closed = 3,
    trtsp_event_transport_error = 4,
    trtsp_event_transport_closed = 5,
};

enum trtsp_message_kind_t : int { trtsp_message_request = 1, trtsp_message_response = 2 };

struct trtsp_transport_t {
    std::string protocol, profile, cast, lower; // "RTP", "AVP", "unicast", "TCP"/"UDP"
    uint16_t server_port[2] = {0, 0};
    uint16_t interleaved[2] = {0, 0};
};

struct trtsp_message_t {
    int kind = trtsp_message_response;
    int status = 0;
    std::string reason;
    std::string method; // of a request
    bool has_cseq = false;
    uint32_t cseq = 0;
    bool has_session = false;
    std::string session; // Session value without its ";timeout=" part
    bool has_transport = false;
    trtsp_transport_t transport;
    bool has_content_type = false;
    std::string content_type;
    std::string content;
    std::vector<std::pair<std::string, std::string>> headers;
};

struct trtsp_event_t {
    int type = 0;
    trtsp_session_t *session = nullptr;
    const void *userdata = nullptr;     // the session's user data, else the stack's
    std::string method;                 // method of the answered request (from the CSeq sent)
    const trtsp_message_t *message = nullptr; // null for close and error events
};

typedef int (*trtsp_stack_callback_f)(const trtsp_event_t *e);

using trtsp_headers_t = std::vector<std::pair<std::string, std::string>>;

// Null when the local address is not a dotted IPv4 text.
trtsp_stack_t *trtsp_stack_create(trtsp_stack_callback_f callback, const char *local_ip, const void *userdata);
// 0 = running: a TCP socket can be bound to the local address.
int trtsp_stack_start(trtsp_stack_t *stack);
// Closes every connection (each raising transport-closed on its reader thread);
// requests fail until the next start. Callable from any thread, also from a callback.
int trtsp_stack_stop(trtsp_stack_t *stack);

// user / password may be null: no credentials.
trtsp_session_t *trtsp_session_create(trtsp_stack_t *stack, const char *user, const char *password,
                                      const char *user_agent, const void *userdata);
const void *trtsp_session_get_userdata(const trtsp_session_t *session);
uint64_t trtsp_session_get_id(const trtsp_session_t *session);

// Sends one request (connecting first when needed). `timeout_ms` bounds the connect
// and the send. The CSeq is the caller's (a "CSeq" entry of `headers`). 0 = sent.
int trtsp_action_perform(trtsp_session_t *session, const char *host, uint16_t port, const char *url,
                         const char *method, int timeout_ms, const trtsp_headers_t &headers);

// RTP of `media` (2 audio, 4 video) arrives on interleaved `channel`, its RTCP on channel + 1.
int trtsp_session_set_interleaved(trtsp_session_t *session, int media, int channel);

// ---- for the media layer ----------------------------------------------------
// (user data, media 2/4, rtcp, bytes, size): called on the reader thread; must not block.
typedef void (*trtsp_interleaved_sink_f)(void *userdata, int media, bool rtcp, const uint8_t *data, size_t size);
// Installs (or with a null sink removes) the receiver of interleaved frames. When the
// call returns, the previous sink is no longer running and is not called again.
void trtsp_session_set_interleaved_sink(trtsp_session_t *session, trtsp_interleaved_sink_f sink, void *userdata);
// Sends RTP/RTCP of `media` on its interleaved channel; false when not connected.
bool trtsp_session_send_interleaved(trtsp_session_t *session, int media, bool rtcp, const uint8_t *data, size_t size);
// Waits until the reader thread of the session's connection has ended (after
// trtsp_stack_stop): no event of this session is running or raised afterwards.
void trtsp_session_join(trtsp_session_t *session);
// Takes a reference (the media layer holds the session while attached).
void trtsp_session_ref(trtsp_session_t *session);

// Releases one reference. The last reference of a session closes its connection and
// joins its reader thread. A session holds its stack. Null is allowed.
void tsk_object_unref(trtsp_stack_t *stack);
void tsk_object_unref(trtsp_session_t *session);
