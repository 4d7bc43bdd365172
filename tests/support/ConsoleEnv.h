#pragma once
// A console environment for tests of the network layer and above: a scratch working
// folder with data/zoxcfg.ini (local 127.0.0.1, server 127.0.0.2 unless told otherwise),
// the configuration object g_pSystemConfig, the log open at log/log.txt, and a
// QCoreApplication so that window messages can be posted and delivered.
#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "tests/support/TempDir.h"

namespace zoxtest {

// The process's application object (created on first use, kept to the end). A window
// test calls zoxtest::uiApp() (tests/support/UiApp.h) first; this then returns that one.
QCoreApplication *CoreApp();

// Delivers posted events until pred() holds; false when the timeout ran out first.
bool PumpUntil(const std::function<bool()> &pred, std::chrono::milliseconds timeout);
// Delivers posted events for the given time.
void PumpFor(std::chrono::milliseconds duration);

class ConsoleEnv {
public:
    explicit ConsoleEnv(const std::string &localIp = "127.0.0.1", const std::string &serverIp = "127.0.0.2",
                        const std::string &extraIni = "");
    ~ConsoleEnv();

    const TempDir &dir() const { return m_dir; }
    // The log written so far.
    std::string LogText() const;

private:
    TempDir m_dir;
    std::unique_ptr<ScopedCwd> m_cwd;
};

} // namespace zoxtest
