// The network layer connects the server-data cache at its start and frees it at its
// stop; the data module reaches the connection through NetAttachQuery.
#include "core/NetTcpServiceForm.h"
#include "core/ZoxDataModule.h"
#include "core/net/NetFacade.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

class CacheNetStart : public ::testing::Test {
protected:
    void SetUp() override { ZoxCacheRegisterNetService(); }
    void TearDown() override
    {
        NetStop();
        NetSetDatabaseService(nullptr);
        SetZoxConnectionString("");
    }
};

} // namespace

TEST_F(CacheNetStart, TheDataModuleWorksWhileTheNetworkLayerRuns)
{
    zoxtest::ConsoleEnv env;
    zoxtest::ScratchDatabase db;
    SetZoxConnectionString(db.connectionString());
    TZoxQuery probe;
    EXPECT_EQ(-1, NetAttachQuery(&probe));

    ASSERT_EQ(0, NetStart());
    ASSERT_NE(nullptr, ZoxCacheService());
    {
        TZoxDataModule dm;
        EXPECT_EQ(0, dm.AttachResult());
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = "1";
        u.displayName = "one";
        EXPECT_EQ(0, dm.InsertSystemUsers({u}));
        std::string name;
        EXPECT_EQ(0, dm.GetDisplayName("1", name));
        EXPECT_EQ("one", name);

        NetStop();
        EXPECT_EQ(nullptr, ZoxCacheService());
        EXPECT_EQ(-1, dm.GetDisplayName("1", name)) << "the freed connection is not used";
    }
    TZoxDataModule late;
    EXPECT_EQ(-1, late.AttachResult());
}

TEST_F(CacheNetStart, ADatabaseThatRefusesFailsTheStart)
{
    zoxtest::ConsoleEnv env;
    SetZoxConnectionString(zoxtest::WithDatabase(zoxtest::FixtureConnectionString(), "no_such_database"));
    EXPECT_EQ(-3, NetStart());
    EXPECT_NE(std::string::npos, env.LogText().find("net: connect zox db failed!"));
    EXPECT_EQ(nullptr, ZoxCacheService());
    TZoxDataModule dm;
    EXPECT_EQ(-1, dm.AttachResult());
    EXPECT_EQ(-1, dm.CountAvailableUsers());
}
