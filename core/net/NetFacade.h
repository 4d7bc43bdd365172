#pragma once
// The network layer's facade: the rest of the console starts, stops and uses the UDP
// service, the message bus, the messaging bridge and the database connection of the
// server-data cache only through these functions (user-interface thread unless said).
//
// The messaging bridge and the database service are separate units that register
// themselves here (NetSetWxProxyService, NetSetDatabaseService) before NetStart runs;
// a part that has not registered is skipped by NetStart with a log line.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/net/NetUdpService.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"

// The messaging bridge (chat peer link on port 8889).
struct NetWxProxyService {
    // Creates the bridge; 0 when its socket is open. Called by NetStart.
    int (*start)() = nullptr;
    // Frees the bridge (nothing when it does not exist). Called by NetStop.
    void (*stop)() = nullptr;
    // A datagram of group 0x5005 from the server, on the UDP receive thread; the bytes
    // are valid only during the call.
    void (*onServerMessage)(const uint8_t *datagram, std::size_t length) = nullptr;
    // Whether the chat peer has registered.
    bool (*isRegistered)() = nullptr;
    // The begin-chat indication.
    void (*beginChat)(int kind, int groupId, const std::string &number) = nullptr;
};

// The database connection of the server-data cache.
struct NetDatabaseService {
    // Creates the database-service object and connects; 0 on success. Called by NetStart.
    int (*connect)() = nullptr;
    // Frees it with its connection (nothing when it does not exist). Called by NetStop.
    void (*disconnect)() = nullptr;
    // Makes the cache's query object use the connection; -1 when there is none.
    // The query's type is the database service's business.
    int (*attachQuery)(void *query) = nullptr;
};

// Registration of the two parts; call before NetStart (an empty pointer unregisters).
// The structure is copied.
void NetSetWxProxyService(const NetWxProxyService *service);
void NetSetDatabaseService(const NetDatabaseService *service);

// Builds the bus and starts the UDP service, the messaging bridge and the database
// connection. 0, or -1 UDP service not open, -2 messaging bridge not open, -3 database
// connection failed; after a failure everything is stopped again (NetStop).
int NetStart();
// Frees the UDP service (its thread stopped and joined) first, then the bridge, the
// database service and the bus; each only when it exists. Safe to call repeatedly.
void NetStop();

// 0 subscribed; -1 no bus, empty window, number outside WM_APP+100..+299, pool empty.
// A window that is destroyed is unsubscribed by the bus itself.
int NetSubscribe(uint32_t message, WindowHandle window);
// Posts the datagram to every window of the number (any thread). 0 at least one post,
// 1 none (also no subscriber or no bus), -1 number outside the range.
int NetNotify(uint32_t message, const QByteArray &datagram);
// Sends a datagram to the server (any thread): bytes sent, -1 no socket or socket
// error, -2 longer than 1500 bytes, -255 no UDP service. 0 or below is a failure.
int NetSendUdp(const void *datagram, std::size_t length);
// The UDP service's counters (received, delivered, dropped by kind); false (and the
// counters untouched) when no UDP service exists.
bool NetGetUdpStats(TNetUdpService::Stats &stats);
// -1 when no database service exists.
int NetAttachQuery(void *query);
// false when no bridge exists.
bool NetWxProxyIsReady();
// Nothing when no bridge exists.
void NetWxProxyBeginChat(int kind, int groupId, const std::string &number);
