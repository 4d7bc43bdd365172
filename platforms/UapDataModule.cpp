#include "platforms/UapDataModule.h"

#include "core/Log.h"
#include "core/TextConv.h"
#include "core/ZoxDataModule.h"
#include "host/IniFile.h"
#include "host/MessageNumbers.h"
#include "platforms/PlatformReply.h"

#include <cstdio>

TUAPDataModule *g_pUAPDataModule = nullptr;

using namespace zox::platforms;

TUAPDataModule::TUAPDataModule(ST_PLATFORM_LINK_ENV env) : m_env(std::move(env))
{
    m_http.SetTimeouts(m_env.connectTimeoutMs, m_env.stallTimeoutMs);
    SetStopWait(m_env.stopWaitMs);
    if (LoadConfig() != 0) {
        WriteLog("uap-api:: failed to read config file.");
        m_nStartResult = -1;
        return;
    }
    m_nStartResult = Create();
    if (m_nStartResult != 0) {
        WriteLog("uap-api:: failed to create work thread.");
        return;
    }
    m_handlers[WM_UAP_LOGIN] = &TUAPDataModule::Login;
    m_handlers[WM_UAP_FETCH_USERS] = &TUAPDataModule::FetchVoipUsers;
    Post(WM_UAP_LOGIN);
}

TUAPDataModule::~TUAPDataModule()
{
    WriteLog("uap-api:: destroy.");
    Destroy();
    if (g_pUAPDataModule == this)
        g_pUAPDataModule = nullptr;
}

int TUAPDataModule::LoadConfig()
{
    const zox::host::IniFile ini(m_env.configPath);
    m_strBaseUrl = ini.ReadString("UAP", "BaseUrl", "");
    m_strAppId = ini.ReadString("UAP", "AppId", "");
    m_strSecret = ini.ReadString("UAP", "Secret", "");
    return m_strBaseUrl.empty() || m_strAppId.empty() || m_strSecret.empty() ? -1 : 0;
}

std::string TUAPDataModule::PageRequestBody(int offset)
{
    // Members in the order of their names, on one line, ended by a line feed.
    char text[128];
    std::snprintf(text, sizeof text, "{\"Limit\":%d,\"Offset\":%d,\"Order\":\"asc\",\"Sort\":\"VoipNum\"}\n", kPageSize,
                  offset);
    return text;
}

bool TUAPDataModule::Send(const std::string &url, const char *headers, const std::string &data, int32_t &status,
                          CBuffer &body)
{
    return m_http.Post(url.c_str(), headers, data.empty() ? nullptr : data.data(), data.size(), &status, body) != 0 &&
           status == 200 && body.Size() > 0;
}

int TUAPDataModule::StartSync()
{
    if (!m_bUsersFetched.load())
        Post(WM_UAP_FETCH_USERS);
    return 0;
}

// Nothing that goes wrong inside a handler may end the worker.
int TUAPDataModule::Login()
{
    try {
        return DoLogin();
    } catch (...) {
        WriteLog("uap-api:: login failed, http status code: %d", 0);
        return 0;
    }
}

int TUAPDataModule::DoLogin()
{
    m_strToken.clear();
    m_nExpires = 0;
    const std::string url = m_strBaseUrl + "/login?AppId=" + UrlEncode(m_strAppId) + "&Secret=" + UrlEncode(m_strSecret);
    int32_t status = 0;
    CBuffer body;
    if (!Send(url, nullptr, {}, status, body)) {
        WriteLog("uap-api:: login failed, http status code: %d", status);
        return 0;
    }
    const char *text = reinterpret_cast<const char *>(body.Data());
    Json::Value root;
    if (!ParseJsonObject(text, body.Size(), root)) {
        WriteLog("uap-api:: parse login resp failed, resp data: %s", LogQuote(text, body.Size()).c_str());
        return 0;
    }
    const int code = JsonMember(root, "code") && !JsonHasInt(root, "code") ? -1 : JsonInt(root, "code", 0);
    if (code != 0) {
        const std::string msg = JsonString(root, "msg");
        WriteLog("uap-api:: login failed, code: %d, msg: %s", code, LogQuote(msg.c_str(), msg.size()).c_str());
        return 0;
    }
    const Json::Value *obj = JsonMember(root, "obj");
    if (obj && !obj->isObject()) {
        const std::string shown = obj->isString() ? JsonString(root, "obj") : JsonText(*obj);
        WriteLog("uap-api:: parse login token failed, obj: %s", LogQuote(shown.c_str(), shown.size()).c_str());
        return 0;
    }
    if (obj) {
        m_strToken = JsonString(*obj, "Id");
        m_nExpires = JsonInt(*obj, "Expires", 0);
    }
    StartSync();
    return 0;
}

int TUAPDataModule::FetchVoipUserPage(bool &answered)
{
    try {
        return DoFetchVoipUserPage(answered);
    } catch (...) {
        WriteLog("uap-api:: get voip users failed, http status code: %d", 0);
        return -1;
    }
}

int TUAPDataModule::DoFetchVoipUserPage(bool &answered)
{
    const std::string url = m_strBaseUrl + "/bs/voipusers";
    // The token is one header value: it must not break the header lines.
    std::string token;
    for (char c : m_strToken)
        if (c != '\r' && c != '\n')
            token += c;
    const std::string headers =
        "TokenId: " + token + "\r\nUser-Agent: zox-client\r\nContent-Type: application/json; charset=utf-8\r\n";
    int32_t status = 0;
    CBuffer body;
    if (!Send(url, headers.c_str(), PageRequestBody(m_nReceived), status, body)) {
        WriteLog("uap-api:: get voip users failed, http status code: %d", status);
        return -1;
    }
    const char *text = reinterpret_cast<const char *>(body.Data());
    Json::Value root;
    if (!ParseJsonObject(text, body.Size(), root)) {
        WriteLog("uap-api:: parse voip users resp failed, resp data: %s", LogQuote(text, body.Size()).c_str());
        return -1;
    }
    answered = true;
    m_nTotal = std::min(std::max(JsonInt(root, "total", 0), 0), kMaxUsers);
    const Json::Value *rows = JsonArray(root, "rows");
    if (!rows || rows->empty()) {
        WriteLog("uap-api:: parse voip users resp failed, resp data: %s", LogQuote(text, body.Size()).c_str());
        return -1;
    }
    std::vector<ST_ZOX_UAP_VOIPUSER> page;
    for (const Json::Value &row : *rows) {
        ST_ZOX_UAP_VOIPUSER u;
        u.VoipNum = JsonString(row, "VoipNum");
        if (u.VoipNum.empty())
            continue;
        u.OrgName = Utf8ToAnsiString(JsonString(row, "OrgName"));
        u.OrgFullName = Utf8ToAnsiString(JsonString(row, "OrgFullName"));
        u.RealName = Utf8ToAnsiString(JsonString(row, "RealName"));
        u.UserTypeName = Utf8ToAnsiString(JsonString(row, "UserTypeName"));
        u.PoliceNum = JsonString(row, "PoliceNum");
        u.Mobile = JsonString(row, "Mobile");
        u.Avatar = JsonString(row, "Avatar");
        page.push_back(std::move(u));
    }
    for (ST_ZOX_UAP_VOIPUSER &u : page)
        m_pending.push_back(std::move(u));
    const int rowCount = static_cast<int>(std::min<Json::ArrayIndex>(rows->size(), kMaxUsers));
    m_nReceived = std::min(m_nReceived + rowCount, kMaxUsers);
    return 0;
}

int TUAPDataModule::FetchVoipUsers()
{
    // The list is fetched completely at most once per run: a fetch asked for by the
    // login step while the worker's own one ran finds it done.
    if (m_bUsersFetched.load() || m_bBusy.exchange(true))
        return 0;
    m_nTotal = 0;
    m_nReceived = 0;
    m_pending.clear();
    // Pages follow until the count that the platform reported is reached. A page
    // without an answer is a failed page, the first one too: an unreachable platform
    // is no empty directory.
    int failures = 0;
    bool answered = false;
    do {
        if (FetchVoipUserPage(answered) == 0) {
            failures = 0;
        } else if (++failures >= kMaxPageFailures || m_http.IsAborted()) {
            WriteLog("uap-api:: get voip users abandoned after %d failed pages.", failures);
            m_bBusy.store(false);
            return 0;
        }
    } while (!answered || m_nReceived < m_nTotal);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_users = std::move(m_pending);
    }
    m_pending.clear();
    m_bUsersFetched.store(true);
    m_bBusy.store(false);
    if (m_env.notify)
        m_env.notify(WM_UAP_USERS_READY);
    return 0;
}

int TUAPDataModule::SyncToDatabase()
{
    TZoxDataModule *dm = m_env.cache ? m_env.cache() : nullptr;
    if (!dm || !m_bUsersFetched.load())
        return 0;
    if (m_bSynchronised) {
        // A later login rebuilt the user table: the names apply again.
        if (m_bNamesStored)
            dm->SyncDisplayNamesFromUap();
        return 0;
    }
    m_bSynchronised = true;
    std::vector<ST_ZOX_UAP_VOIPUSER> users;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        users = m_users;
    }
    dm->ClearUapVoipUsers();
    int stored = 0;
    for (const ST_ZOX_UAP_VOIPUSER &u : users)
        if (dm->InsertUapVoipUser(u) == 0)
            ++stored;
    if (stored > 0) {
        m_bNamesStored = true;
        dm->SyncDisplayNamesFromUap();
    }
    WriteLog("uap-api:: voip user data sync completed.");
    return 0;
}
