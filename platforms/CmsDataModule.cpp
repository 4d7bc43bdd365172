#include "platforms/CmsDataModule.h"

#include "core/Log.h"
#include "core/TextConv.h"
#include "core/ZoxDataModule.h"
#include "host/IniFile.h"
#include "host/MessageNumbers.h"
#include "platforms/PlatformReply.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <set>

TCMSDataModule *g_pCMSDataModule = nullptr;

using namespace zox::platforms;

namespace {

// The common head of the three readers: the reply as a JSON object and its result.
bool ReadResult(const char *text, int length, Json::Value &root, int &result)
{
    result = -1;
    if (!text || length <= 0 || !ParseJsonObject(text, static_cast<std::size_t>(length), root))
        return false;
    const Json::Value *r = JsonMember(root, "result");
    if (r && !JsonHasInt(root, "result"))
        return false; // a result that is no integer is no answer
    result = JsonInt(root, "result", 0);
    return result == 0;
}

std::string Trim(const std::string &s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

} // namespace

bool ParseCmsLoginResponse(const char *text, int length, ST_CMS_LOGIN_RES &res)
{
    Json::Value root;
    if (!ReadResult(text, length, root, res.result))
        return false;
    res.jsession = JsonString(root, "jsession");
    return true;
}

bool ParseCmsVehicleResponse(const char *text, int length, ST_CMS_VEHICLE_RES &res)
{
    Json::Value root;
    if (!ReadResult(text, length, root, res.result))
        return false;
    res.companies.clear();
    res.vehicles.clear();
    if (const Json::Value *companies = JsonArray(root, "companys")) {
        for (const Json::Value &c : *companies) {
            ST_CMS_COMPANY_INFO info;
            info.id = JsonInt(c, "id");
            info.pid = JsonInt(c, "pid");
            info.name = Utf8ToAnsiString(JsonString(c, "nm"));
            res.companies.push_back(std::move(info));
        }
    }
    if (const Json::Value *vehicles = JsonArray(root, "vehicles")) {
        for (const Json::Value &v : *vehicles) {
            ST_CMS_VEHICLE_INFO info;
            info.id = JsonInt(v, "id");
            info.pid = JsonInt(v, "pid");
            info.name = Utf8ToAnsiString(JsonString(v, "nm"));
            if (const Json::Value *devices = JsonArray(v, "dl")) {
                for (const Json::Value &d : *devices) {
                    ST_CMS_DEVICE_INFO dev;
                    dev.cc = JsonInt(d, "cc");
                    dev.id = JsonString(d, "id");
                    dev.cn = JsonString(d, "cn");
                    info.devices.push_back(std::move(dev));
                }
            }
            res.vehicles.push_back(std::move(info));
        }
    }
    return true;
}

bool ParseCmsDeviceStatusResponse(const char *text, int length, ST_CMS_DEVSTATUS_RES &res)
{
    Json::Value root;
    if (!ReadResult(text, length, root, res.result))
        return false;
    res.states.clear();
    if (const Json::Value *states = JsonArray(root, "onlines")) {
        for (const Json::Value &s : *states) {
            ST_CMS_DEVICE_STATUS st;
            st.online = JsonInt(s, "online");
            st.vid = Utf8ToAnsiString(JsonString(s, "vid"));
            st.did = JsonString(s, "did");
            res.states.push_back(std::move(st));
        }
    }
    return true;
}

// ---------------------------------------------------------------- the link

TCMSDataModule::TCMSDataModule(ST_PLATFORM_LINK_ENV env) : m_env(std::move(env))
{
    m_http.SetTimeouts(m_env.connectTimeoutMs, m_env.stallTimeoutMs);
    SetStopWait(m_env.stopWaitMs);
    if (LoadConfig() != 0) {
        WriteLog("cms-api:: failed to read config file.");
        m_nStartResult = -1;
        return;
    }
    m_nStartResult = Create();
    if (m_nStartResult != 0) {
        WriteLog("cms-api:: failed to create work thread.");
        return;
    }
    m_handlers[WM_CMS_LOGIN] = &TCMSDataModule::Login;
    m_handlers[WM_CMS_QUERY_VEHICLES] = &TCMSDataModule::QueryUserVehicle;
    m_handlers[WM_CMS_QUERY_STATUS] = &TCMSDataModule::QueryDeviceStatus;
    Post(WM_CMS_LOGIN);
}

TCMSDataModule::~TCMSDataModule()
{
    WriteLog("cms-api:: destroy.");
    Destroy();
    if (g_pCMSDataModule == this)
        g_pCMSDataModule = nullptr;
}

int TCMSDataModule::LoadConfig()
{
    const zox::host::IniFile ini(m_env.configPath);
    m_strWebUrl = ini.ReadString("WebServer", "weburl", "");
    m_strAccount = ini.ReadString("WebServer", "account", "qorvu");
    m_strPassword = ini.ReadString("WebServer", "password", "qorvu");
    m_strMediaIp = ini.ReadString("MediaServer", "ip", "");
    m_strMediaPort = ini.ReadString("MediaServer", "port", "6604");
    std::string transport = Trim(ini.ReadString("MediaServer", "transport", "udp"));
    std::transform(transport.begin(), transport.end(), transport.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    m_nTcpTransport = transport == "tcp" ? 1 : 0;
    return m_strWebUrl.empty() || m_strMediaIp.empty() ? -1 : 0;
}

std::string TCMSDataModule::GetSession() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_strSession;
}

void TCMSDataModule::Notify(uint32_t message)
{
    if (m_env.notify)
        m_env.notify(message);
}

bool TCMSDataModule::Fetch(const std::string &url, int32_t &status, CBuffer &body)
{
    return m_http.Get(url.c_str(), &status, body) != 0 && status == 200 && body.Size() > 0;
}

int TCMSDataModule::StartSync()
{
    if (!m_bVehiclesFetched.load())
        Post(WM_CMS_QUERY_VEHICLES);
    return 0;
}

int TCMSDataModule::PollDeviceStatus()
{
    if (m_bVehiclesFetched.load())
        Post(WM_CMS_QUERY_STATUS);
    return 0;
}

// The handlers: nothing that goes wrong inside one may end the worker.
int TCMSDataModule::Login()
{
    try {
        return DoLogin();
    } catch (...) {
        WriteLog("cms-api:: user login failed, result: %d", -1);
        return 0;
    }
}

int TCMSDataModule::QueryUserVehicle()
{
    try {
        return DoQueryUserVehicle();
    } catch (...) {
        WriteLog("cms-api:: query user vehicle failed, result: %d", -1);
        return 0;
    }
}

int TCMSDataModule::QueryDeviceStatus()
{
    try {
        return DoQueryDeviceStatus();
    } catch (...) {
        WriteLog("cms-api:: query device status failed, result: %d", -1);
        return 0;
    }
}

int TCMSDataModule::DoLogin()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_strSession.clear();
    }
    const std::string url = m_strWebUrl + "/StandardApiAction_login.action?account=" + UrlEncode(m_strAccount) +
                            "&password=" + UrlEncode(m_strPassword);
    int32_t status = 0;
    CBuffer body;
    if (!Fetch(url, status, body)) {
        WriteLog("cms-api:: user login failed, http status code: %d", status);
        return 0;
    }
    ST_CMS_LOGIN_RES res;
    if (ParseCmsLoginResponse(reinterpret_cast<const char *>(body.Data()), static_cast<int>(body.Size()), res)) {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_strSession = res.jsession;
        }
        WriteLog("cms-api:: user login success, jsession: %s", res.jsession.c_str());
        StartSync();
    } else {
        WriteLog("cms-api:: user login failed, result: %d", res.result);
    }
    return 0;
}

int TCMSDataModule::DoQueryUserVehicle()
{
    if (m_bVehiclesFetched.load())
        return 0;
    const std::string url =
        m_strWebUrl + "/StandardApiAction_queryUserVehicle.action?jsession=" + UrlEncode(GetSession()) + "&language=zh";
    int32_t status = 0;
    CBuffer body;
    if (!Fetch(url, status, body)) {
        WriteLog("cms-api:: query user vehicle failed, http status code: %d", status);
        return 0;
    }
    ST_CMS_VEHICLE_RES res;
    if (!ParseCmsVehicleResponse(reinterpret_cast<const char *>(body.Data()), static_cast<int>(body.Size()), res)) {
        WriteLog("cms-api:: query user vehicle failed, result: %d", res.result);
        return 0;
    }
    WriteLog("cms-api:: query user vehicle success");
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_companies = std::move(res.companies);
        m_vehicles = std::move(res.vehicles);
    }
    m_bVehiclesFetched.store(true);
    Notify(WM_CMS_VEHICLES_READY);
    PollDeviceStatus();
    return 0;
}

int TCMSDataModule::DoQueryDeviceStatus()
{
    const std::string url =
        m_strWebUrl + "/StandardApiAction_getDeviceOlStatus.action?jsession=" + UrlEncode(GetSession());
    int32_t status = 0;
    CBuffer body;
    if (!Fetch(url, status, body)) {
        WriteLog("cms-api:: query device status failed, http status code: %d", status);
        return 0;
    }
    ST_CMS_DEVSTATUS_RES res;
    if (!ParseCmsDeviceStatusResponse(reinterpret_cast<const char *>(body.Data()), static_cast<int>(body.Size()),
                                      res)) {
        WriteLog("cms-api:: query device status failed, result: %d", res.result);
        return 0;
    }
    WriteLog("cms-api:: query device status success");
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_states = std::move(res.states);
    }
    m_bStatesReceived.store(true);
    Notify(WM_CMS_STATUS_READY);
    return 0;
}

int TCMSDataModule::SyncToDatabase()
{
    TZoxDataModule *dm = m_env.cache ? m_env.cache() : nullptr;
    if (!dm || !m_bVehiclesFetched.load())
        return 0;
    if (!m_bSynchronised) {
        m_bSynchronised = true;
        std::vector<ST_CMS_COMPANY_INFO> companies;
        std::vector<ST_CMS_VEHICLE_INFO> vehicles;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            companies = m_companies;
            vehicles = m_vehicles;
        }
        dm->ClearCmsCompanies();
        dm->ClearCmsVehicles();
        std::set<int> parents;
        for (const ST_CMS_COMPANY_INFO &c : companies) {
            dm->InsertCmsCompany(c.id, c.pid, c.name);
            if (c.pid > 0)
                parents.insert(c.pid);
        }
        for (int id : parents)
            dm->UpdateCmsCompanyChild(id, 1);
        for (const ST_CMS_VEHICLE_INFO &v : vehicles) {
            if (v.devices.empty())
                dm->InsertCmsVehicle(v.id, v.name, v.pid, "", 0, "");
            else
                dm->InsertCmsVehicle(v.id, v.name, v.pid, v.devices.front().id, v.devices.front().cc,
                                     v.devices.front().cn);
        }
        dm->SetVehicleUserType(1);
        WriteLog("cms-api:: user vehicle and device data sync completed.");
    } else {
        // A later login rebuilt the user table: the vehicle users take their type again.
        dm->SetVehicleUserType(1);
    }
    // Device states that arrived before the vehicles were stored (the first query
    // follows the vehicle list at once) or before the user table was rebuilt apply now
    // rather than at the next poll.
    if (m_bStatesReceived.load())
        ApplyDeviceStatus();
    return 0;
}

int TCMSDataModule::ApplyDeviceStatus()
{
    TZoxDataModule *dm = m_env.cache ? m_env.cache() : nullptr;
    if (!dm)
        return 0;
    std::vector<ST_CMS_DEVICE_STATUS> states;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        states = m_states;
    }
    for (const ST_CMS_DEVICE_STATUS &s : states)
        dm->UpdateCmsVehicleStatus(s.did, s.online);
    dm->SyncUserStateFromVehicles();
    return 0;
}

int TCMSDataModule::BuildRtspUrl(const std::string &number, std::string &url)
{
    const std::string session = GetSession();
    if (session.empty()) {
        WriteLog("cms-api:: generate %s rtsp url failed, no jsession", number.c_str());
        Post(WM_CMS_LOGIN);
        return -1;
    }
    TZoxDataModule *dm = m_env.cache ? m_env.cache() : nullptr;
    std::string did;
    if (!dm || dm->GetVehicleDid(number, did) != 0 || did.empty()) {
        WriteLog("cms-api:: generate %s rtsp url failed, no did", number.c_str());
        return -2;
    }
    const std::string text = session + ",3," + did + ",0,1,0,0";
    const QByteArray encoded = QByteArray(text.data(), static_cast<qsizetype>(text.size())).toBase64();
    if (encoded.isEmpty()) {
        WriteLog("cms-api:: generate %s rtsp url failed, base64 encode error", number.c_str());
        return -3;
    }
    url = "rtsp://" + m_strMediaIp + ":" + m_strMediaPort + "/" + encoded.toStdString();
    WriteLog("cms-api:: %s rtsp url %s", number.c_str(), url.c_str());
    return 0;
}
