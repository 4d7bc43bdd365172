#include "core/ui/ConsoleServices.h"

#include "core/MediaLibrary.h"
#include "core/NetTcpServiceForm.h"
#include "core/ZoxLoginCache.h"
#include "core/net/NetFacade.h"

ST_ZOX_LOGIN_SERVICES MakeConsoleServices()
{
    ST_ZOX_LOGIN_SERVICES s;
    s.netStart = [] {
        // The cache's connection is the network layer's third part.
        ZoxCacheRegisterNetService();
        return NetStart();
    };
    s.netStop = [] { NetStop(); };
    s.mediaInit = [] { return InitMediaLibrary() ? 0 : -1; };
    s.mediaExit = [] { ExitMediaLibrary(); };
    s.subscribe = [](uint32_t message, QObject *window) { return NetSubscribe(message, window); };
    s.sendUdp = [](const uint8_t *data, std::size_t length) { return NetSendUdp(data, length); };
    s.createCache = []() -> std::unique_ptr<ILoginCache> { return std::make_unique<CZoxLoginCache>(); };
    return s;
}
