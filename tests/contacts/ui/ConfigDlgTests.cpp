// The settings dialog with an injected camera list and a scratch data/zoxcfg.ini.
#include "console/ui/Configdlg.h"
#include "console/ui/FontSetup.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::vector<VideoCaptureDevice> TwoCameras()
{
    return {
        {"Front", true,
         {{"video/x-raw/YUY2", 640, 480, 30, 1},
          {"image/jpeg", 1280, 720, 30000, 1001},
          {"video/x-raw/YUY2", 1280, 720, 15, 1},
          {"image/jpeg", 640, 480, 30, 1},
          {"image/jpeg", 640, 480, 20, 1},
          {"video/x-raw/YUY2", 1000, 700, 30, 1}}},
        {"Dead", false, {}},
        {"Rear", true, {{"video/x-raw/YUY2", 320, 240, 25, 1}}},
    };
}

class ConfigDlgTest : public ::testing::Test {
protected:
    static constexpr const char *kIni = "[General]\n"
                                        "Title=Fleet Desk\n"
                                        "Department=Night shift\n"
                                        "; keep me\n"
                                        "[Video]\n"
                                        "RecordPath=rec\n"
                                        "CameraId=0\n"
                                        "Resolution=12\n"
                                        "FPS=29\n"
                                        "CameraPreview=1\n";
    void SetUp() override
    {
        zoxtest::uiApp();
        zox::skin::InstallFontSubstitutions();
        std::filesystem::create_directories(dir / "rec");
        dir.write("data/zoxcfg.ini", kIni);
        oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::setenv("HOME", (dir / "home").c_str(), 1);
        cwd = std::make_unique<zoxtest::ScopedCwd>(dir.path());
        config = std::make_unique<CSystemConfig>();
        g_pSystemConfig = config.get();
    }
    void TearDown() override
    {
        dlg.reset();
        g_pSystemConfig = nullptr;
        config.reset();
        cwd.reset();
        ::setenv("HOME", oldHome.c_str(), 1);
    }
    void Open(std::vector<VideoCaptureDevice> cameras = TwoCameras())
    {
        dlg = std::make_unique<TConfigDlgForm>(nullptr, [cameras] { return cameras; });
        dlg->ShowTip = [this](const std::string &t) { tips.push_back(t); };
    }
    static QStringList Items(const QComboBox *c)
    {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    std::string File() const { return dir.read("data/zoxcfg.ini"); }
    static std::string Replace(std::string s, const std::string &from, const std::string &to)
    {
        s.replace(s.find(from), from.size(), to);
        return s;
    }

    zoxtest::TempDir dir;
    std::string oldHome;
    std::unique_ptr<zoxtest::ScopedCwd> cwd;
    std::unique_ptr<CSystemConfig> config;
    std::unique_ptr<TConfigDlgForm> dlg;
    std::vector<std::string> tips;
};

TEST_F(ConfigDlgTest, OpensOnTheFirstPageWithTheConfiguredValues)
{
    Open();
    EXPECT_EQ(dlg->size(), QSize(600, 400));
    EXPECT_EQ(dlg->c_pPageControl->currentIndex(), 0);
    EXPECT_EQ(dlg->c_pEditAppTitle->text(), "Fleet Desk");
    EXPECT_EQ(dlg->c_pEditDepartment->text(), "Night shift");
    EXPECT_TRUE(dlg->c_pEditSavePath->isReadOnly());
    EXPECT_TRUE(dlg->c_pCheckBoxCameraPreview->isChecked());
    EXPECT_EQ(dlg->c_pLabelVersion->text(), "V2.00.201208.EN");
    EXPECT_EQ(dlg->c_pLabelLanguage->text(), "English");
    // A camera whose formats cannot be read is not listed; positions count the others.
    EXPECT_EQ(Items(dlg->c_pComboBoxCameras), (QStringList{"Front", "Rear"}));
    EXPECT_EQ(dlg->c_pComboBoxCameras->currentIndex(), 0);
    // Each size once (an unknown size left out), the configured one selected.
    EXPECT_EQ(Items(dlg->c_pComboBoxVideoSize), (QStringList{"640 x 480", "1280 x 720"}));
    EXPECT_EQ(dlg->c_pComboBoxVideoSize->currentText(), "1280 x 720");
    EXPECT_EQ(Items(dlg->c_pComboBoxVideoFps), (QStringList{"29", "15"}));
    EXPECT_EQ(dlg->c_pComboBoxVideoFps->currentText(), "29");
    dlg->c_pComboBoxVideoSize->setCurrentIndex(0);
    EXPECT_EQ(Items(dlg->c_pComboBoxVideoFps), (QStringList{"30", "20"})) << "rates of both formats merged";
    EXPECT_EQ(dlg->c_pComboBoxVideoFps->currentIndex(), -1);
}

TEST_F(ConfigDlgTest, OkWithoutChangesLeavesTheFileAsItWas)
{
    Open();
    dlg->OnImageOkClick();
    EXPECT_EQ(dlg->result(), TConfigDlgForm::kResultOk);
    EXPECT_EQ(File(), kIni);
}

TEST_F(ConfigDlgTest, ACameraWithoutTheConfiguredSizeWritesOnlyItsPosition)
{
    Open();
    dlg->c_pComboBoxCameras->setCurrentIndex(1);
    EXPECT_EQ(Items(dlg->c_pComboBoxVideoSize), QStringList{"320 x 240"});
    EXPECT_EQ(dlg->c_pComboBoxVideoSize->currentIndex(), -1);
    EXPECT_EQ(dlg->c_pComboBoxVideoFps->count(), 0);
    dlg->OnImageOkClick();
    EXPECT_EQ(File(), Replace(kIni, "CameraId=0", "CameraId=1"));
    EXPECT_EQ(config->GetResolution(), 12u);
    EXPECT_EQ(config->GetFps(), 29u);
}

TEST_F(ConfigDlgTest, OkWritesTheChangedTextsTrimmedAndKeepsEveryOtherLine)
{
    Open();
    dlg->c_pEditAppTitle->setText("   ");
    dlg->c_pEditDepartment->setText("");
    dlg->c_pCheckBoxCameraPreview->setChecked(false);
    dlg->c_pComboBoxVideoSize->setCurrentIndex(0);
    dlg->c_pComboBoxVideoFps->setCurrentIndex(1);
    dlg->OnImageOkClick();
    std::string want = Replace(kIni, "Department=Night shift", "Department=");
    want = Replace(want, "Resolution=12", "Resolution=8");
    want = Replace(want, "FPS=29", "FPS=20");
    want = Replace(want, "CameraPreview=1", "CameraPreview=0");
    EXPECT_EQ(File(), want);
    EXPECT_EQ(config->GetTitle(), "Fleet Desk") << "an empty title is not taken";
}

TEST_F(ConfigDlgTest, CancelAndCloseWriteNothing)
{
    for (bool useClose : {false, true}) {
        Open();
        dlg->c_pEditAppTitle->setText("Other");
        dlg->c_pComboBoxCameras->setCurrentIndex(1);
        if (useClose)
            dlg->OnImageCloseClick();
        else
            dlg->OnImageCancelClick();
        EXPECT_EQ(dlg->result(), TConfigDlgForm::kResultCancel);
        EXPECT_EQ(File(), kIni);
        EXPECT_EQ(config->GetTitle(), "Fleet Desk");
    }
}

TEST_F(ConfigDlgTest, WithoutCamerasTheVideoListsStayEmptyAndNothingVideoIsWritten)
{
    Open({});
    EXPECT_EQ(dlg->c_pComboBoxCameras->count(), 0);
    EXPECT_EQ(dlg->c_pComboBoxVideoSize->count(), 0);
    dlg->c_pCheckBoxCameraPreview->setChecked(false);
    dlg->OnImageOkClick();
    EXPECT_EQ(File(), Replace(kIni, "CameraPreview=1", "CameraPreview=0"));
}

TEST_F(ConfigDlgTest, AConfiguredCameraOutsideTheListSelectsNothing)
{
    config->SetCameraId(5);
    const std::string before = File();
    Open();
    EXPECT_EQ(dlg->c_pComboBoxCameras->currentIndex(), -1);
    EXPECT_EQ(dlg->c_pComboBoxVideoSize->count(), 0);
    dlg->OnImageOkClick();
    EXPECT_EQ(File(), before);
}

TEST_F(ConfigDlgTest, BrowsePutsTheChosenFolderAndACancelKeepsTheOld)
{
    Open();
    const QString old = dlg->c_pEditSavePath->text();
    dlg->BrowseFolder = [] { return std::string(); };
    dlg->OnImagePathBrowseClick();
    EXPECT_EQ(dlg->c_pEditSavePath->text(), old);
    dlg->BrowseFolder = [] { return std::string("/srv/rec/"); };
    dlg->OnImagePathBrowseClick();
    EXPECT_EQ(dlg->c_pEditSavePath->text(), "/srv/rec/");
    dlg->OnImageOkClick();
    EXPECT_EQ(File(), Replace(kIni, "RecordPath=rec", "RecordPath=/srv/rec"));
}

TEST_F(ConfigDlgTest, AKeyThatCannotBeWrittenIsReported)
{
    Open();
    std::filesystem::remove(dir / "data/zoxcfg.ini");
    std::filesystem::create_directories(dir / "data/zoxcfg.ini");
    dlg->c_pEditDepartment->setText("Day shift");
    EXPECT_FALSE(dlg->ApplySettings());
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_NE(tips[0].find("zoxcfg.ini"), std::string::npos);
}

} // namespace
