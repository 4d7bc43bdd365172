#include "console/MapBridge.h"

#include "core/RateLimitedLog.h"

#include <QJsonValue>

#include <cstdio>

namespace zox::map {

namespace {

CRateLimitedLog &DropLog()
{
    static CRateLimitedLog log;
    return log;
}

// The length of the UTF-8 sequence at s[i] and its code point; 0 when the bytes there
// are not a well-formed sequence (overlong forms, surrogates and values past U+10FFFF
// included).
std::size_t DecodeUtf8(const std::string &s, std::size_t i, uint32_t &cp)
{
    const auto byte = [&](std::size_t k) { return static_cast<uint8_t>(s[k]); };
    const uint8_t b0 = byte(i);
    std::size_t len = 0;
    uint32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len)
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

std::vector<std::string> SplitNumberList(const std::string &data)
{
    std::vector<std::string> numbers;
    std::size_t start = 0;
    while (start <= data.size()) {
        std::size_t comma = data.find(',', start);
        if (comma == std::string::npos)
            comma = data.size();
        if (comma > start)
            numbers.push_back(data.substr(start, comma - start));
        start = comma + 1;
    }
    return numbers;
}

bool ParseCommandCode(const std::string &text, int &code)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    const std::size_t digits = text.size() - i;
    if (digits == 0 || digits > 9)
        return false;
    int value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    code = negative ? -value : value;
    return true;
}

std::string JsStringLiteral(const std::string &utf8)
{
    std::string out;
    out.reserve(utf8.size() + 2);
    out += '"';
    std::size_t i = 0;
    while (i < utf8.size()) {
        uint32_t cp = 0;
        const std::size_t len = DecodeUtf8(utf8, i, cp);
        if (len == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD for a byte that starts no valid sequence
            ++i;
            continue;
        }
        if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x20 || cp == 0x7F || cp == 0x2028 || cp == 0x2029) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(cp));
            out += buf;
        } else {
            out.append(utf8, i, len);
        }
        i += len;
    }
    out += '"';
    return out;
}

std::string SelectGroupScript(int groupId) { return "selectGroup(" + std::to_string(groupId) + ");"; }

std::string SelectUserScript(const std::string &number) { return "selectUser(" + JsStringLiteral(number) + ");"; }

// The page's function names are spelled so ("Speeker").
std::string SetSpeakerScript(const std::string &speaker) { return "setSpeeker(" + JsStringLiteral(speaker) + ");"; }

std::string UnsetSpeakerScript() { return "unsetSpeeker();"; }

std::string HideMapLogoScript() { return "HideMapLogo();"; }

int PageGroupId(int groupType, int groupId) { return groupType == 1 ? groupId : 0; }

std::string MapPageAddress(const std::string &serverUrl, long seconds)
{
    char t[32];
    std::snprintf(t, sizeof t, "?t=%ld", seconds);
    return serverUrl + t;
}

CMapBridge::CMapBridge(IMapPage &page, IMapCommandHost *host) : m_page(page), m_host(host) {}

void CMapBridge::OnDocumentComplete()
{
    m_page.SetBrowserVisible(true);
    m_ready = true;
}

void CMapBridge::OnNavigateError()
{
    m_page.SetBrowserVisible(false);
    m_ready = false;
}

bool CMapBridge::ExecScript(const std::string &script)
{
    if (!m_ready)
        return false;
    return m_page.RunScript(script);
}

bool CMapBridge::OnPageCall(const QJsonArray &args)
{
    if (args.size() != 2 || !args.at(0).isString() || !args.at(1).isString()) {
        DropLog().Note("args", "map: page call with %lld arguments of the wrong kind ignored",
                       static_cast<long long>(args.size()));
        return false;
    }
    const QByteArray code = args.at(0).toString().toUtf8();
    const QByteArray data = args.at(1).toString().toUtf8();
    if (static_cast<std::size_t>(code.size()) > kMaxCodeLength ||
        static_cast<std::size_t>(data.size()) > kMaxDataLength) {
        DropLog().Note("size", "map: page call of %lld+%lld bytes dropped", static_cast<long long>(code.size()),
                       static_cast<long long>(data.size()));
        return false;
    }
    int value = 0;
    if (!ParseCommandCode(code.toStdString(), value)) {
        DropLog().Note("code", "map: page command code [%s] is not a number", code.constData());
        return false;
    }
    return OnExternalCommand(std::to_string(value), data.toStdString());
}

bool CMapBridge::OnExternalCommand(const std::string &code, const std::string &data)
{
    if (data.empty() || !m_host)
        return false;
    const std::vector<std::string> numbers = SplitNumberList(data);
    if (numbers.empty())
        return false;
    int value = 0;
    if (!ParseCommandCode(code, value))
        return false;
    const bool single = numbers.size() == 1;
    switch (value) {
    case kCmdPtt:
        if (single)
            m_host->StartPttCall(numbers.front());
        else
            m_host->StartPttGroupCall(numbers);
        return true;
    case kCmdVideoUpload:
        m_host->StartUserVideoUpload(numbers.front());
        return true;
    case kCmdVoice:
    case kCmdVoiceAlt:
        if (single)
            m_host->StartVoiceCall(numbers.front());
        else
            m_host->StartVoiceConference(numbers);
        return true;
    case kCmdVoiceGroup:
        m_host->StartVoiceGroupCall(numbers);
        return true;
    case kCmdVideo:
    case kCmdVideoAlt:
        if (single)
            m_host->StartVideoCall(numbers.front());
        else
            m_host->StartVideoGroupCall(numbers);
        return true;
    case kCmdPreview:
        m_host->PreviewVideo(kPreviewUserType, numbers.front());
        return true;
    default:
        return false;
    }
}

} // namespace zox::map
