#pragma once
// The modal "Setting" dialog opened from the main window's setting picture: the window
// title, the department text, the recording folder, the local capture camera with its
// resolution and frame rate, and the local preview flag. OK writes each changed value
// through the configuration's setters (ending with 1); Cancel and the close picture
// write nothing (2).
#include "console/ConfigSettings.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class SkinImageMap;

class TConfigDlgForm : public QDialog {
    Q_OBJECT
public:
    using CameraSource = std::function<std::vector<VideoCaptureDevice>()>;

    // Lists the cameras from the source (the machine's capture devices by default).
    explicit TConfigDlgForm(QWidget *owner, CameraSource cameras = EnumVideoCaptureDevices);

    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    void LoadSettings();
    void EnumCameras();
    // Writes the changed values; false (with the reason shown) when a key could not be
    // written.
    bool ApplySettings();
    // What the controls hold now, as OK would write it.
    ConfigDialogValues CurrentValues() const;

    void OnImageCloseClick();
    void OnImageOkClick();
    void OnImageCancelClick();
    void OnImagePathBrowseClick();
    void OnComboBoxCamerasChange();
    void OnComboBoxVideoSizeChange();

    // The folder picker and the message box (tests replace them).
    std::function<std::string()> BrowseFolder;
    std::function<void(const std::string &)> ShowTip;

    QLabel *c_pLabelTitle = nullptr;
    QTabWidget *c_pPageControl = nullptr;
    // Group frames and the captions in front of the fields.
    QGroupBox *c_pGroupGeneral = nullptr;
    QGroupBox *c_pGroupRecording = nullptr;
    QGroupBox *c_pGroupVideo = nullptr;
    QGroupBox *c_pGroupVersion = nullptr;
    QLabel *c_pLabeAppTitle = nullptr;
    QLabel *c_pLabeDepartment = nullptr;
    QLabel *c_pLabelSavePath = nullptr;
    QLabel *c_pLabelTip = nullptr;
    QLabel *c_pLabelCamera = nullptr;
    QLabel *c_pLabelVideoSize = nullptr;
    QLabel *c_pLabelVideoFps = nullptr;
    QLabel *c_pLabelVersionCaption = nullptr;
    QLabel *c_pLabelLanguageCaption = nullptr;
    QLineEdit *c_pEditAppTitle = nullptr;
    QLineEdit *c_pEditDepartment = nullptr;
    QLineEdit *c_pEditSavePath = nullptr;
    QLabel *c_pImagePathBrowse = nullptr;
    QLabel *c_pLabelPathBrowse = nullptr;
    QComboBox *c_pComboBoxCameras = nullptr;
    QComboBox *c_pComboBoxVideoSize = nullptr;
    QComboBox *c_pComboBoxVideoFps = nullptr;
    QCheckBox *c_pCheckBoxCameraPreview = nullptr;
    // The version and language texts themselves.
    QLabel *c_pLabelVersion = nullptr;
    QLabel *c_pLabelLanguage = nullptr;
    QLabel *c_pImageClose = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOk = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SkinImageMap *m_pImageMap = nullptr;
    CameraSource m_cameraSource;
    ConfigCameraList m_cameras;
    bool m_filling = false;
};
