#pragma once
// Incremental reader of what an RTSP server sends on its TCP connection: responses,
// requests and `$`-framed interleaved packets. Bytes are fed in pieces of any size;
// every complete item is handed out in order. Sizes are bounded: a line, the header
// block and the body have limits, and anything that is not RTSP puts the parser in its
// error state (the connection is then closed by its owner).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct RtspParsedMessage {
    bool response = false;
    // Response: the status line's parts; request: method and URI.
    int status = 0;
    std::string reason;
    std::string method;
    std::string uri;
    std::vector<std::pair<std::string, std::string>> headers; // in arrival order, values trimmed
    std::string content;

    // First header of that name (case-insensitive), or null.
    const std::string *Header(const char *name) const;
};

class RtspParser {
public:
    static constexpr size_t kMaxLine = 8192;
    static constexpr size_t kMaxHeaderBytes = 32768;
    static constexpr size_t kMaxHeaders = 96;
    static constexpr size_t kMaxContent = 1 << 20;

    using MessageFn = std::function<void(RtspParsedMessage &&)>;
    using FrameFn = std::function<void(uint8_t channel, const uint8_t *data, size_t size)>;

    RtspParser(MessageFn onMessage, FrameFn onFrame);

    // False once the input was found malformed (also for every later call).
    bool Feed(const uint8_t *data, size_t size);
    bool Failed() const { return m_state == State::Error; }
    const std::string &Error() const { return m_error; }
    void Reset();

private:
    enum class State { Start, FrameHeader, FrameBody, FirstLine, Headers, Body, Error };
    bool Fail(const char *why);
    bool TakeLine(const uint8_t *&p, const uint8_t *end, bool &complete);
    bool OnFirstLine();
    bool OnHeaderLine();
    bool EndOfHeaders();
    void Deliver();

    MessageFn m_onMessage;
    FrameFn m_onFrame;
    State m_state = State::Start;
    std::string m_error;
    std::string m_line;
    size_t m_headerBytes = 0;
    uint8_t m_frameHead[3] = {};
    size_t m_frameHeadHave = 0;
    std::vector<uint8_t> m_frame;
    size_t m_need = 0;
    RtspParsedMessage m_msg;
};
