#pragma once
// What the link tests share: a recorder of the messages a link posts, a data module
// on a scratch database, and the link's surroundings pointing at both.
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "platforms/PlatformLinkEnv.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace zoxtest {

class MessageRecorder {
public:
    void Post(uint32_t message)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_messages.push_back(message);
        m_cond.notify_all();
    }
    std::size_t Count(uint32_t message) const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::size_t n = 0;
        for (uint32_t m : m_messages)
            n += m == message;
        return n;
    }
    bool WaitFor(uint32_t message, std::size_t count = 1, int ms = 10000)
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_cond.wait_for(lock, std::chrono::milliseconds(ms), [&] {
            std::size_t n = 0;
            for (uint32_t m : m_messages)
                n += m == message;
            return n >= count;
        });
    }

private:
    mutable std::mutex m_lock;
    std::condition_variable m_cond;
    std::vector<uint32_t> m_messages;
};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<ScratchDatabase>();
        service = std::make_unique<TNetTcpServiceForm>(db->connectionString());
        ASSERT_EQ(0, service->ConnectDatabase());
        dm = std::make_unique<TZoxDataModule>(service.get());
        ASSERT_EQ(0, dm->AttachResult());
    }

    ST_PLATFORM_LINK_ENV Env(const std::string &iniName, const std::string &ini)
    {
        dir.write(iniName, ini);
        ST_PLATFORM_LINK_ENV env;
        env.configPath = (dir.path() / iniName).string();
        env.notify = [this](uint32_t m) { recorder.Post(m); };
        TZoxDataModule *module = dm.get();
        env.cache = [module] { return module; };
        env.connectTimeoutMs = 2000;
        env.stallTimeoutMs = 1000;
        return env;
    }

    void AddUser(const std::string &number, const std::string &name, int regState = 1)
    {
        db->exec("INSERT INTO zox_system_user(userNumber, displayName, regState) VALUES('" + number + "', '" + name +
                 "', " + std::to_string(regState) + ")");
    }

    TempDir dir;
    MessageRecorder recorder;
    std::unique_ptr<ScratchDatabase> db;
    std::unique_ptr<TNetTcpServiceForm> service;
    std::unique_ptr<TZoxDataModule> dm;
};

} // namespace zoxtest
