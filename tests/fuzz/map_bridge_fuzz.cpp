// Commands of the map page (code and data as the page passes them), and the text the
// console puts into the page's scripts.
#include <cstddef>
#include <cstdint>
#include <string>

#include <QJsonArray>
#include <QString>
#include <QUtf8StringView>

#include "console/MapBridge.h"

namespace {
struct Host : IMapCommandHost {
    size_t seen = 0;
    void Note(const std::string &n) { seen += n.size(); }
    void Note(const std::vector<std::string> &v)
    {
        for (const auto &n : v)
            Note(n);
    }
    void StartPttCall(const std::string &n) override { Note(n); }
    void StartPttGroupCall(const std::vector<std::string> &v) override { Note(v); }
    void StartUserVideoUpload(const std::string &n) override { Note(n); }
    int StartVoiceCall(const std::string &n) override { Note(n); return 0; }
    void StartVoiceConference(const std::vector<std::string> &v) override { Note(v); }
    void StartVoiceGroupCall(const std::vector<std::string> &v) override { Note(v); }
    void StartVideoCall(const std::string &n) override { Note(n); }
    void StartVideoGroupCall(const std::vector<std::string> &v) override { Note(v); }
    void PreviewVideo(int, const std::string &n) override { Note(n); }
};
struct Page : IMapPage {
    bool RunScript(const std::string &) override { return true; }
    void SetBrowserVisible(bool) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    // Up to the first NUL: the command code; after it: the data.
    const size_t cut = input.find('\0');
    const std::string code = input.substr(0, cut);
    const std::string rest = cut == std::string::npos ? std::string() : input.substr(cut + 1);

    Host host;
    Page page;
    zox::map::CMapBridge bridge(page, &host);
    QJsonArray args {QString::fromUtf8(code.data(), qsizetype(code.size())),
                     QString::fromUtf8(rest.data(), qsizetype(rest.size()))};
    bridge.OnPageCall(args);
    int value = 0;
    zox::map::ParseCommandCode(code, value);

    // A quoted text is one well-formed JavaScript string literal on one line.
    const std::string literal = zox::map::JsStringLiteral(input);
    if (!QUtf8StringView(literal).isValidUtf8() || literal.size() < 2 || literal.front() != '"' ||
        literal.back() != '"')
        __builtin_trap();
    for (size_t i = 1; i + 1 < literal.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(literal[i]);
        if (c < 0x20 || c == 0x7F)
            __builtin_trap();
        if (c == '\\')
            ++i; // the escaped character
        else if (c == '"')
            __builtin_trap();
        else if (c == 0xE2 && i + 2 < literal.size() && static_cast<unsigned char>(literal[i + 1]) == 0x80 &&
                 (static_cast<unsigned char>(literal[i + 2]) & 0xFE) == 0xA8)
            __builtin_trap(); // U+2028 / U+2029 end a line in a script
    }
    return host.seen == size_t(-1);
}
