#include "medialib/RtspParser.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

std::string Trim(const std::string &s)
{
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

bool IsToken(const std::string &s)
{
    if (s.empty())
        return false;
    for (unsigned char c : s)
        if (!(std::isalnum(c) || c == '_' || c == '-' || c == '.'))
            return false;
    return true;
}

} // namespace

const std::string *RtspParsedMessage::Header(const char *name) const
{
    for (const auto &h : headers)
        if (strcasecmp(h.first.c_str(), name) == 0)
            return &h.second;
    return nullptr;
}

RtspParser::RtspParser(MessageFn onMessage, FrameFn onFrame)
    : m_onMessage(std::move(onMessage)), m_onFrame(std::move(onFrame))
{
}

void RtspParser::Reset()
{
    m_state = State::Start;
    m_error.clear();
    m_line.clear();
    m_headerBytes = 0;
    m_frameHeadHave = 0;
    m_frame.clear();
    m_need = 0;
    m_msg = RtspParsedMessage{};
}

bool RtspParser::Fail(const char *why)
{
    m_state = State::Error;
    m_error = why;
    return false;
}

// Appends bytes up to and including the next LF to m_line. complete = a whole line
// is in m_line (without its CR LF).
bool RtspParser::TakeLine(const uint8_t *&p, const uint8_t *end, bool &complete)
{
    complete = false;
    const uint8_t *nl = static_cast<const uint8_t *>(std::memchr(p, '\n', size_t(end - p)));
    const uint8_t *stop = nl ? nl : end;
    size_t n = size_t(stop - p);
    if (m_line.size() + n > kMaxLine)
        return Fail("line too long");
    m_line.append(reinterpret_cast<const char *>(p), n);
    m_headerBytes += n + (nl ? 1 : 0);
    if (m_headerBytes > kMaxHeaderBytes)
        return Fail("header block too long");
    p = nl ? nl + 1 : end;
    if (nl) {
        if (!m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        // A CR inside a line is no line end: a value carrying one would end the
        // line of whatever request later repeats it (an Authorization answering a
        // challenge, say).
        for (unsigned char c : m_line) {
            if (c == 0)
                return Fail("NUL in header");
            if (c == '\r')
                return Fail("CR inside a header line");
        }
        complete = true;
    }
    return true;
}

bool RtspParser::OnFirstLine()
{
    m_msg = RtspParsedMessage{};
    const std::string &l = m_line;
    if (l.compare(0, 5, "RTSP/") == 0) {
        // RTSP/1.0 SP status SP reason
        size_t sp = l.find(' ');
        if (sp == std::string::npos || l.compare(0, sp, "RTSP/1.0") != 0)
            return Fail("bad status line");
        size_t p = sp + 1;
        if (p + 3 > l.size() || !std::isdigit((unsigned char)l[p]) || !std::isdigit((unsigned char)l[p + 1]) ||
            !std::isdigit((unsigned char)l[p + 2]) || (p + 3 < l.size() && l[p + 3] != ' '))
            return Fail("bad status code");
        m_msg.response = true;
        m_msg.status = std::atoi(l.substr(p, 3).c_str());
        if (m_msg.status < 100)
            return Fail("bad status code");
        m_msg.reason = p + 4 <= l.size() ? Trim(l.substr(p + 4)) : std::string();
        return true;
    }
    // METHOD SP URI SP RTSP/1.0
    size_t a = l.find(' ');
    size_t b = a == std::string::npos ? a : l.find(' ', a + 1);
    if (b == std::string::npos || l.substr(b + 1) != "RTSP/1.0")
        return Fail("bad request line");
    m_msg.method = l.substr(0, a);
    m_msg.uri = l.substr(a + 1, b - a - 1);
    if (!IsToken(m_msg.method) || m_msg.uri.empty())
        return Fail("bad request line");
    return true;
}

bool RtspParser::OnHeaderLine()
{
    if ((m_line[0] == ' ' || m_line[0] == '\t')) {
        if (m_msg.headers.empty())
            return Fail("continuation without header");
        m_msg.headers.back().second += " " + Trim(m_line);
        return true;
    }
    size_t colon = m_line.find(':');
    if (colon == std::string::npos || colon == 0)
        return Fail("bad header line");
    std::string name = Trim(m_line.substr(0, colon));
    if (!IsToken(name))
        return Fail("bad header name");
    if (m_msg.headers.size() >= kMaxHeaders)
        return Fail("too many headers");
    m_msg.headers.emplace_back(std::move(name), Trim(m_line.substr(colon + 1)));
    return true;
}

bool RtspParser::EndOfHeaders()
{
    m_need = 0;
    if (const std::string *cl = m_msg.Header("Content-Length")) {
        if (cl->empty() || cl->size() > 9)
            return Fail("bad Content-Length");
        for (unsigned char c : *cl)
            if (!std::isdigit(c))
                return Fail("bad Content-Length");
        m_need = size_t(std::strtoul(cl->c_str(), nullptr, 10));
        if (m_need > kMaxContent)
            return Fail("content too long");
    }
    if (m_need == 0) {
        Deliver();
        return true;
    }
    m_msg.content.reserve(m_need);
    m_state = State::Body;
    return true;
}

void RtspParser::Deliver()
{
    m_state = State::Start;
    m_headerBytes = 0;
    RtspParsedMessage msg = std::move(m_msg);
    m_msg = RtspParsedMessage{};
    if (m_onMessage)
        m_onMessage(std::move(msg));
}

bool RtspParser::Feed(const uint8_t *data, size_t size)
{
    const uint8_t *p = data, *end = data + size;
    while (p < end) {
        switch (m_state) {
        case State::Error:
            return false;
        case State::Start:
            if (*p == '$') {
                ++p;
                m_frameHeadHave = 0;
                m_state = State::FrameHeader;
            } else if (*p == '\r' || *p == '\n') {
                ++p; // blank lines between messages
            } else {
                m_line.clear();
                m_headerBytes = 0;
                m_state = State::FirstLine;
            }
            break;
        case State::FrameHeader:
            while (p < end && m_frameHeadHave < 3)
                m_frameHead[m_frameHeadHave++] = *p++;
            if (m_frameHeadHave == 3) {
                m_need = (size_t(m_frameHead[1]) << 8) | m_frameHead[2];
                m_frame.clear();
                if (m_need == 0) {
                    if (m_onFrame)
                        m_onFrame(m_frameHead[0], nullptr, 0);
                    m_state = State::Start;
                } else {
                    m_state = State::FrameBody;
                }
            }
            break;
        case State::FrameBody: {
            size_t n = std::min(m_need - m_frame.size(), size_t(end - p));
            if (m_frame.empty() && n == m_need) {
                // The whole frame is in this piece: no copy.
                if (m_onFrame)
                    m_onFrame(m_frameHead[0], p, n);
                p += n;
                m_state = State::Start;
                break;
            }
            m_frame.insert(m_frame.end(), p, p + n);
            p += n;
            if (m_frame.size() == m_need) {
                if (m_onFrame)
                    m_onFrame(m_frameHead[0], m_frame.data(), m_frame.size());
                m_frame.clear();
                m_state = State::Start;
            }
            break;
        }
        case State::FirstLine:
        case State::Headers: {
            bool complete = false;
            if (!TakeLine(p, end, complete))
                return false;
            if (!complete)
                break;
            if (m_state == State::FirstLine) {
                if (!OnFirstLine())
                    return false;
                m_state = State::Headers;
            } else if (m_line.empty()) {
                if (!EndOfHeaders())
                    return false;
            } else if (!OnHeaderLine()) {
                return false;
            }
            m_line.clear();
            break;
        }
        case State::Body: {
            size_t n = std::min(m_need - m_msg.content.size(), size_t(end - p));
            m_msg.content.append(reinterpret_cast<const char *>(p), n);
            p += n;
            if (m_msg.content.size() == m_need)
                Deliver();
            break;
        }
        }
    }
    return m_state != State::Error;
}
