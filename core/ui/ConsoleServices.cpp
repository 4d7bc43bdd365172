#include "core/ui/ConsoleServices.h"

#include "core/MediaLibrary.h"
#include "core/NetTcpServiceForm.h"
#include "core/ZoxLoginCache.h"
#include "core/net/NetFacade.h"
#include "core/ui/Loginfrm.h"
#include "host/WindowMessage.h"
#include "platforms/CmsDataModule.h"
#include "platforms/UapDataModule.h"

namespace {
// A link's surroundings: its file under data/ of the working folder, its results
// posted to the login window, the console's one data module.
ST_PLATFORM_LINK_ENV LinkEnv(const char *configFile)
{
    ST_PLATFORM_LINK_ENV env;
    env.configPath = std::string("data/") + configFile;
    QObject *window = g_pLoginForm;
    env.notify = [window](uint32_t message) { PostWindowMessage(window, message, uintptr_t(0), intptr_t(0)); };
    env.cache = [] { return g_pZoxDataModule; };
    return env;
}
} // namespace

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
    s.createCmsLink = [](int &startResult) -> std::unique_ptr<ILoginPlatformLink> {
        auto link = std::make_unique<TCMSDataModule>(LinkEnv("cmsserver.ini"));
        startResult = link->StartResult();
        g_pCMSDataModule = link.get();
        return link;
    };
    s.createUapLink = [](int &startResult) -> std::unique_ptr<ILoginPlatformLink> {
        auto link = std::make_unique<TUAPDataModule>(LinkEnv("uapapi.ini"));
        startResult = link->StartResult();
        g_pUAPDataModule = link.get();
        return link;
    };
    return s;
}
