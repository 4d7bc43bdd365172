#pragma once
// The services the login window starts, uses and stops: the network layer, the media
// libraries, the server-data cache and the two platform links. The program entry binds
// the real ones (core/ui/ConsoleServices.h); tests may bind others.
#include <QObject>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/LoginCache.h"
#include "core/LoginHost.h"

struct ST_ZOX_LOGIN_SERVICES {
    // 0, or -1, -2, -3 for the first part of the network layer that failed.
    std::function<int()> netStart;
    std::function<void()> netStop;
    // 0 when the media libraries started.
    std::function<int()> mediaInit;
    std::function<void()> mediaExit;
    // Subscribes the window to one message number of the bus.
    std::function<int(uint32_t message, QObject *window)> subscribe;
    // Bytes sent, 0 or below on failure.
    std::function<int(const uint8_t *data, std::size_t length)> sendUdp;
    // Creates the server-data cache (only when the console initialised); the login
    // window owns what it returns and frees it at its destruction.
    std::function<std::unique_ptr<ILoginCache>()> createCache;
    // The platform links: created when enabled; the start result is 0 when the link
    // started. Empty functions mean the link does not exist.
    std::function<std::unique_ptr<ILoginPlatformLink>(int &startResult)> createCmsLink;
    std::function<std::unique_ptr<ILoginPlatformLink>(int &startResult)> createUapLink;
    // The pause of the registration step (the user-interface thread waits).
    std::function<void(int ms)> sleepMs;
};
