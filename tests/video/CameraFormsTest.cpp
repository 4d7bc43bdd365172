// What the camera dialogs accept and store, and what the camera menu does with the
// cache and the RTSP client, without windows.
#include "core/MediaLibrary.h"
#include "server/RtspTestServer.h"
#include "tests/support/ConsoleEnv.h"
#include "VideoTestSupport.h"
#include "video/CameraForms.h"
#include "video/CameraMenu.h"
#include "video/RtspClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace {

// An in-memory camera table with a user list, and switches that make writes fail.
class FakeStore : public ICameraStore {
public:
    std::map<uint32_t, ST_ZOX_RTSP_CAMERA> cameras;
    std::vector<std::string> userNumbers;
    bool failRead = false, failWrite = false;
    int writes = 0;
    uint32_t nextId = 100;

    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        for (const auto &n : userNumbers)
            if (n == number) {
                user.userNumber = n;
                return 0;
            }
        return -2;
    }
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        auto it = cameras.find(uint32_t(std::stoul(cid)));
        if (failRead || it == cameras.end())
            return failRead ? -1 : -2;
        camera = it->second;
        return 0;
    }
    int InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        ++writes;
        if (failWrite)
            return -1;
        ST_ZOX_RTSP_CAMERA c = camera;
        c.cid = nextId++;
        cameras[c.cid] = c;
        return 0;
    }
    int UpdateRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        ++writes;
        if (failWrite)
            return -1;
        cameras[camera.cid] = camera;
        return 0;
    }
    int DeleteRtspCamera(const std::string &cid) override
    {
        ++writes;
        if (failWrite)
            return -1;
        cameras.erase(uint32_t(std::stoul(cid)));
        return 0;
    }
};

CameraFormFields Fields(const std::string &name, const std::string &url, const std::string &user = "",
                        const std::string &password = "")
{
    CameraFormFields f;
    f.name = name;
    f.url = url;
    f.username = user;
    f.password = password;
    return f;
}

ST_ZOX_RTSP_CAMERA Stored()
{
    ST_ZOX_RTSP_CAMERA c;
    c.cid = 17;
    c.cname = "Gate";
    c.main_url = "rtsp://192.168.1.64/stream1";
    c.ip = "192.168.1.64";
    c.port = 554;
    c.status = 1;
    c.enabled = 1;
    return c;
}

} // namespace

struct UrlCase {
    const char *url;
    bool ok;
    const char *ip;
    int port;
};

void PrintTo(const UrlCase &c, std::ostream *os) { *os << c.url; }

class CameraUrl : public ::testing::TestWithParam<UrlCase> {};

TEST_P(CameraUrl, AddressAndPortAreCheckedAndTaken)
{
    const UrlCase &c = GetParam();
    std::string ip = "unchanged";
    int port = -7;
    EXPECT_EQ(ParseCameraUrl(c.url, ip, port), c.ok) << c.url;
    if (c.ok) {
        EXPECT_EQ(ip, c.ip);
        EXPECT_EQ(port, c.port);
    } else {
        EXPECT_EQ(ip, "unchanged");
        EXPECT_EQ(port, -7);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Urls, CameraUrl,
    ::testing::Values(UrlCase{"rtsp://192.168.1.64/stream1", true, "192.168.1.64", 554},
                      UrlCase{"rtsp://192.168.1.64:8554/live", true, "192.168.1.64", 8554},
                      UrlCase{"RTSP://admin:pw@10.0.0.5:65535/h264", true, "10.0.0.5", 65535},
                      UrlCase{"rtsp://10.0.0.5:/x", true, "10.0.0.5", 554},
                      UrlCase{"rtsp://0.0.0.0", true, "0.0.0.0", 554},
                      UrlCase{"rtsp://192.168.1.64:99999/live", false, "", 0},
                      UrlCase{"rtsp://192.168.1.64:0/live", false, "", 0},
                      UrlCase{"rtsp://192.168.1.64:0000000554/live", false, "", 0},
                      UrlCase{"rtsp://300.1.1.1/live", false, "", 0},
                      UrlCase{"rtsp://1.2.3.256/live", false, "", 0},
                      UrlCase{"rtsp://1192.168.1.1/live", false, "", 0},
                      UrlCase{"rtsp://1.2.3.4.5/live", false, "", 0},
                      UrlCase{"rtsp://camera.local/live", false, "", 0},
                      UrlCase{"http://192.168.1.64/live", false, "", 0},
                      UrlCase{"", false, "", 0}));

struct AddCase {
    const char *name;
    CameraFormFields fields;
    std::optional<EN_ZOX_TEXT> refusal;
};

void PrintTo(const AddCase &c, std::ostream *os) { *os << c.name; }

class CameraAdd : public ::testing::TestWithParam<AddCase> {};

TEST_P(CameraAdd, RefusesWithTheMessageOrStores)
{
    const AddCase &c = GetParam();
    FakeStore store;
    store.userNumbers = {"3001"};
    EN_ZOX_TEXT message = EN_ZOX_TEXT::Ok;
    const bool stored = AddCamera(c.fields, store, message);
    EXPECT_EQ(stored, !c.refusal);
    if (c.refusal) {
        EXPECT_EQ(message, *c.refusal);
        EXPECT_EQ(store.writes, 0);
    } else {
        EXPECT_EQ(store.cameras.size(), 1u);
    }
}

CameraFormFields Dispatching(CameraFormFields f)
{
    f.dispatcher = true;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CameraAdd,
    ::testing::Values(AddCase{"blank_name", Fields("   ", "rtsp://192.168.1.64/s"), EN_ZOX_TEXT::CameraNameMissing},
                      AddCase{"dispatcher_not_a_user", Dispatching(Fields("Gate", "rtsp://192.168.1.64/s")),
                              EN_ZOX_TEXT::CameraNameMustBeUser},
                      AddCase{"dispatcher_user", Dispatching(Fields("3001", "rtsp://192.168.1.64/s")), std::nullopt},
                      AddCase{"host_name", Fields("Gate", "rtsp://gate.example/s"), EN_ZOX_TEXT::CameraUrlInvalid},
                      AddCase{"port_too_big", Fields("Gate", "rtsp://192.168.1.64:99999/s"),
                              EN_ZOX_TEXT::CameraUrlInvalid},
                      AddCase{"octet_too_big", Fields("Gate", "rtsp://300.1.1.1/s"), EN_ZOX_TEXT::CameraUrlInvalid},
                      AddCase{"name_checked_before_url", Fields("", "nonsense"), EN_ZOX_TEXT::CameraNameMissing}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CameraAddRow, StoresTrimmedEntriesWithAddressPortAndAuthentication)
{
    FakeStore store;
    EN_ZOX_TEXT message{};
    CameraFormFields f = Fields("  Gate 'North'; -- ", " rtsp://192.168.1.64:8554/live ", " admin ", " s3cret ");
    f.transport = 1;
    f.enabled = false;
    ASSERT_TRUE(AddCamera(f, store, message));
    const ST_ZOX_RTSP_CAMERA &c = store.cameras.begin()->second;
    EXPECT_EQ(c.cname, "Gate 'North'; --");
    EXPECT_EQ(c.main_url, "rtsp://192.168.1.64:8554/live");
    EXPECT_EQ(c.ip, "192.168.1.64");
    EXPECT_EQ(c.port, 8554);
    EXPECT_EQ(c.auth, 1);
    EXPECT_EQ(c.username, "admin");
    EXPECT_EQ(c.password, "s3cret");
    EXPECT_EQ(c.transport, 1);
    EXPECT_EQ(c.enabled, 0);
    EXPECT_EQ(c.status, 0);
    EXPECT_TRUE(c.sub_url.empty());

    // Without a user name no authentication; a failed insert is reported, not stored.
    store.failWrite = true;
    EXPECT_FALSE(AddCamera(Fields("Yard", "rtsp://10.0.0.9/s", "", "pw"), store, message));
    EXPECT_EQ(message, EN_ZOX_TEXT::CameraInsertError);
    store.failWrite = false;
    ASSERT_TRUE(AddCamera(Fields("Yard", "rtsp://10.0.0.9/s", "", "pw"), store, message));
    EXPECT_EQ(store.cameras.rbegin()->second.auth, 0);
}

struct SaveCase {
    const char *name;
    std::function<void(ST_ZOX_RTSP_CAMERA &stored, CameraFormFields &f)> change;
    int result;
};

void PrintTo(const SaveCase &c, std::ostream *os) { *os << c.name; }

class CameraSave : public ::testing::TestWithParam<SaveCase> {};

TEST_P(CameraSave, ChangedSavedUnchangedOrRefused)
{
    const SaveCase &c = GetParam();
    FakeStore store;
    store.userNumbers = {"3001"};
    ST_ZOX_RTSP_CAMERA stored = Stored();
    CameraFormFields f = FieldsOfCamera(stored);
    c.change(stored, f);
    store.cameras[stored.cid] = stored;
    EN_ZOX_TEXT message = EN_ZOX_TEXT::Ok;
    EXPECT_EQ(SaveCamera(f, stored, store, message), c.result);
    EXPECT_EQ(store.writes, c.result == 0 ? 1 : 0);
    if (c.result == 0) {
        const ST_ZOX_RTSP_CAMERA &now = store.cameras.at(17);
        EXPECT_EQ(now.cid, 17u);
        EXPECT_EQ(now.status, stored.status);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CameraSave,
    ::testing::Values(
        SaveCase{"nothing", [](auto &, auto &) {}, 1},
        SaveCase{"blanks_around_the_name", [](auto &, auto &f) { f.name = "  Gate  "; }, 1},
        SaveCase{"password_without_user", [](auto &, auto &f) { f.password = "new"; }, 1},
        SaveCase{"dispatcher_flag_alone",
                 [](auto &s, auto &f) {
                     s.cname = f.name = "3001";
                     f.dispatcher = true;
                 },
                 1},
        SaveCase{"name", [](auto &, auto &f) { f.name = "Gate 2"; }, 0},
        SaveCase{"url", [](auto &, auto &f) { f.url = "rtsp://192.168.1.65:8554/s"; }, 0},
        SaveCase{"transport", [](auto &, auto &f) { f.transport = 1; }, 0},
        SaveCase{"enabled", [](auto &, auto &f) { f.enabled = false; }, 0},
        SaveCase{"credentials_added",
                 [](auto &, auto &f) {
                     f.username = "admin";
                     f.password = "pw";
                 },
                 0},
        SaveCase{"password_with_user",
                 [](auto &s, auto &f) {
                     s.auth = 1;
                     s.username = f.username = "admin";
                     s.password = "old";
                     f.password = "new";
                 },
                 0},
        SaveCase{"stored_dispatcher_name_not_a_user", [](auto &s, auto &f) { s.dispatcher = f.dispatcher = true; },
                 -1},
        SaveCase{"bad_port", [](auto &, auto &f) { f.url = "rtsp://192.168.1.64:70000/s"; }, -1},
        SaveCase{"blank_name", [](auto &, auto &f) { f.name = " "; }, -1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CameraSaveRow, KeepsTheIdTakesThePortAndReportsAFailedUpdate)
{
    FakeStore store;
    ST_ZOX_RTSP_CAMERA stored = Stored();
    store.cameras[17] = stored;
    CameraFormFields f = FieldsOfCamera(stored);
    f.url = "rtsp://10.1.2.3:8554/live";
    EN_ZOX_TEXT message{};
    ASSERT_EQ(SaveCamera(f, stored, store, message), 0);
    EXPECT_EQ(store.cameras[17].ip, "10.1.2.3");
    EXPECT_EQ(store.cameras[17].port, 8554);

    store.failWrite = true;
    f.name = "Renamed";
    EXPECT_EQ(SaveCamera(f, stored, store, message), -1);
    EXPECT_EQ(message, EN_ZOX_TEXT::CameraUpdateError);

    // The edit dialog shows credentials only of a camera that uses them.
    stored.username = "admin";
    stored.password = "pw";
    EXPECT_TRUE(FieldsOfCamera(stored).username.empty());
    stored.auth = 1;
    EXPECT_EQ(FieldsOfCamera(stored).password, "pw");
}

// --- The camera menu ------------------------------------------------------------

namespace {

class FakeMenuHost : public ICameraMenuHost {
public:
    int dialogResult = 1;
    int deleteAnswer = 1;
    std::vector<std::string> calls;
    std::vector<EN_ZOX_TEXT> tips;
    CRtspClient *client = nullptr;
    FakeStore *store = nullptr;
    std::function<void()> onDialog;

    int RunAddCameraDialog() override
    {
        calls.push_back("add-dialog");
        if (onDialog)
            onDialog();
        return dialogResult;
    }
    int RunEditCameraDialog(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        calls.push_back("edit-dialog " + camera.cname);
        if (onDialog)
            onDialog();
        return dialogResult;
    }
    int AskDeleteCamera() override
    {
        calls.push_back("ask");
        return deleteAnswer;
    }
    void ShowTip(EN_ZOX_TEXT message) override { tips.push_back(message); }
    void ReloadCameraList() override { calls.push_back("reload"); }
    CRtspClient *RtspClient() override { return client; }
};

// The client reads the same table as the menu.
class StoreSource : public IRtspClientSource {
public:
    explicit StoreSource(FakeStore &s) : store(s) {}
    FakeStore &store;
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        return store.GetRtspCamera(cid, camera);
    }
    int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras) override
    {
        cameras.clear();
        for (auto &kv : store.cameras)
            cameras.push_back(kv.second);
        return 0;
    }
    int GetDisplayName(const std::string &, std::string &) override { return -1; }
    int GetVehicleRtsp(const std::string &, std::string &, std::string &, uint16_t &) override { return -1; }
};

class CameraMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        env = std::make_unique<zoxtest::ConsoleEnv>();
        store.cameras[17] = Stored();
        store.cameras[17].main_url = "rtsp://127.0.0.1:1/s"; // never polled within the test
        host.store = &store;
    }
    void WithClient()
    {
        client = std::make_unique<CRtspClient>(&source);
        client->SetPingTiming({60000, 60000, 60000});
        ASSERT_EQ(client->Start(), 0);
        ASSERT_EQ(client->LoadCameras(), 0);
        host.client = client.get();
    }
    std::unique_ptr<zoxtest::ConsoleEnv> env;
    FakeStore store;
    StoreSource source{store};
    FakeMenuHost host;
    std::unique_ptr<CRtspClient> client;
};

} // namespace

TEST(CameraMenuOpen, OnlyOverTheCameraGroup)
{
    EXPECT_TRUE(CCameraMenu::CanOpen(0xFFFE));
    EXPECT_FALSE(CCameraMenu::CanOpen(0xFFFF));
    EXPECT_FALSE(CCameraMenu::CanOpen(-1));
    EXPECT_FALSE(CCameraMenu::CanOpen(12));
}

TEST_F(CameraMenuTest, AddStartsChecksOfNewCamerasOnlyAfterOk)
{
    WithClient();
    CPingSession *old = client->FindPingSession(17);
    CCameraMenu menu(store, host);
    host.dialogResult = 2;
    host.onDialog = [&] {
        ST_ZOX_RTSP_CAMERA added = store.cameras[17];
        added.cid = 18;
        store.cameras[18] = added;
    };
    EXPECT_FALSE(menu.Add());
    EXPECT_EQ(host.calls, (std::vector<std::string>{"add-dialog"}));
    EXPECT_EQ(client->PingSessionCount(), 1u);

    host.dialogResult = 1;
    EXPECT_TRUE(menu.Add());
    EXPECT_EQ(host.calls.back(), "reload");
    EXPECT_EQ(client->PingSessionCount(), 2u);
    EXPECT_EQ(client->FindPingSession(17), old);
    EXPECT_NE(client->FindPingSession(18), nullptr);
}

TEST_F(CameraMenuTest, EditReadsTheRowAndOnOkReloadsTheCheck)
{
    WithClient();
    CCameraMenu menu(store, host);
    CPingSession *old = client->FindPingSession(17);

    store.failRead = true;
    EXPECT_FALSE(menu.Edit("17"));
    EXPECT_EQ(host.tips, (std::vector<EN_ZOX_TEXT>{EN_ZOX_TEXT::CameraGetDataError}));
    EXPECT_TRUE(host.calls.empty()); // no dialog
    store.failRead = false;

    host.dialogResult = 2; // cancelled or unchanged
    EXPECT_FALSE(menu.Edit("17"));
    EXPECT_EQ(client->FindPingSession(17), old);

    host.dialogResult = 1;
    host.onDialog = [&] { store.cameras[17].enabled = 0; };
    EXPECT_TRUE(menu.Edit("17"));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"edit-dialog Gate", "edit-dialog Gate", "reload"}));
    EXPECT_EQ(client->FindPingSession(17), nullptr); // disabled: no check any more
}

TEST_F(CameraMenuTest, DeleteAsksThenRemovesAndReportsFailures)
{
    CCameraMenu menu(store, host); // without an RTSP client the cache still changes
    host.deleteAnswer = 2;
    EXPECT_FALSE(menu.Delete("17"));
    EXPECT_EQ(store.cameras.count(17), 1u);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ask"}));

    host.deleteAnswer = 0; // anything but the refusal is a yes
    store.failWrite = true;
    EXPECT_FALSE(menu.Delete("17"));
    EXPECT_EQ(host.tips, (std::vector<EN_ZOX_TEXT>{EN_ZOX_TEXT::CameraOperationFailed}));
    store.failWrite = false;
    store.failRead = true;
    EXPECT_FALSE(menu.Delete("17"));
    EXPECT_EQ(host.tips.back(), EN_ZOX_TEXT::CameraGetDataError);
    store.failRead = false;

    EXPECT_TRUE(menu.Delete("17"));
    EXPECT_EQ(store.cameras.count(17), 0u);
    EXPECT_EQ(host.calls.back(), "reload");
}

TEST_F(CameraMenuTest, EditOfAPreviewedCameraStopsThePreviewAndRestartsItsCheck)
{
    using namespace std::chrono_literals;
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    unsetenv("DISPLAY");
    ASSERT_TRUE(InitMediaLibrary());
    RtspTestServer server;
    ASSERT_TRUE(server.Start());
    ST_ZOX_RTSP_CAMERA &row = store.cameras[17];
    row.ip = "127.0.0.1";
    row.port = server.Port();
    row.main_url = server.Url();
    WithClient();
    FakeTile tile;
    ASSERT_EQ(client->PlayVideo(2, "17", &tile), 0);
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return client->IsPlaying(2, "17") && tile.state == 2; }, 12000ms));

    host.onDialog = [&] { row.cname = "Gate 2"; };
    CCameraMenu menu(store, host);
    ASSERT_TRUE(menu.Edit("17"));
    EXPECT_FALSE(client->IsPlaying(2, "17"));
    ASSERT_NE(client->FindPingSession(17), nullptr);
    EXPECT_NE(env->LogText().find("ping-session[17]:: destroy."), std::string::npos); // the old check
    EXPECT_TRUE(zoxtest::PumpUntil([&] { return client->SessionCount() == 0; }, 10000ms));
}
