#include "console/ui/Configdlg.h"

#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/SystemConfig.h"
#include "core/ui/BrowseForFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace zox::skin;

namespace {

QString Q(const std::string &s) { return QString::fromStdString(s); }

// Tabs on the left, 80 x 30, rounded, their captions written across.
class SideTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int) const override { return {80, 30}; }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < count(); ++i) {
            const QRectF r = QRectF(tabRect(i)).adjusted(1, 1, -1, -1);
            const bool selected = i == currentIndex();
            QPainterPath path;
            path.addRoundedRect(r, 4, 4);
            p.fillPath(path, selected ? QColor(0x09, 0x5C, 0x98) : QColor(0x1B, 0x2A, 0x31));
            // Highlight text on the selected tab, the button face (light grey) on the others.
            p.setPen(selected ? QColor(Qt::white) : QColor(0xF0, 0xF0, 0xF0));
            p.drawText(r, Qt::AlignCenter, tabText(i));
        }
    }
};

class PageControl : public QTabWidget {
public:
    explicit PageControl(QWidget *parent) : QTabWidget(parent)
    {
        setTabBar(new SideTabBar(this));
        setTabPosition(QTabWidget::West);
        setDocumentMode(true);
        setStyleSheet(QStringLiteral("QTabWidget::pane { border: none; background: #001C27; }"
                                     "QTabBar { background: #001C27; }"));
    }
};

// A page: RGB #001C27 with a line in RGB #002D3E along its left side.
class Page : public QWidget {
public:
    explicit Page(QWidget *parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x00, 0x1C, 0x27));
        p.fillRect(QRect(0, 0, 2, height()), QColor(0x00, 0x2D, 0x3E));
    }
};

QGroupBox *Group(QWidget *page, const QString &caption, const QRect &rect)
{
    auto *g = new QGroupBox(caption, page);
    g->setGeometry(rect);
    g->setStyleSheet(QStringLiteral("QGroupBox { color: #FFFFFF; border: 1px solid #2B4856; margin-top: 8px; }"
                                    "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"));
    return g;
}

QLabel *Caption(QWidget *parent, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(x, y, 90, 22);
    l->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    return l;
}

const char *kFieldStyle = "color: #FFFFFF; background: #0B2A36; border: 1px solid #2B4856;";

} // namespace

TConfigDlgForm::TConfigDlgForm(QWidget *owner, CameraSource cameras)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_cameraSource(std::move(cameras))
{
    setObjectName(QStringLiteral("TConfigDlgForm"));
    setWindowTitle(ZoxQText(EN_ZOX_TEXT::SettingTitle));
    setModal(true);
    setFixedSize(600, 400);
    QFont font(QString::fromUtf8(zox::edition::kFormFace));
    font.setPixelSize(12);
    setFont(font);
    BrowseFolder = [] { return BrowseForFolder(); };
    ShowTip = [](const std::string &text) { ShowMsgTip(text); };

    m_pImageMap = new SkinImageMap(4, this);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    TitleBar title = MakeTitleBar(
        this, m_pImageMap, ZoxQText(EN_ZOX_TEXT::SettingTitle), 10, [this] { OnImageCloseClick(); },
        zox::edition::kFormTitleFaceSong);
    c_pLabelTitle = title.caption;
    title.caption->resize(200, 30);
    title.close->move(570, 0);
    c_pImageClose = title.close;
    outer->addWidget(title.panel);

    auto *middle = new TSkinPanel(this, QColor(0x00, 0x1C, 0x27));
    middle->setObjectName(QStringLiteral("c_pPanelMiddle"));
    outer->addWidget(middle, 1);
    auto *bottom = new TSkinPanel(this, QColor(0x00, 0x1C, 0x27));
    bottom->setObjectName(QStringLiteral("c_pPanelBottom"));
    bottom->setFixedHeight(44);
    outer->addWidget(bottom);

    c_pPageControl = new PageControl(middle);
    c_pPageControl->setObjectName(QStringLiteral("c_pPageControl"));
    c_pPageControl->setGeometry(10, 10, 580, 306);

    // General
    auto *general = new Page;
    auto *g1 = c_pGroupGeneral = Group(general, ZoxQText(EN_ZOX_TEXT::SettingGroupGeneral), QRect(16, 6, 470, 110));
    c_pLabeAppTitle = Caption(g1, ZoxQText(EN_ZOX_TEXT::SettingAppTitle), 16, 28);
    c_pEditAppTitle = new QLineEdit(g1);
    c_pEditAppTitle->setGeometry(110, 28, 330, 22);
    c_pEditAppTitle->setStyleSheet(kFieldStyle);
    c_pLabeDepartment = Caption(g1, ZoxQText(EN_ZOX_TEXT::SettingDepartment), 16, 66);
    c_pEditDepartment = new QLineEdit(g1);
    c_pEditDepartment->setGeometry(110, 66, 330, 22);
    c_pEditDepartment->setStyleSheet(kFieldStyle);
    c_pPageControl->addTab(general, ZoxQText(EN_ZOX_TEXT::SettingTabGeneral));

    // Video
    auto *video = new Page;
    auto *g2 = c_pGroupRecording = Group(video, ZoxQText(EN_ZOX_TEXT::SettingGroupRecording), QRect(16, 6, 470, 92));
    c_pLabelSavePath = Caption(g2, ZoxQText(EN_ZOX_TEXT::SettingSavePath), 16, 26);
    c_pEditSavePath = new QLineEdit(g2);
    c_pEditSavePath->setGeometry(110, 26, 260, 22);
    c_pEditSavePath->setReadOnly(true);
    c_pEditSavePath->setStyleSheet(kFieldStyle);
    c_pImagePathBrowse = MakePictureButton(g2, m_pImageMap, QRect(380, 25, 60, 24), kGrayButton,
                                           ZoxQText(EN_ZOX_TEXT::SettingBrowse), &c_pLabelPathBrowse,
                                           [this] { OnImagePathBrowseClick(); });
    auto *hint = c_pLabelTip = new QLabel(ZoxQText(EN_ZOX_TEXT::SettingPathTip), g2);
    hint->setGeometry(110, 56, 330, 20);
    hint->setStyleSheet(QStringLiteral("color: #808080; background: transparent;"));

    auto *g3 = c_pGroupVideo = Group(video, ZoxQText(EN_ZOX_TEXT::SettingGroupVideo), QRect(16, 106, 470, 180));
    const auto combo = [g3](int y) {
        auto *c = new QComboBox(g3);
        c->setGeometry(110, y, 330, 22);
        c->setEditable(false);
        c->setStyleSheet(kFieldStyle);
        return c;
    };
    c_pLabelCamera = Caption(g3, ZoxQText(EN_ZOX_TEXT::SettingCamera), 16, 26);
    c_pComboBoxCameras = combo(26);
    c_pLabelVideoSize = Caption(g3, ZoxQText(EN_ZOX_TEXT::SettingVideoSize), 16, 60);
    c_pComboBoxVideoSize = combo(60);
    c_pLabelVideoFps = Caption(g3, ZoxQText(EN_ZOX_TEXT::SettingVideoFps), 16, 94);
    c_pComboBoxVideoFps = combo(94);
    c_pCheckBoxCameraPreview = new QCheckBox(ZoxQText(EN_ZOX_TEXT::SettingCameraPreview), g3);
    c_pCheckBoxCameraPreview->setGeometry(16, 136, 400, 22);
    c_pCheckBoxCameraPreview->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    c_pPageControl->addTab(video, ZoxQText(EN_ZOX_TEXT::SettingTabVideo));

    // About
    auto *about = new Page;
    auto *g4 = c_pGroupVersion = Group(about, ZoxQText(EN_ZOX_TEXT::SettingGroupVersion), QRect(16, 6, 470, 110));
    c_pLabelVersionCaption = Caption(g4, ZoxQText(EN_ZOX_TEXT::SettingVersion), 16, 28);
    c_pLabelVersion = Caption(g4, QString(), 110, 28);
    c_pLabelVersion->resize(300, 22);
    c_pLabelLanguageCaption = Caption(g4, ZoxQText(EN_ZOX_TEXT::SettingLanguage), 16, 66);
    c_pLabelLanguage = Caption(g4, QString(), 110, 66);
    c_pLabelLanguage->resize(300, 22);
    c_pPageControl->addTab(about, ZoxQText(EN_ZOX_TEXT::SettingTabAbout));

    c_pImageOk = MakePictureButton(bottom, m_pImageMap, QRect(440, 10, 60, 24), kGreenButton, ZoxQText(EN_ZOX_TEXT::Ok),
                                   &c_pLabelOk, [this] { OnImageOkClick(); });
    c_pImageCancel = MakePictureButton(bottom, m_pImageMap, QRect(515, 10, 60, 24), kGrayButton,
                                       ZoxQText(EN_ZOX_TEXT::Cancel), &c_pLabelCancel,
                                       [this] { OnImageCancelClick(); });

    connect(c_pComboBoxCameras, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            OnComboBoxCamerasChange();
    });
    connect(c_pComboBoxVideoSize, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            OnComboBoxVideoSizeChange();
    });

    // A styled widget takes its font from the application rather than from its parent,
    // so every text without a font of its own is given the form's face here.
    for (QWidget *w : findChildren<QWidget *>())
        if (!w->testAttribute(Qt::WA_SetFont))
            w->setFont(font);

    c_pPageControl->setCurrentIndex(0);
    LoadSettings();
    EnumCameras();
}

void TConfigDlgForm::LoadSettings()
{
    if (g_pSystemConfig) {
        c_pEditAppTitle->setText(Q(g_pSystemConfig->GetTitle()));
        c_pEditDepartment->setText(Q(g_pSystemConfig->GetDepartment()));
        c_pEditSavePath->setText(Q(g_pSystemConfig->GetRecordPath()));
        c_pCheckBoxCameraPreview->setChecked(g_pSystemConfig->IsCameraPreview());
    }
    c_pLabelVersion->setText(QString::fromUtf8(zox::edition::kVersionText));
    c_pLabelLanguage->setText(QString::fromUtf8(zox::edition::kLanguageText));
}

void TConfigDlgForm::EnumCameras()
{
    m_filling = true;
    c_pComboBoxCameras->clear();
    m_cameras = BuildCameraList(m_cameraSource ? m_cameraSource() : std::vector<VideoCaptureDevice>{});
    for (const auto &name : m_cameras.names)
        c_pComboBoxCameras->addItem(Q(name));
    const int configured = g_pSystemConfig ? g_pSystemConfig->GetCameraId() : -1;
    c_pComboBoxCameras->setCurrentIndex(configured >= 0 && configured < c_pComboBoxCameras->count() ? configured : -1);
    m_filling = false;
    OnComboBoxCamerasChange();
}

void TConfigDlgForm::OnComboBoxCamerasChange()
{
    m_filling = true;
    c_pComboBoxVideoSize->clear();
    c_pComboBoxVideoFps->clear();
    m_filling = false;
    const auto it = m_cameras.formats.find(c_pComboBoxCameras->currentIndex());
    if (c_pComboBoxCameras->currentIndex() < 0 || it == m_cameras.formats.end())
        return;
    int selected = -1;
    const uint32_t configured = g_pSystemConfig ? g_pSystemConfig->GetResolution() : UINT32_MAX;
    m_filling = true;
    for (const auto &e : ResolutionEntries(it->second, configured, &selected))
        c_pComboBoxVideoSize->addItem(Q(e.text), QString::number(e.size));
    c_pComboBoxVideoSize->setCurrentIndex(selected);
    m_filling = false;
    OnComboBoxVideoSizeChange();
}

void TConfigDlgForm::OnComboBoxVideoSizeChange()
{
    c_pComboBoxVideoFps->clear();
    const auto it = m_cameras.formats.find(c_pComboBoxCameras->currentIndex());
    if (c_pComboBoxVideoSize->currentIndex() < 0 || it == m_cameras.formats.end())
        return;
    int selected = -1;
    const uint32_t configured = g_pSystemConfig ? g_pSystemConfig->GetFps() : UINT32_MAX;
    for (uint32_t fps : FpsEntries(it->second, c_pComboBoxVideoSize->currentText().toStdString(), configured,
                                   &selected))
        c_pComboBoxVideoFps->addItem(QString::number(fps));
    c_pComboBoxVideoFps->setCurrentIndex(selected);
}

ConfigDialogValues TConfigDlgForm::CurrentValues() const
{
    ConfigDialogValues v;
    v.title = c_pEditAppTitle->text().toStdString();
    v.department = c_pEditDepartment->text().toStdString();
    v.recordPath = c_pEditSavePath->text().toStdString();
    v.cameraPosition = c_pComboBoxCameras->currentIndex();
    if (c_pComboBoxVideoSize->currentIndex() >= 0) {
        bool ok = false;
        const int size = c_pComboBoxVideoSize->currentData().toString().toInt(&ok);
        v.sizeIndex = ok ? size : -1;
    }
    if (c_pComboBoxVideoFps->currentIndex() >= 0) {
        bool ok = false;
        const int fps = c_pComboBoxVideoFps->currentText().toInt(&ok);
        v.fps = ok ? fps : -1;
    }
    v.cameraPreview = c_pCheckBoxCameraPreview->isChecked();
    return v;
}

bool TConfigDlgForm::ApplySettings()
{
    if (!g_pSystemConfig)
        return false;
    try {
        ApplyConfigValues(*g_pSystemConfig, CurrentValues());
    } catch (const EIniFileException &e) {
        if (ShowTip)
            ShowTip(e.what());
        return false;
    }
    return true;
}

void TConfigDlgForm::OnImageOkClick()
{
    // A key that could not be written has been reported; the values in memory have
    // changed all the same, so the main window applies them.
    ApplySettings();
    done(kResultOk);
}

void TConfigDlgForm::OnImageCancelClick() { done(kResultCancel); }

void TConfigDlgForm::OnImageCloseClick() { done(kResultCancel); }

void TConfigDlgForm::OnImagePathBrowseClick()
{
    const std::string folder = BrowseFolder ? BrowseFolder() : std::string();
    if (!folder.empty())
        c_pEditSavePath->setText(Q(folder));
}

void TConfigDlgForm::showEvent(QShowEvent *event)
{
    CentreOnOwner(this);
    QDialog::showEvent(event);
}

void TConfigDlgForm::keyPressEvent(QKeyEvent *event)
{
    // Neither Enter nor Esc closes the dialog.
    event->accept();
}
