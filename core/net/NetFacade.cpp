#include "core/net/NetFacade.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>

#include "core/Log.h"
#include "core/SystemConfig.h"
#include "core/net/NetMessageBus.h"
#include "core/net/NetUdpService.h"

namespace {

// Guards the pointers below: the user-interface thread starts and stops the layer, any
// thread may send. A stop takes the pointers out under the exclusive lock and frees the
// objects after releasing it, so a sender on the receive thread (the bridge answering a
// chat datagram) never waits on a stop that waits for that thread.
std::shared_mutex g_netLock;
CNetMessageBus *g_bus = nullptr;
TNetUdpService *g_udp = nullptr;

NetWxProxyService g_wx;                 // registered before NetStart; read-only while started
NetDatabaseService g_db;
std::atomic<bool> g_wxRunning {false};  // bridge created and not stopped
std::atomic<bool> g_dbRunning {false};  // database service connected and not freed

bool chatTrampoline(const uint8_t *datagram, std::size_t length)
{
    if (!g_wxRunning.load(std::memory_order_acquire) || !g_wx.onServerMessage)
        return false;
    g_wx.onServerMessage(datagram, length);
    return true;
}

uint32_t localAddr() { return g_pSystemConfig ? g_pSystemConfig->GetLocalIpAddr() : 0; }
int localPort() { return g_pSystemConfig ? g_pSystemConfig->GetLocalUdpPort() : 0; }

} // namespace

void NetSetWxProxyService(const NetWxProxyService *service)
{
    std::unique_lock<std::shared_mutex> lock(g_netLock);
    g_wx = service ? *service : NetWxProxyService {};
}

void NetSetDatabaseService(const NetDatabaseService *service)
{
    std::unique_lock<std::shared_mutex> lock(g_netLock);
    g_db = service ? *service : NetDatabaseService {};
}

int NetStart()
{
    {
        std::unique_lock<std::shared_mutex> lock(g_netLock);
        if (!g_bus)
            g_bus = new CNetMessageBus;
        if (!g_udp)
            g_udp = new TNetUdpService(g_bus, &chatTrampoline);
    }
    if (!g_udp->IsOpen()) {
        NetStop();
        WriteLog("net: create udp service failed (%#x: %d)!", localAddr(), localPort());
        return -1;
    }

    if (!g_wx.start) {
        WriteLog("net: no mms proxy service in this build, skipped.");
    } else if (!g_wxRunning) {
        int rc = g_wx.start();
        g_wxRunning.store(true, std::memory_order_release); // its stop frees whatever start made
        if (rc != 0) {
            NetStop();
            WriteLog("net: create mms proxy service failed (%#x: %d)!", localAddr(), localPort() + 1);
            return -2;
        }
    }

    if (!g_db.connect) {
        WriteLog("net: no zox db service in this build, skipped.");
    } else if (!g_dbRunning) {
        int rc = g_db.connect();
        g_dbRunning = true;
        if (rc != 0) {
            NetStop();
            WriteLog("net: connect zox db failed!");
            return -3;
        }
    }

    WriteLog("net: init success!");
    return 0;
}

void NetStop()
{
    TNetUdpService *udp = nullptr;
    CNetMessageBus *bus = nullptr;
    {
        std::unique_lock<std::shared_mutex> lock(g_netLock);
        udp = g_udp;
        g_udp = nullptr;
    }
    delete udp; // joins the receive thread: no datagram is routed after this

    if (g_wxRunning.exchange(false) && g_wx.stop)
        g_wx.stop();
    if (g_dbRunning.exchange(false) && g_db.disconnect)
        g_db.disconnect();

    {
        std::unique_lock<std::shared_mutex> lock(g_netLock);
        bus = g_bus;
        g_bus = nullptr;
    }
    delete bus;
}

int NetSubscribe(uint32_t message, WindowHandle window)
{
    std::shared_lock<std::shared_mutex> lock(g_netLock);
    if (!g_bus || !window)
        return -1;
    return g_bus->Subscribe(message, window);
}

int NetNotify(uint32_t message, const QByteArray &datagram)
{
    if (message < WM_NET_BUS_BASE || message >= WM_NET_BUS_BASE + WM_NET_BUS_COUNT)
        return -1;
    std::shared_lock<std::shared_mutex> lock(g_netLock);
    if (!g_bus)
        return 1;
    return g_bus->Notify(message, datagram);
}

int NetSendUdp(const void *datagram, std::size_t length)
{
    std::shared_lock<std::shared_mutex> lock(g_netLock);
    if (!g_udp)
        return -255;
    return g_udp->Send(datagram, length);
}

bool NetGetUdpStats(TNetUdpService::Stats &stats)
{
    std::shared_lock<std::shared_mutex> lock(g_netLock);
    if (!g_udp)
        return false;
    stats = g_udp->GetStats();
    return true;
}

int NetAttachQuery(void *query)
{
    if (!g_dbRunning || !g_db.attachQuery)
        return -1;
    return g_db.attachQuery(query);
}

bool NetWxProxyIsReady()
{
    if (!g_wxRunning || !g_wx.isRegistered)
        return false;
    return g_wx.isRegistered();
}

void NetWxProxyBeginChat(int kind, int groupId, const std::string &number)
{
    if (g_wxRunning && g_wx.beginChat)
        g_wx.beginChat(kind, groupId, number);
}
