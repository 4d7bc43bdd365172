#include "tests/support/FakePlatforms.h"

#include <cstdio>
#include <cstdlib>

namespace zoxtest {

using Reply = FakeHttpServer::Reply;

std::string FakeUrlEncode(const std::string &value)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string JsonQuote(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

namespace {

// The value of a query parameter of a request target, as sent.
std::string Param(const std::string &target, const std::string &name)
{
    const std::size_t q = target.find('?');
    if (q == std::string::npos)
        return {};
    std::size_t pos = q + 1;
    while (pos <= target.size()) {
        std::size_t amp = target.find('&', pos);
        if (amp == std::string::npos)
            amp = target.size();
        const std::string p = target.substr(pos, amp - pos);
        if (p.rfind(name + "=", 0) == 0)
            return p.substr(name.size() + 1);
        pos = amp + 1;
    }
    return {};
}

bool StartsWith(const std::string &s, const std::string &prefix)
{
    return s.rfind(prefix, 0) == 0;
}

} // namespace

// ---------------------------------------------------------------- vehicle platform

FakeCmsPlatform::FakeCmsPlatform()
{
    server.SetReplies([this](const FakeHttpServer::Request &r, std::size_t i) { return Answer(r, i); });
}

std::string FakeCmsPlatform::VehicleReply(const FakeCmsData &d)
{
    std::string s = "{\"result\":0,\"companys\":[";
    for (std::size_t i = 0; i < d.companies.size(); ++i) {
        const FakeCmsCompany &c = d.companies[i];
        s += (i ? "," : "") + std::string("{\"id\":") + std::to_string(c.id) + ",\"pid\":" + std::to_string(c.pid) +
             ",\"nm\":" + JsonQuote(c.name) + "}";
    }
    s += "],\"vehicles\":[";
    for (std::size_t i = 0; i < d.vehicles.size(); ++i) {
        const FakeCmsVehicle &v = d.vehicles[i];
        s += (i ? "," : "") + std::string("{\"id\":") + std::to_string(v.id) + ",\"pid\":" +
             std::to_string(v.companyId) + ",\"nm\":" + JsonQuote(v.number) + ",\"dl\":[";
        for (std::size_t k = 0; k < v.devices.size(); ++k) {
            const FakeCmsDevice &dev = v.devices[k];
            s += (k ? "," : "") + std::string("{\"cc\":") + std::to_string(dev.cc) + ",\"id\":" + JsonQuote(dev.id) +
                 ",\"cn\":" + JsonQuote(dev.cn) + "}";
        }
        s += "]}";
    }
    return s + "]}";
}

std::string FakeCmsPlatform::StatusReply(const FakeCmsData &d)
{
    std::string s = "{\"result\":0,\"onlines\":[";
    bool first = true;
    for (const FakeCmsVehicle &v : d.vehicles)
        for (const FakeCmsDevice &dev : v.devices) {
            s += (first ? "" : ",") + std::string("{\"vid\":") + JsonQuote(v.number) + ",\"did\":" + JsonQuote(dev.id) +
                 ",\"online\":" + std::to_string(dev.online) + "}";
            first = false;
        }
    return s + "]}";
}

Reply FakeCmsPlatform::Answer(const FakeHttpServer::Request &r, std::size_t index)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (auto it = m_data.overrides.find(index); it != m_data.overrides.end())
        return it->second;
    const std::string &t = r.target;
    if (r.method != "GET")
        return Reply::Json(405, "");
    if (StartsWith(t, "/StandardApiAction_login.action?")) {
        if (Param(t, "account") != FakeUrlEncode(m_data.account) ||
            Param(t, "password") != FakeUrlEncode(m_data.password))
            return Reply::Json(200, "{\"result\":2}");
        return Reply::Json(200, "{\"result\":0,\"jsession\":" + JsonQuote(m_data.jsession) + "}");
    }
    const bool sessionOk = Param(t, "jsession") == FakeUrlEncode(m_data.jsession);
    if (StartsWith(t, "/StandardApiAction_queryUserVehicle.action?"))
        return Reply::Json(200, sessionOk ? VehicleReply(m_data) : "{\"result\":5}");
    if (StartsWith(t, "/StandardApiAction_getDeviceOlStatus.action?"))
        return Reply::Json(200, sessionOk ? StatusReply(m_data) : "{\"result\":5}");
    return Reply::Json(404, "");
}

// ---------------------------------------------------------------- user platform

FakeUapPlatform::FakeUapPlatform()
{
    server.SetReplies([this](const FakeHttpServer::Request &r, std::size_t i) { return Answer(r, i); });
}

Reply FakeUapPlatform::Answer(const FakeHttpServer::Request &r, std::size_t index)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (auto it = m_data.overrides.find(index); it != m_data.overrides.end())
        return it->second;
    if (r.method != "POST")
        return Reply::Json(405, "");
    if (StartsWith(r.target, "/login?")) {
        if (Param(r.target, "AppId") != FakeUrlEncode(m_data.appId) ||
            Param(r.target, "Secret") != FakeUrlEncode(m_data.secret))
            return Reply::Json(200, "{\"code\":401,\"msg\":\"bad application\"}");
        return Reply::Json(200, "{\"code\":0,\"obj\":{\"Id\":" + JsonQuote(m_data.token) + ",\"Expires\":7200}}");
    }
    if (r.target == "/bs/voipusers") {
        if (r.Header("TokenId") != m_data.token)
            return Reply::Json(401, "");
        const std::size_t at = r.body.find("\"Offset\":");
        const std::size_t lim = r.body.find("\"Limit\":");
        if (at == std::string::npos || lim == std::string::npos)
            return Reply::Json(400, "");
        const std::size_t offset = std::strtoul(r.body.c_str() + at + 9, nullptr, 10);
        const std::size_t limit = std::strtoul(r.body.c_str() + lim + 8, nullptr, 10);
        std::string s = "{\"total\":" + std::to_string(m_data.users.size()) + ",\"rows\":[";
        for (std::size_t i = offset; i < m_data.users.size() && i < offset + limit; ++i) {
            const FakeUapUser &u = m_data.users[i];
            s += (i > offset ? "," : "") + std::string("{\"VoipNum\":") + JsonQuote(u.voipNum) +
                 ",\"OrgName\":" + JsonQuote(u.orgName) + ",\"OrgFullName\":" + JsonQuote("/" + u.orgName) +
                 ",\"RealName\":" + JsonQuote(u.realName) + ",\"PoliceNum\":\"P" + u.voipNum +
                 "\",\"Mobile\":\"M" + u.voipNum + "\",\"UserTypeName\":\"radio\",\"Avatar\":\"\"}";
        }
        Reply page = Reply::Json(200, s + "]}");
        page.delayMs = m_data.pageDelayMs;
        return page;
    }
    return Reply::Json(404, "");
}

} // namespace zoxtest
