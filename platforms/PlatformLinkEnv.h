#pragma once
// What a platform link takes from the console when it is created: its configuration
// file, the way its results reach the login window, the server-data cache and the
// time limits of its HTTP client.
#include <cstdint>
#include <functional>
#include <string>

#include "platforms/HttpClient.h"

class TZoxDataModule;

struct ST_PLATFORM_LINK_ENV {
    // The link's INI file.
    std::string configPath;
    // Posts a result message (wParam 0, lParam 0) to the login window; any thread.
    std::function<void(uint32_t message)> notify;
    // The server-data cache of the user-interface thread; null while none exists.
    std::function<TZoxDataModule *()> cache;
    int connectTimeoutMs = CHttpClient::kDefaultConnectTimeoutMs;
    int stallTimeoutMs = CHttpClient::kDefaultStallTimeoutMs;
    // How long the link's destruction waits for a running request before it aborts it.
    int stopWaitMs = 5000;
};
