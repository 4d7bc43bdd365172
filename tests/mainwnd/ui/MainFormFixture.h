#pragma once
// A main window on the offscreen screen, with a configuration of its own and an
// in-memory cache answering the lists.
#include "../FakeListCache.h"

#include "console/CurrentSelection.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/SkinPanel.h"
#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TUserCellCtrl.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

// The application object lives to the end of the process: QTest's input devices are
// its children and must not be destroyed by the exit handlers before it.
inline QApplication &MainTestApp()
{
    return zoxtest::uiApp();
}

// The tick of the running 500 ms refresh timer, without waiting for it.
inline void RefreshTick(TMainForm &form)
{
    ASSERT_TRUE(form.c_pUpdateTimer->isActive());
    ASSERT_EQ(form.c_pUpdateTimer->interval(), 500);
    form.OnUpdateTimerOut();
}

// The end of the 200 ms in which the wheel is blocked, without waiting for it.
inline void ScrollTick(TMainForm &form)
{
    ASSERT_TRUE(form.c_pScrollTimer->isActive());
    ASSERT_EQ(form.c_pScrollTimer->interval(), 200);
    form.OnScrollTimerOut();
}

class MainFormFixture : public ::testing::Test {
protected:
    // map: whether the map page is configured; mapUrl: its address.
    void Build(bool map = true, const std::string &mapUrl = "http://127.0.0.1/map")
    {
        MainTestApp();
        dir.emplace();
        cwd.emplace(dir->path());
        dir->write("data/zoxcfg.ini", std::string("[General]\nTitle=ZoxClient Dispatch Console\nDepartment=City Operations\n"
                                                  "[GIS]\nGisEnabled=") +
                                          (map ? "1" : "0") + "\nServerUrl=" + mapUrl + "\n");
        config = std::make_unique<CSystemConfig>();
        g_pSystemConfig = config.get();
        form = std::make_unique<TMainForm>();
        form->SetListCache(&cache);
    }
    void TearDown() override
    {
        form.reset();
        g_pSystemConfig = nullptr;
        config.reset();
        cwd.reset();
        dir.reset();
    }
    // A few groups, users in several states and two cameras.
    void FillCache(int users = 12)
    {
        cache.groups = {{"Patrol North", "9001", 11}, {"Patrol South", "9002", 12}, {"Harbour", "9003", 13},
                        {"Fire Brigade", "9004", 14}, {"Ambulance", "9005", 15}};
        for (int i = 0; i < users; ++i) {
            const std::string n = std::to_string(1001 + i);
            cache.users.push_back(MakeUser(n, "Unit " + n, static_cast<uint8_t>(i % 3 == 0 ? 0 : 1)));
        }
        for (int i = 0; i < users; i += 2)
            cache.members[11].push_back(std::to_string(1001 + i));
        cache.cameras = {MakeCamera(5, "Gate", 1, 1), MakeCamera(6, "Dock", 0, 0)};
    }
    void ShowForm()
    {
        form->show();
        QCoreApplication::processEvents();
    }
    TGroupCellCtrl *GroupTile(int type, int id)
    {
        for (TGroupCellCtrl *t : form->GroupCells())
            if (t->GetGroupType() == type && t->GetGroupId() == id)
                return t;
        return nullptr;
    }

    std::optional<zoxtest::TempDir> dir;
    std::optional<zoxtest::ScopedCwd> cwd;
    std::unique_ptr<CSystemConfig> config;
    FakeListCache cache;
    std::unique_ptr<TMainForm> form;
};
