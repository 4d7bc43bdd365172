#include "console/ui/Callprogressfrm.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "console/ui/SkinImageMap.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"

TCallProgressForm::TCallProgressForm(QObject *owner, QWidget *parent) : QWidget(parent), m_owner(owner)
{
    setObjectName(QStringLiteral("TCallProgressForm"));
    setFixedSize(226, 222);
    c_pPanelTitle = new QFrame(this);
    c_pPanelTitle->setGeometry(0, 0, 226, 26);
    c_pPanelTitle->setStyleSheet(QStringLiteral("QFrame { background: #2B313D; border: 1px solid black; }"));
    c_pImageClose = new QLabel(c_pPanelTitle);
    c_pImageClose->setGeometry(226 - 25, 1, 24, 24);
    c_pPanelCenter = new QFrame(this);
    c_pPanelCenter->setGeometry(0, 26, 226, 196);
    c_pPanelCenter->setStyleSheet(QStringLiteral("QFrame { background: #3F3F3F; }"));
    c_pLabelNumber = new QLabel(c_pPanelCenter);
    c_pLabelNumber->setGeometry(0, 0, 226, 36);
    c_pLabelNumber->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    QFont big(QString::fromUtf8(zox::edition::kFormFaceArial));
    big.setPixelSize(16);
    big.setBold(true);
    c_pLabelNumber->setFont(big);
    c_pLabelNumber->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    c_pLabelStatus = new QLabel(ZoxQText(EN_ZOX_TEXT::CallCalling), c_pPanelCenter);
    c_pLabelStatus->setGeometry(0, 36, 226, 30);
    c_pLabelStatus->setAlignment(Qt::AlignCenter);
    QFont small(QString::fromUtf8(zox::edition::kFormFaceArial));
    small.setPixelSize(12);
    c_pLabelStatus->setFont(small);
    c_pLabelStatus->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    c_pImageButton = new QLabel(this);
    c_pImageButton->setGeometry(85, 131, 48, 48);
    m_pImageMap = new SkinImageMap(2, this);
    m_pImageMap->Add(c_pImageClose, {"IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_FOCUSED",
                                     "IMG_BTN_CLOSE_PRESSED"});
    m_pImageMap->Add(c_pImageButton,
                     {"IMG_BTN_HUNGUP_NORMAL", "IMG_BTN_HUNGUP_NORMAL", "IMG_BTN_HUNGUP_FOCUSED",
                      "IMG_BTN_HUNGUP_PRESSED"},
                     {"IMG_BTN_CALL_NORMAL", "IMG_BTN_CALL_NORMAL", "IMG_BTN_CALL_FOCUSED", "IMG_BTN_CALL_PRESSED"},
                     [this] { return m_buttonMode; });
    m_pImageMap->SetOnClick(c_pImageClose, [this](QLabel *) { OnImageCloseClick(); });
    m_pImageMap->SetOnClick(c_pImageButton, [this](QLabel *) { OnImageButtonClick(); });
    hide();
}

void TCallProgressForm::SetNumber(const std::string &number) { c_pLabelNumber->setText(QString::fromStdString(number)); }

std::string TCallProgressForm::GetNumber() const { return c_pLabelNumber->text().toStdString(); }

void TCallProgressForm::SetStatusText(const std::string &text) { c_pLabelStatus->setText(QString::fromStdString(text)); }

void TCallProgressForm::SetButtonMode(int mode)
{
    m_buttonMode = mode;
    m_pImageMap->SetImageCtrlStatus(c_pImageClose, 1);
    m_pImageMap->SetImageCtrlStatus(c_pImageButton, 1);
}

void TCallProgressForm::ShowInPanel(QWidget *panel)
{
    setParent(panel);
    setGeometry(panel->rect());
    show();
    m_shownInPanel = true;
}

void TCallProgressForm::HideFromPanel()
{
    hide();
    setParent(nullptr);
    m_shownInPanel = false;
}

void TCallProgressForm::OnImageCloseClick() { PostWindowMessage(m_owner, WM_CALLPROGRESS_CLOSE, uintptr_t(0), intptr_t(0)); }

void TCallProgressForm::OnImageButtonClick()
{
    PostWindowMessage(m_owner, m_buttonMode == 0 ? WM_CALLPROGRESS_HANGUP : WM_CALLPROGRESS_REDIAL, uintptr_t(0), intptr_t(0));
}
