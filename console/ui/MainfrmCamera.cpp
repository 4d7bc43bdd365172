// The camera menu of the main window's user list (add, edit and delete a camera) and
// the Record tool of the RTSP previews. What each menu entry does is CCameraMenu's;
// this file opens the dialogs and the menu.
#include "console/ui/Mainfrm.h"

#include "console/CurrentSelection.h"
#include "console/ui/Camerafrm.h"
#include "console/ui/Confirmfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinImageMap.h"
#include "core/EditionText.h"
#include "video/CameraForms.h"
#include "video/CameraMenu.h"
#include "video/RtspClient.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace {

class MainCameraMenuHost : public ICameraMenuHost {
public:
    MainCameraMenuHost(QWidget *owner, ICameraStore *store, std::function<void()> reload)
        : m_owner(owner), m_store(store), m_reload(std::move(reload))
    {
    }
    int RunAddCameraDialog() override
    {
        TAddCameraForm dialog(m_owner, m_store);
        return dialog.exec();
    }
    int RunEditCameraDialog(const ST_ZOX_RTSP_CAMERA &camera) override
    {
        TEditCameraForm dialog(m_owner, camera, m_store);
        return dialog.exec();
    }
    int AskDeleteCamera() override
    {
        TConfirmForm dialog(m_owner, ZoxText(EN_ZOX_TEXT::CameraDeleteQuestion));
        return dialog.exec();
    }
    void ShowTip(EN_ZOX_TEXT message) override { ShowMsgTip(ZoxText(message)); }
    void ReloadCameraList() override { m_reload(); }
    CRtspClient *RtspClient() override { return g_pRtspClient; }

private:
    QWidget *m_owner;
    ICameraStore *m_store;
    std::function<void()> m_reload;
};

} // namespace

void TMainForm::BuildCameraMenu()
{
    c_pPopupMenuCamera = new QMenu(this);
    c_pPopupMenuCamera->setObjectName(QStringLiteral("c_pPopupMenuCamera"));
    c_pMenuItemAddCamera = c_pPopupMenuCamera->addAction(ZoxQText(EN_ZOX_TEXT::CameraMenuAdd));
    c_pMenuItemEditCamera = c_pPopupMenuCamera->addAction(ZoxQText(EN_ZOX_TEXT::CameraMenuEdit));
    c_pMenuItemDeleteCamera = c_pPopupMenuCamera->addAction(ZoxQText(EN_ZOX_TEXT::CameraMenuDelete));
    // The entries run after the menu has closed, not inside its event handling.
    connect(c_pMenuItemAddCamera, &QAction::triggered, this, [this] { OnMenuItemAddCameraClick(); },
            Qt::QueuedConnection);
    connect(c_pMenuItemEditCamera, &QAction::triggered, this, [this] { OnMenuItemEditCameraClick(); },
            Qt::QueuedConnection);
    connect(c_pMenuItemDeleteCamera, &QAction::triggered, this, [this] { OnMenuItemDeleteCameraClick(); },
            Qt::QueuedConnection);
    m_pImageMap->SetOnClick(c_pImageCameraMenu, [this](QLabel *) { OnImageCameraMenuClick(); });
}

ICameraStore *TMainForm::CameraStore() const { return m_pCameraStore ? m_pCameraStore : DefaultCameraStore(); }

void TMainForm::ReloadCameraList()
{
    // Forgetting the listed group makes the click read the cameras again.
    CurrentSelection.groupId = -1;
    SelectGroupCell(CCameraMenu::kOwnerCamera, 0xFFFE);
}

void TMainForm::OnImageCameraMenuClick()
{
    if (!CCameraMenu::CanOpen(CurrentSelection.groupId))
        return;
    const bool camera = IsCameraSelected();
    c_pMenuItemEditCamera->setEnabled(camera);
    c_pMenuItemDeleteCamera->setEnabled(camera);
    const QPoint at = c_pImageCameraMenu->mapToGlobal(QPoint(0, 0));
    c_pPopupMenuCamera->popup(QPoint(at.x() + c_pImageCameraMenu->width() + 2, at.y() + 5));
}

void TMainForm::OnMenuItemAddCameraClick()
{
    MainCameraMenuHost host(this, CameraStore(), [this] { ReloadCameraList(); });
    CCameraMenu(*CameraStore(), host).Add();
}

void TMainForm::OnMenuItemEditCameraClick()
{
    if (!IsCameraSelected())
        return;
    MainCameraMenuHost host(this, CameraStore(), [this] { ReloadCameraList(); });
    const std::string cid = CurrentSelection.user.userNumber; // the dialog's refreshes may change the selection
    CCameraMenu(*CameraStore(), host).Edit(cid);
}

void TMainForm::OnMenuItemDeleteCameraClick()
{
    if (!IsCameraSelected())
        return;
    MainCameraMenuHost host(this, CameraStore(), [this] { ReloadCameraList(); });
    const std::string cid = CurrentSelection.user.userNumber;
    CCameraMenu(*CameraStore(), host).Delete(cid);
}

