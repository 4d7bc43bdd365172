// The camera dialogs on the offscreen screen: their layout and defaults, the messages
// for bad entries (the dialog stays open with the entries as typed), adding, editing
// and the clicks that end them.
#include "UiTestApp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include "console/ui/Camerafrm.h"
#include "core/EditionText.h"

#include <map>
#include <vector>

namespace {

class MemoryStore : public ICameraStore {
public:
    std::map<uint32_t, ST_ZOX_RTSP_CAMERA> cameras;
    std::vector<std::string> users;
    int writes = 0;
    bool failWrite = false;

    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        for (auto &u : users)
            if (u == number) {
                user.userNumber = u;
                return 0;
            }
        return -2;
    }
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        auto it = cameras.find(uint32_t(std::stoul(cid)));
        if (it == cameras.end())
            return -2;
        camera = it->second;
        return 0;
    }
    int InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        ++writes;
        if (failWrite)
            return -1;
        ST_ZOX_RTSP_CAMERA c = camera;
        c.cid = uint32_t(cameras.size() + 1);
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
    int DeleteRtspCamera(const std::string &) override { return -1; }
};

// Runs `act` once the dialog's modal loop runs; the dialog's result.
int RunDialog(QDialog &dialog, std::function<void()> act)
{
    QTimer::singleShot(0, &dialog, std::move(act));
    return dialog.exec();
}

void Click(QLabel *picture)
{
    const QPoint c(picture->width() / 2, picture->height() / 2);
    SendMouse(picture, QEvent::MouseButtonPress, c, Qt::LeftButton, Qt::LeftButton);
    SendMouse(picture, QEvent::MouseButtonRelease, c);
}

void Type(TCameraFormBase &f, const char *name, const char *url, const char *user = "", const char *password = "")
{
    f.c_pEditCameraName->setText(QString::fromUtf8(name));
    f.c_pEditRtspUrl->setText(QString::fromUtf8(url));
    f.c_pEditUsername->setText(QString::fromUtf8(user));
    f.c_pEditPassword->setText(QString::fromUtf8(password));
}

} // namespace

TEST(CameraForms, LayoutAndDefaults)
{
    UiApp();
    MemoryStore store;
    TAddCameraForm add(nullptr, &store);
    EXPECT_EQ(add.size(), QSize(480, 300));
    EXPECT_TRUE(add.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(add.c_pLabelTitle->text(), ZoxQText(EN_ZOX_TEXT::CameraAddTitle));
    EXPECT_EQ(add.c_pComboTransport->count(), 2);
    EXPECT_EQ(add.c_pComboTransport->currentText(), "UDP");
    EXPECT_EQ(add.c_pComboTransport->itemText(1), "TCP");
    EXPECT_TRUE(add.c_pCheckBoxEnabled->isChecked());
    EXPECT_TRUE(add.c_pCheckBoxDispatcher->isHidden());
    EXPECT_EQ(add.c_pEditPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(add.c_pEditRtspUrl->geometry(), QRect(100, 45, 360, 21));
    EXPECT_EQ(add.c_pImageOk->geometry(), QRect(327, 7, 60, 24));
    EXPECT_EQ(add.c_pLabelOK->text(), ZoxQText(EN_ZOX_TEXT::Ok));
    EXPECT_EQ(add.c_pLabelCancel->text(), ZoxQText(EN_ZOX_TEXT::Cancel));
    EXPECT_EQ(add.c_pEditCameraName->nextInFocusChain(), add.c_pEditRtspUrl);

    ST_ZOX_RTSP_CAMERA row;
    row.cid = 4;
    TEditCameraForm edit(nullptr, row, &store);
    EXPECT_EQ(edit.c_pLabelTitle->text(), ZoxQText(EN_ZOX_TEXT::CameraEditTitle));
}

TEST(CameraForms, BadEntriesShowTheirMessageAndKeepTheDialogOpen)
{
    UiApp();
    MemoryStore store;
    struct Case {
        const char *name, *url;
        EN_ZOX_TEXT message;
    };
    const Case cases[] = {
        {"   ", "rtsp://192.168.1.64/s", EN_ZOX_TEXT::CameraNameMissing},
        {"Gate", "rtsp://gate.example/s", EN_ZOX_TEXT::CameraUrlInvalid},
        {"Gate", "rtsp://192.168.1.64:99999/s", EN_ZOX_TEXT::CameraUrlInvalid},
        {"Gate", "rtsp://300.1.1.1/s", EN_ZOX_TEXT::CameraUrlInvalid},
    };
    for (const Case &c : cases) {
        TAddCameraForm form(nullptr, &store);
        std::vector<std::string> tips;
        form.ShowTip = [&](const std::string &t) { tips.push_back(t); };
        bool stillOpen = false;
        const int result = RunDialog(form, [&] {
            Type(form, c.name, c.url);
            Click(form.c_pImageOk);
            stillOpen = form.isVisible();
            form.OnImageCancelClick();
        });
        EXPECT_TRUE(stillOpen) << c.url;
        EXPECT_EQ(result, 2);
        EXPECT_EQ(tips, (std::vector<std::string>{ZoxText(c.message)})) << c.name << " " << c.url;
        EXPECT_EQ(form.c_pEditRtspUrl->text(), QString::fromUtf8(c.url)); // as typed
    }
    EXPECT_EQ(store.writes, 0);

    // A failed insert is reported too.
    store.failWrite = true;
    TAddCameraForm form(nullptr, &store);
    std::vector<std::string> tips;
    form.ShowTip = [&](const std::string &t) { tips.push_back(t); };
    Type(form, "Gate", "rtsp://192.168.1.64/s");
    EXPECT_FALSE(form.Validate());
    EXPECT_EQ(tips, (std::vector<std::string>{ZoxText(EN_ZOX_TEXT::CameraInsertError)}));
}

TEST(CameraForms, AddStoresTheCameraAndEndsWithOk)
{
    UiApp();
    MemoryStore store;
    TAddCameraForm form(nullptr, &store);
    form.ShowTip = [](const std::string &t) { ADD_FAILURE() << t; };
    const int result = RunDialog(form, [&] {
        Type(form, " North Gate ", "rtsp://192.168.1.64:8554/live", "admin", "pa'ss");
        form.c_pComboTransport->setCurrentIndex(1);
        Click(form.c_pLabelOK); // the caption clicks like its picture
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(store.cameras.size(), 1u);
    const ST_ZOX_RTSP_CAMERA &c = store.cameras.begin()->second;
    EXPECT_EQ(c.cname, "North Gate");
    EXPECT_EQ(c.ip, "192.168.1.64");
    EXPECT_EQ(c.port, 8554);
    EXPECT_EQ(c.auth, 1);
    EXPECT_EQ(c.password, "pa'ss");
    EXPECT_EQ(c.transport, 1);
    EXPECT_EQ(c.enabled, 1);
}

TEST(CameraForms, EditLoadsTheRowAndEndsByWhatChanged)
{
    UiApp();
    MemoryStore store;
    ST_ZOX_RTSP_CAMERA row;
    row.cid = 17;
    row.cname = "Gate";
    row.main_url = "rtsp://192.168.1.64/stream1";
    row.ip = "192.168.1.64";
    row.port = 554;
    row.transport = 1;
    row.enabled = 0;
    row.username = "kept-out";
    row.password = "hidden";
    store.cameras[17] = row;

    TEditCameraForm form(nullptr, row, &store);
    EXPECT_EQ(form.c_pEditCameraName->text(), "Gate");
    EXPECT_EQ(form.c_pEditRtspUrl->text(), "rtsp://192.168.1.64/stream1");
    EXPECT_TRUE(form.c_pEditUsername->text().isEmpty()); // authentication is off
    EXPECT_EQ(form.c_pComboTransport->currentText(), "TCP");
    EXPECT_FALSE(form.c_pCheckBoxEnabled->isChecked());

    // Unchanged: closes like Cancel, nothing written.
    EXPECT_EQ(RunDialog(form, [&] { Click(form.c_pImageOk); }), 2);
    EXPECT_EQ(store.writes, 0);

    // Esc does not close it; a bad URL keeps it open; a change saves and ends with 1.
    std::vector<std::string> tips;
    form.ShowTip = [&](const std::string &t) { tips.push_back(t); };
    const int result = RunDialog(form, [&] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &esc);
        form.c_pEditRtspUrl->setText("rtsp://192.168.1.65:0/s");
        Click(form.c_pImageOk);
        if (!form.isVisible())
            return;
        form.c_pEditRtspUrl->setText("rtsp://192.168.1.65:10554/s");
        Click(form.c_pImageOk);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(tips, (std::vector<std::string>{ZoxText(EN_ZOX_TEXT::CameraUrlInvalid)}));
    EXPECT_EQ(store.cameras[17].port, 10554);
    EXPECT_EQ(store.cameras[17].cid, 17u);
    EXPECT_EQ(store.writes, 1);

    EXPECT_EQ(RunDialog(form, [&] { Click(form.c_pImageClose); }), 2);
    EXPECT_EQ(RunDialog(form, [&] { Click(form.c_pImageCancel); }), 2);
    EXPECT_EQ(store.writes, 1);
}
