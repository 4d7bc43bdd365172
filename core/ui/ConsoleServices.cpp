#include "core/ui/ConsoleServices.h"

#include "core/MediaLibrary.h"
#include "core/net/NetFacade.h"

ST_ZOX_LOGIN_SERVICES MakeConsoleServices()
{
    ST_ZOX_LOGIN_SERVICES s;
    s.netStart = [] { return NetStart(); };
    s.netStop = [] { NetStop(); };
    s.mediaInit = [] { return InitMediaLibrary() ? 0 : -1; };
    s.mediaExit = [] { ExitMediaLibrary(); };
    s.subscribe = [](uint32_t message, QObject *window) { return NetSubscribe(message, window); };
    s.sendUdp = [](const uint8_t *data, std::size_t length) { return NetSendUdp(data, length); };
    return s;
}
