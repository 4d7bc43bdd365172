#pragma once
// The camera dialogs: "Add Camera" (TAddCameraForm) and "Edit Camera"
// (TEditCameraForm), one borderless 480 x 300 layout. The checks and the writes are
// video/CameraForms' ; the dialogs read their entries and show the messages.
// OK ends with 1 once the camera was stored; Cancel and the exit picture with 2; a
// refused entry leaves the dialog open as typed.
#include "video/CameraForms.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class SkinImageMap;

class TCameraFormBase : public QDialog {
    Q_OBJECT
public:
    // The message box (the information box unless replaced, e.g. by tests).
    std::function<void(const std::string &)> ShowTip;

    void OnImageCancelClick();
    void OnImageCloseClick();
    virtual void OnImageOkClick() = 0;

    // The entries as the dialog holds them now.
    CameraFormFields ReadFields() const;

    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QLabel *c_pLabelCameraName = nullptr;
    QLabel *c_pLabelRtspUrl = nullptr;
    QLabel *c_pLabelUsername = nullptr;
    QLabel *c_pLabePassword = nullptr;
    QLabel *c_pLabeTransport = nullptr;
    QLineEdit *c_pEditCameraName = nullptr;
    QLineEdit *c_pEditRtspUrl = nullptr;
    QLineEdit *c_pEditUsername = nullptr;
    QLineEdit *c_pEditPassword = nullptr;
    QComboBox *c_pComboTransport = nullptr;
    QCheckBox *c_pCheckBoxEnabled = nullptr;
    QCheckBox *c_pCheckBoxDispatcher = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOK = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;

protected:
    TCameraFormBase(QWidget *owner, ICameraStore *store, const QString &title);
    void InitControls();
    void Tip(EN_ZOX_TEXT message);

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    ICameraStore *m_pStore;
    SkinImageMap *m_pImageMap = nullptr;
};

class TAddCameraForm : public TCameraFormBase {
    Q_OBJECT
public:
    // store: where the camera goes (the server-data cache unless given).
    explicit TAddCameraForm(QWidget *owner, ICameraStore *store = nullptr);

    // Checks the entries and inserts the camera; false (message shown) when not.
    bool Validate();
    void OnImageOkClick() override;
};

class TEditCameraForm : public TCameraFormBase {
    Q_OBJECT
public:
    // camera: the row as the cache held it when the dialog opened (kept by reference).
    TEditCameraForm(QWidget *owner, const ST_ZOX_RTSP_CAMERA &camera, ICameraStore *store = nullptr);

    void LoadCamera();
    // 0 saved, 1 unchanged, -1 not saved (message shown).
    int SaveCamera();
    void OnImageOkClick() override;

private:
    const ST_ZOX_RTSP_CAMERA &m_camera;
};
