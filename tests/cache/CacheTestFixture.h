#pragma once
// A data module on a fresh database of the fixture's server.
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

#include <memory>

class CacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = std::make_unique<zoxtest::ScratchDatabase>();
        service = std::make_unique<TNetTcpServiceForm>(db->connectionString());
        ASSERT_EQ(0, service->ConnectDatabase());
        dm = std::make_unique<TZoxDataModule>(service.get());
        ASSERT_EQ(0, dm->AttachResult());
    }

    static ST_ZOX_SYSTEM_USER User(const std::string &number, const std::string &name = "", uint8_t regState = 1,
                                   uint32_t callState = 0, uint8_t priority = 2)
    {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = number;
        u.displayName = name;
        u.regState = regState;
        u.callState = callState;
        u.priority = priority;
        return u;
    }

    static std::vector<std::string> Numbers(const std::vector<ST_ZOX_SYSTEM_USER> &users)
    {
        std::vector<std::string> n;
        for (const auto &u : users)
            n.push_back(u.userNumber);
        return n;
    }

    std::unique_ptr<zoxtest::ScratchDatabase> db;
    std::unique_ptr<TNetTcpServiceForm> service;
    std::unique_ptr<TZoxDataModule> dm;
};
