// Bytes of an RTSP connection: replies and interleaved frames. The same bytes are fed
// whole and in pieces (sizes from the first input byte); both must give the same
// messages, frames and verdict, whatever the cut.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "medialib/RtspParser.h"

namespace {
struct Record {
    std::vector<std::string> events;
    bool ok = true;
};

Record Run(const uint8_t *data, size_t size, size_t piece)
{
    Record r;
    RtspParser parser(
        [&](RtspParsedMessage &&m) {
            std::string e = m.response ? "R" + std::to_string(m.status) + " " + m.reason : "Q" + m.method + " " + m.uri;
            for (const auto &h : m.headers)
                e += "|" + h.first + ":" + h.second;
            e += "#" + m.content;
            if (m.headers.size() > RtspParser::kMaxHeaders || m.content.size() > RtspParser::kMaxContent)
                __builtin_trap();
            r.events.push_back(std::move(e));
        },
        [&](uint8_t channel, const uint8_t *p, size_t n) {
            r.events.push_back("$" + std::to_string(channel) + ":" + std::string(reinterpret_cast<const char *>(p), n));
        });
    for (size_t off = 0; off < size && r.ok; off += piece)
        r.ok = parser.Feed(data + off, std::min(piece, size - off));
    if (r.ok == parser.Failed())
        __builtin_trap();
    return r;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t piece = size_t(data[0] % 32) + 1;
    ++data;
    --size;
    Record whole = Run(data, size, size ? size : 1);
    Record cut = Run(data, size, piece);
    if (whole.ok != cut.ok || whole.events != cut.events)
        __builtin_trap();
    return 0;
}
