// The camera menu of the user list's title: when it opens, which entries it enables,
// and adding, editing and deleting a camera through the dialogs, with the camera
// list read again after every change; and the camera checks' verdicts in the cache.
#include "MainFormFixture.h"

#include "console/MainListRules.h"

#include "console/ui/Camerafrm.h"
#include "console/ui/Confirmfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"
#include "video/CameraForms.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

#include <memory>

using namespace zox::mainwnd;

namespace {

// The dialogs write into the fixture's cache, so the reloaded list shows them.
class CacheCameraStore : public ICameraStore {
public:
    explicit CacheCameraStore(FakeListCache &c) : cache(c) {}
    FakeListCache &cache;
    bool failDelete = false;
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        return cache.GetSystemUser(number, user);
    }
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        return cache.GetRtspCamera(cid, camera);
    }
    int InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        ST_ZOX_RTSP_CAMERA c = camera;
        c.cid = 40;
        cache.cameras.push_back(c);
        return 0;
    }
    int UpdateRtspCamera(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        for (auto &c : cache.cameras)
            if (c.cid == camera.cid)
                c = camera;
        return 0;
    }
    int DeleteRtspCamera(const std::string &cid) override
    {
        if (failDelete)
            return -1;
        std::erase_if(cache.cameras, [&](const auto &c) { return std::to_string(c.cid) == cid; });
        return 0;
    }
};

class MainCameraMenu : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build(false);
        FillCache(4);
        form->SetCameraStore(&store);
        form->ReloadLists();
        ShowForm();
    }
    void TearDown() override
    {
        for (QPointer<QTimer> &t : watchers)
            delete t.data();
        if (form && form->c_pPopupMenuCamera)
            form->c_pPopupMenuCamera->hide();
        MainFormFixture::TearDown();
    }
    // Runs `act` on the modal dialog of type D as soon as one is up (also when it opens
    // inside another dialog's loop); *seen tells whether it came.
    template <class D>
    void OnModal(std::function<void(D &)> act, bool *seen)
    {
        auto *timer = new QTimer;
        timer->setInterval(5);
        auto tries = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [timer, act, seen, tries] {
            auto *d = qobject_cast<D *>(QApplication::activeModalWidget());
            if (!d && ++*tries < 1000)
                return;
            timer->stop();
            if (!d)
                return;
            *seen = true;
            act(*d);
        });
        timer->start();
        watchers.emplace_back(timer);
    }
    std::vector<QPointer<QTimer>> watchers;
    static void ClickPicture(QLabel *picture)
    {
        const QPointF c(picture->width() / 2.0, picture->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, c, picture->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(picture, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, c, picture->mapToGlobal(c), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(picture, &release);
    }
    void ListCameras() { GroupTile(kGroupTypeCamera, kGroupIdCamera)->OnClickHandler(nullptr); }
    std::vector<std::string> Listed()
    {
        std::vector<std::string> out;
        for (TUserCellCtrl *t : form->UserCells())
            out.push_back(t->GetUserNumber());
        return out;
    }
    CacheCameraStore store{cache};
};

} // namespace

TEST_F(MainCameraMenu, OpensOverTheCameraGroupWithEditAndDeleteForASelectedCamera)
{
    GroupTile(kGroupTypeAllUsers, kGroupIdAllUsers)->OnClickHandler(nullptr);
    form->OnImageCameraMenuClick();
    EXPECT_FALSE(form->c_pPopupMenuCamera->isVisible());

    ListCameras();
    ClickPicture(form->c_pImageCameraMenu);
    EXPECT_TRUE(form->c_pPopupMenuCamera->isVisible());
    EXPECT_EQ(form->c_pMenuItemAddCamera->text(), "Add ...");
    EXPECT_TRUE(form->c_pMenuItemAddCamera->isEnabled());
    EXPECT_FALSE(form->c_pMenuItemEditCamera->isEnabled());
    EXPECT_FALSE(form->c_pMenuItemDeleteCamera->isEnabled());
    const QPoint at = form->c_pImageCameraMenu->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(form->c_pPopupMenuCamera->pos(), QPoint(at.x() + form->c_pImageCameraMenu->width() + 2, at.y() + 5));
    form->c_pPopupMenuCamera->hide();

    ASSERT_TRUE(form->SelectUserCell(kUserTypeCamera, "5", false));
    form->OnImageCameraMenuClick();
    EXPECT_TRUE(form->c_pMenuItemEditCamera->isEnabled());
    EXPECT_TRUE(form->c_pMenuItemDeleteCamera->isEnabled());
}

TEST_F(MainCameraMenu, AddWithABadUrlThenAGoodOneListsTheNewCamera)
{
    ListCameras();
    bool seen = false, tipSeen = false;
    OnModal<TAddCameraForm>(
        [&](TAddCameraForm &d) {
            d.c_pEditCameraName->setText("Yard");
            d.c_pEditRtspUrl->setText("rtsp://10.0.0.300/live");
            OnModal<TMsgTipForm>(
                [&](TMsgTipForm &tip) {
                    EXPECT_EQ(tip.c_pLabelMsg->text(), "RTSP URL validation failed. Please re-enter.");
                    tip.done(1);
                },
                &tipSeen);
            d.OnImageOkClick(); // the message box runs its own loop, then the dialog stays
            EXPECT_TRUE(d.isVisible());
            d.c_pEditRtspUrl->setText("rtsp://10.0.0.30/live");
            d.OnImageOkClick();
        },
        &seen);
    form->OnMenuItemAddCameraClick();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(tipSeen);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"5", "6", "40"}));
    EXPECT_EQ(CurrentSelection.groupId, kGroupIdCamera);
}

TEST_F(MainCameraMenu, EditOfTheSelectedCameraIsStoredAndListed)
{
    ListCameras();
    ASSERT_TRUE(form->SelectUserCell(kUserTypeCamera, "5", false));
    bool seen = false;
    OnModal<TEditCameraForm>(
        [&](TEditCameraForm &d) {
            EXPECT_EQ(d.c_pEditCameraName->text(), "Gate");
            d.c_pEditCameraName->setText("Main Gate");
            d.c_pEditRtspUrl->setText("rtsp://10.0.0.5:8554/main");
            d.OnImageOkClick();
        },
        &seen);
    form->OnMenuItemEditCameraClick();
    EXPECT_TRUE(seen);
    EXPECT_EQ(cache.cameras[0].cname, "Main Gate");
    EXPECT_EQ(cache.cameras[0].port, 8554);
    EXPECT_EQ(form->UserCells()[0]->GetUserName(), "Main Gate");
}

TEST_F(MainCameraMenu, DeleteAsksFirstAndReportsAFailure)
{
    ListCameras();
    ASSERT_TRUE(form->SelectUserCell(kUserTypeCamera, "6", false));
    bool asked = false;
    OnModal<TConfirmForm>([](TConfirmForm &d) { d.OnImageCancelClick(); }, &asked);
    form->OnMenuItemDeleteCameraClick();
    EXPECT_TRUE(asked);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"5", "6"}));

    store.failDelete = true;
    bool tipSeen = false;
    asked = false;
    OnModal<TConfirmForm>(
        [&](TConfirmForm &d) {
            EXPECT_EQ(d.c_pLabelMsg->text(), "Are you sure you want to delete it?");
            OnModal<TMsgTipForm>(
                [](TMsgTipForm &tip) {
                    EXPECT_EQ(tip.c_pLabelMsg->text(), "The operation failed. Please try again later.");
                    tip.done(1);
                },
                &tipSeen);
            d.done(1);
        },
        &asked);
    form->OnMenuItemDeleteCameraClick();
    EXPECT_TRUE(tipSeen);
    EXPECT_EQ(cache.cameras.size(), 2u);

    store.failDelete = false;
    OnModal<TConfirmForm>([](TConfirmForm &d) { d.done(1); }, &asked);
    form->OnMenuItemDeleteCameraClick();
    EXPECT_EQ(Listed(), (std::vector<std::string>{"5"}));
}

TEST_F(MainCameraMenu, CameraStateMessageReachesTheCacheAndTheTile)
{
    ListCameras();
    ASSERT_EQ(form->UserCells()[0]->GetUserNumber(), "5");
    EXPECT_EQ(form->UserCells()[0]->PresencePicture(), "IMG_PRESENCE_ONLINE");
    PostWindowMessage(form.get(), WM_CAMERA_STATE, 5, 0);
    QCoreApplication::sendPostedEvents(form.get());
    EXPECT_EQ(cache.cameras[0].status, 0);
    RefreshTick(*form);
    EXPECT_EQ(form->UserCells()[0]->PresencePicture(), "IMG_PRESENCE_INVISIBLE");
    PostWindowMessage(form.get(), WM_CAMERA_STATE, 5, 1);
    QCoreApplication::sendPostedEvents(form.get());
    EXPECT_EQ(cache.cameras[0].status, 1);
    RefreshTick(*form);
    EXPECT_EQ(form->UserCells()[0]->PresencePicture(), "IMG_PRESENCE_ONLINE");
}
