#include "console/ui/Camerafrm.h"

#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/Edition.h"
#include "core/EditionText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kFormWidth = 480;
constexpr int kFormHeight = 300;
constexpr int kTitleHeight = 30;
constexpr int kBottomHeight = 40;
const QColor kTitleColour(0, 45, 62);
const QColor kBodyColour(0, 28, 39);

// What the cache columns hold at most.
constexpr int kNameMax = 128;
constexpr int kUrlMax = 512;
constexpr int kUserMax = 128;

QFont FormFont(int pixels, bool bold = false)
{
    QFont f(QString::fromUtf8(zox::edition::kFormFace));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QString Q(const std::string &s) { return QString::fromStdString(s); }
std::string S(const QString &s) { return s.toStdString(); }

QLabel *FieldLabel(QWidget *parent, EN_ZOX_TEXT text, int top, const char *name)
{
    auto *l = new QLabel(ZoxQText(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(15, top, 84, 16);
    // The substitute of the designed face runs wider: a caption keeps to its room.
    int pixels = 12;
    l->setFont(FormFont(pixels));
    while (pixels > 9 && l->fontMetrics().horizontalAdvance(l->text()) > l->width())
        l->setFont(FormFont(--pixels));
    l->setStyleSheet(QStringLiteral("color: #F0F0F0; background: transparent;"));
    return l;
}

QLineEdit *FieldEdit(QWidget *parent, int top, int maxLength, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(100, top, 360, 21);
    e->setMaxLength(maxLength);
    e->setFont(FormFont(12));
    e->setStyleSheet(QStringLiteral("QLineEdit { color: #F0F0F0; background: #001C27; border: 1px solid #2B4856; }"
                                    "QLineEdit:hover, QLineEdit:focus { border: 1px solid #F09B14; }"));
    return e;
}

QCheckBox *CheckBox(QWidget *parent, EN_ZOX_TEXT text, int left, const char *name)
{
    auto *c = new QCheckBox(ZoxQText(text), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(left, 180, 130, 17);
    c->setFont(FormFont(12));
    c->setStyleSheet(QStringLiteral("color: #F0F0F0; background: transparent;"));
    return c;
}

} // namespace

TCameraFormBase::TCameraFormBase(QWidget *owner, ICameraStore *store, const QString &title)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_pStore(store ? store : DefaultCameraStore())
{
    setWindowTitle(title);
    setFixedSize(kFormWidth, kFormHeight);
    setModal(true);
    ShowTip = [](const std::string &t) { ShowMsgTip(t); };
    m_pImageMap = new SkinImageMap(3, this);

    auto t = zox::skin::MakeTitleBar(this, m_pImageMap, title, 10, [this] { OnImageCloseClick(); });
    t.panel->setGeometry(0, 0, kFormWidth, kTitleHeight);
    auto *titleLine = new QFrame(t.panel);
    titleLine->setGeometry(0, kTitleHeight - 1, kFormWidth, 1);
    titleLine->setStyleSheet(QStringLiteral("background: #001C27;"));
    c_pLabelTitle = t.caption;
    c_pLabelTitle->resize(90, kTitleHeight);
    QFont titleFont = zox::edition::kChinese ? QFont(QString::fromUtf8("宋体")) : QFont(QStringLiteral("Tahoma"));
    titleFont.setPixelSize(13);
    titleFont.setBold(true);
    c_pLabelTitle->setFont(titleFont);
    c_pImageClose = t.close;
    c_pImageClose->move(kFormWidth - 30, 0);
    c_pImageClose->setToolTip(ZoxQText(EN_ZOX_TEXT::ExitHint));

    auto *middle = new TSkinPanel(this, kBodyColour);
    middle->setGeometry(0, kTitleHeight, kFormWidth, kFormHeight - kTitleHeight - kBottomHeight);
    c_pLabelCameraName = FieldLabel(middle, EN_ZOX_TEXT::CameraNameLabel, 13, "c_pLabelCameraName");
    c_pLabelRtspUrl = FieldLabel(middle, EN_ZOX_TEXT::CameraRtspUrlLabel, 46, "c_pLabelRtspUrl");
    c_pLabelUsername = FieldLabel(middle, EN_ZOX_TEXT::CameraUsernameLabel, 79, "c_pLabelUsername");
    c_pLabePassword = FieldLabel(middle, EN_ZOX_TEXT::CameraPasswordLabel, 112, "c_pLabePassword");
    c_pLabeTransport = FieldLabel(middle, EN_ZOX_TEXT::CameraTransportLabel, 145, "c_pLabeTransport");
    c_pEditCameraName = FieldEdit(middle, 12, kNameMax, "c_pEditCameraName");
    c_pEditRtspUrl = FieldEdit(middle, 45, kUrlMax, "c_pEditRtspUrl");
    c_pEditUsername = FieldEdit(middle, 78, kUserMax, "c_pEditUsername");
    c_pEditPassword = FieldEdit(middle, 110, kUserMax, "c_pEditPassword");
    c_pEditPassword->setEchoMode(QLineEdit::Password);
    c_pComboTransport = new QComboBox(middle);
    c_pComboTransport->setObjectName(QStringLiteral("c_pComboTransport"));
    c_pComboTransport->setGeometry(100, 142, 100, 21);
    c_pComboTransport->setEditable(false);
    c_pComboTransport->setFont(FormFont(12));
    c_pComboTransport->addItems({QStringLiteral("UDP"), QStringLiteral("TCP")});
    c_pCheckBoxEnabled = CheckBox(middle, EN_ZOX_TEXT::CameraEnabledCheck, 100, "c_pCheckBoxEnabled");
    c_pCheckBoxEnabled->setChecked(true);
    c_pCheckBoxDispatcher = CheckBox(middle, EN_ZOX_TEXT::CameraDispatcherCheck, 236, "c_pCheckBoxDispatcher");
    c_pCheckBoxDispatcher->hide();

    QWidget::setTabOrder(c_pEditCameraName, c_pEditRtspUrl);
    QWidget::setTabOrder(c_pEditRtspUrl, c_pEditUsername);
    QWidget::setTabOrder(c_pEditUsername, c_pEditPassword);
    QWidget::setTabOrder(c_pEditPassword, c_pComboTransport);
    QWidget::setTabOrder(c_pComboTransport, c_pCheckBoxEnabled);
    QWidget::setTabOrder(c_pCheckBoxEnabled, c_pCheckBoxDispatcher);

    auto *bottom = new TSkinPanel(this, kBodyColour);
    bottom->setGeometry(0, kFormHeight - kBottomHeight, kFormWidth, kBottomHeight);
    c_pImageOk = zox::skin::MakePictureButton(bottom, m_pImageMap, QRect(327, 7, 60, 24), zox::skin::kGreenButton,
                                              ZoxQText(EN_ZOX_TEXT::Ok), &c_pLabelOK, [this] { OnImageOkClick(); });
    c_pImageCancel = zox::skin::MakePictureButton(bottom, m_pImageMap, QRect(397, 7, 60, 24), zox::skin::kGrayButton,
                                                  ZoxQText(EN_ZOX_TEXT::Cancel), &c_pLabelCancel,
                                                  [this] { OnImageCancelClick(); });
    InitControls();
    c_pEditCameraName->setFocus();
}

void TCameraFormBase::InitControls()
{
    for (QLabel *p : {c_pImageClose, c_pImageOk, c_pImageCancel})
        m_pImageMap->SetImageCtrlStatus(p, 1);
    c_pComboTransport->setCurrentIndex(0);
}

CameraFormFields TCameraFormBase::ReadFields() const
{
    CameraFormFields f;
    f.name = S(c_pEditCameraName->text());
    f.url = S(c_pEditRtspUrl->text());
    f.username = S(c_pEditUsername->text());
    f.password = S(c_pEditPassword->text());
    f.transport = c_pComboTransport->currentIndex() == 1 ? 1 : 0;
    f.enabled = c_pCheckBoxEnabled->isChecked();
    f.dispatcher = c_pCheckBoxDispatcher->isChecked();
    return f;
}

void TCameraFormBase::Tip(EN_ZOX_TEXT message)
{
    if (ShowTip)
        ShowTip(ZoxText(message));
}

void TCameraFormBase::OnImageCancelClick() { done(2); }

void TCameraFormBase::OnImageCloseClick() { done(2); }

void TCameraFormBase::showEvent(QShowEvent *event)
{
    zox::skin::CentreOnOwner(this);
    QDialog::showEvent(event);
}

void TCameraFormBase::keyPressEvent(QKeyEvent *event)
{
    // No small window closes on Esc, and Enter is no OK here.
    event->accept();
}

// ---------------------------------------------------------------------------------

TAddCameraForm::TAddCameraForm(QWidget *owner, ICameraStore *store)
    : TCameraFormBase(owner, store, ZoxQText(EN_ZOX_TEXT::CameraAddTitle))
{
    setObjectName(QStringLiteral("TAddCameraForm"));
}

bool TAddCameraForm::Validate()
{
    EN_ZOX_TEXT message{};
    if (AddCamera(ReadFields(), *m_pStore, message))
        return true;
    Tip(message);
    return false;
}

void TAddCameraForm::OnImageOkClick()
{
    if (Validate())
        done(1);
}

// ---------------------------------------------------------------------------------

TEditCameraForm::TEditCameraForm(QWidget *owner, const ST_ZOX_RTSP_CAMERA &camera, ICameraStore *store)
    : TCameraFormBase(owner, store, ZoxQText(EN_ZOX_TEXT::CameraEditTitle)), m_camera(camera)
{
    setObjectName(QStringLiteral("TEditCameraForm"));
    LoadCamera();
}

void TEditCameraForm::LoadCamera()
{
    const CameraFormFields f = FieldsOfCamera(m_camera);
    c_pEditCameraName->setText(Q(f.name));
    c_pEditRtspUrl->setText(Q(f.url));
    c_pEditUsername->setText(Q(f.username));
    c_pEditPassword->setText(Q(f.password));
    c_pComboTransport->setCurrentIndex(f.transport);
    c_pCheckBoxEnabled->setChecked(f.enabled);
    c_pCheckBoxDispatcher->setChecked(f.dispatcher);
}

int TEditCameraForm::SaveCamera()
{
    EN_ZOX_TEXT message{};
    const int rc = ::SaveCamera(ReadFields(), m_camera, *m_pStore, message);
    if (rc < 0)
        Tip(message);
    return rc;
}

void TEditCameraForm::OnImageOkClick()
{
    switch (SaveCamera()) {
    case 0: done(1); break;
    case 1: done(2); break;
    default: break; // stays open
    }
}
