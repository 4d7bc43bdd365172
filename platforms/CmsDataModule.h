#pragma once
// TCMSDataModule: the link to the vehicle platform (an HTTP JSON API).
//
// Its worker logs in, fetches the account's companies and vehicles once per run and
// the vehicles' device states whenever asked; the results reach the login window as
// WM_CMS_VEHICLES_READY and WM_CMS_STATUS_READY, and the login window lets the module
// write them into the server-data cache on the user-interface thread. It also builds
// the RTSP address of a vehicle's video on the platform's media server.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/BaseThread.h"
#include "core/LoginHost.h"
#include "platforms/HttpClient.h"
#include "platforms/PlatformLinkEnv.h"

struct ST_CMS_LOGIN_RES {
    int result = 0;
    std::string jsession;
};

struct ST_CMS_COMPANY_INFO {
    int id = 0;
    int pid = 0; // parent company; 0 or less for none
    std::string name;
};

struct ST_CMS_DEVICE_INFO {
    int cc = 0;
    std::string id;
    std::string cn;
};

struct ST_CMS_VEHICLE_INFO {
    int id = 0;
    int pid = 0;      // owning company
    std::string name; // the vehicle's number in the dispatch system
    std::vector<ST_CMS_DEVICE_INFO> devices;
};

struct ST_CMS_VEHICLE_RES {
    int result = 0;
    std::vector<ST_CMS_COMPANY_INFO> companies;
    std::vector<ST_CMS_VEHICLE_INFO> vehicles;
};

struct ST_CMS_DEVICE_STATUS {
    int online = 0;
    std::string vid;
    std::string did;
};

struct ST_CMS_DEVSTATUS_RES {
    int result = 0;
    std::vector<ST_CMS_DEVICE_STATUS> states;
};

// The reply readers: true for a successful reply ("result" 0). A missing or empty text,
// a text that is not a JSON object or a "result" that is not an integer gives false
// with result -1; a non-zero "result" gives false with that result.
bool ParseCmsLoginResponse(const char *text, int length, ST_CMS_LOGIN_RES &res);
bool ParseCmsVehicleResponse(const char *text, int length, ST_CMS_VEHICLE_RES &res);
bool ParseCmsDeviceStatusResponse(const char *text, int length, ST_CMS_DEVSTATUS_RES &res);

class TCMSDataModule : public CBaseThread<TCMSDataModule>, public ILoginPlatformLink {
public:
    // Reads the configuration, starts the worker and posts the first login.
    explicit TCMSDataModule(ST_PLATFORM_LINK_ENV env);
    ~TCMSDataModule() override;

    // 0 started; -1 configuration incomplete; else the worker-start failure.
    int StartResult() const { return m_nStartResult; }
    bool IsVehiclesFetched() const { return m_bVehiclesFetched.load(); }
    const std::string &GetMediaServerIp() const { return m_strMediaIp; }
    const std::string &GetMediaServerPort() const { return m_strMediaPort; }
    bool IsTcpTransport() const { return m_nTcpTransport != 0; }

    // ILoginPlatformLink (user-interface thread).
    bool IsFetched() const override { return IsVehiclesFetched(); }
    int StartSync() override;
    int SyncToDatabase() override;
    int PollDeviceStatus() override;
    int ApplyDeviceStatus() override;

    // The RTSP address of a vehicle's video: 0, -1 no session (a login is posted),
    // -2 no device id, -3 encoding failed.
    int BuildRtspUrl(const std::string &number, std::string &url);

    // Worker handlers.
    int Login();
    int QueryUserVehicle();
    int QueryDeviceStatus();

    std::string GetSession() const;

protected:
    void CancelBlockingWork() override { m_http.Abort(); }

private:
    int LoadConfig();
    int DoLogin();
    int DoQueryUserVehicle();
    int DoQueryDeviceStatus();
    // GET on the client: true when answered (success, status 200, a body).
    bool Fetch(const std::string &url, int32_t &status, CBuffer &body);
    void Notify(uint32_t message);

    ST_PLATFORM_LINK_ENV m_env;
    int m_nStartResult = -1;
    std::string m_strWebUrl;
    std::string m_strAccount;
    std::string m_strPassword;
    std::string m_strMediaIp;
    std::string m_strMediaPort;
    int m_nTcpTransport = 0;

    mutable std::mutex m_lock; // the session and the three lists
    std::string m_strSession;
    std::vector<ST_CMS_COMPANY_INFO> m_companies;
    std::vector<ST_CMS_VEHICLE_INFO> m_vehicles;
    std::vector<ST_CMS_DEVICE_STATUS> m_states;

    std::atomic<bool> m_bVehiclesFetched{false};
    std::atomic<bool> m_bStatesReceived{false};
    bool m_bSynchronised = false; // user-interface thread only
    CHttpClient m_http;
};

// The one vehicle-platform link of the console; null while none exists.
extern TCMSDataModule *g_pCMSDataModule;
