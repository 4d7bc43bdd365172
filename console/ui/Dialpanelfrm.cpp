#include "console/ui/Dialpanelfrm.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/TDialBtnCtrl.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"

namespace {

TDialPanelForm *Pad(const void *owner) { return static_cast<TDialPanelForm *>(const_cast<void *>(owner)); }

} // namespace

TDialPanelForm::TDialPanelForm(QObject *owner, QWidget *parent) : QWidget(parent), m_owner(owner)
{
    setObjectName(QStringLiteral("TDialPanelForm"));
    setFixedSize(226, 222);
    c_pPanelCenter = new QFrame(this);
    c_pPanelCenter->setGeometry(0, 0, 226, 222);
    c_pPanelCenter->setStyleSheet(QStringLiteral("QFrame { background: #3F3F3F; }"));
    c_pEditNumber = new QLineEdit(c_pPanelCenter);
    c_pEditNumber->setObjectName(QStringLiteral("c_pEditNumber"));
    c_pEditNumber->setGeometry(5, 5, 185, 28);
    c_pEditNumber->setMaxLength(kMaxDigits);
    c_pEditNumber->setFrame(false);
    QFont f(QString::fromUtf8(zox::edition::kFormFaceArial));
    f.setPixelSize(19);
    c_pEditNumber->setFont(f);
    c_pEditNumber->setStyleSheet(QStringLiteral("QLineEdit { background: #424242; color: white; border: none; }"));
    c_pEditNumber->installEventFilter(this);
    c_pImageContact = new QLabel(c_pPanelCenter);
    c_pImageContact->setGeometry(194, 5, 28, 28);
    c_pImageContact->setAlignment(Qt::AlignCenter);
    m_pImageMap = new SkinImageMap(1, this);
    m_pImageMap->Add(c_pImageContact, {"IMG_WX_BTN_CONTACT_NORMAL", "IMG_WX_BTN_CONTACT_NORMAL",
                                       "IMG_WX_BTN_CONTACT_FOCUSED", "IMG_WX_BTN_CONTACT_PRESSED"});
    m_pImageMap->SetOnClick(c_pImageContact, [this](QLabel *) { OnImageContactClick(); });
    c_pFlowPanel = new QWidget(c_pPanelCenter);
    c_pFlowPanel->setGeometry(5, 38, 217, 180);
    c_pFlowPanel->setStyleSheet(QStringLiteral("background: #424242;"));
    CreateDialKeys();
    hide();
}

void TDialPanelForm::CreateDialKeys()
{
    auto *grid = new QGridLayout(c_pFlowPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    struct Key {
        const char *picture;
        const char *text;
        TDialBtnCtrl::Callback fn;
    };
    const Key keys[] = {
        {"IMG_DIAL_PAD_NUM1", "1", AppendDigit}, {"IMG_DIAL_PAD_NUM2", "2", AppendDigit},
        {"IMG_DIAL_PAD_NUM3", "3", AppendDigit}, {"IMG_DIAL_PAD_NUM4", "4", AppendDigit},
        {"IMG_DIAL_PAD_NUM5", "5", AppendDigit}, {"IMG_DIAL_PAD_NUM6", "6", AppendDigit},
        {"IMG_DIAL_PAD_NUM7", "7", AppendDigit}, {"IMG_DIAL_PAD_NUM8", "8", AppendDigit},
        {"IMG_DIAL_PAD_NUM9", "9", AppendDigit}, {"IMG_DIAL_PAD_CALL", "", Dial},
        {"IMG_DIAL_PAD_NUM0", "0", AppendDigit}, {"IMG_DIAL_PAD_DEL", "", DeleteDigit},
    };
    int i = 0;
    for (const Key &k : keys) {
        auto *key = new TDialBtnCtrl(this, k.picture, k.text, k.fn);
        key->setParent(c_pFlowPanel);
        key->setObjectName(QString::fromLatin1(k.picture));
        grid->addWidget(key, i / 3, i % 3);
        ++i;
    }
}

void TDialPanelForm::ShowInPanel(QWidget *panel)
{
    setParent(panel);
    setGeometry(panel->rect());
    show();
    m_shownInPanel = true;
    c_pEditNumber->clear();
    c_pEditNumber->setFocus();
}

void TDialPanelForm::HideFromPanel()
{
    hide();
    setParent(nullptr);
    m_shownInPanel = false;
}

std::string TDialPanelForm::GetNumber() const { return c_pEditNumber->text().trimmed().toStdString(); }

void TDialPanelForm::Message(const std::string &text)
{
    if (m_message)
        m_message(text);
    else
        ShowMsgTip(text);
}

int TDialPanelForm::AppendDigit(const void *owner, const std::string &key)
{
    TDialPanelForm *pad = Pad(owner);
    QLineEdit *edit = pad->c_pEditNumber;
    if (key.empty() || edit->text().size() >= kMaxDigits) {
        pad->Message(ZoxText(EN_ZOX_TEXT::DialTooLong));
        return 0;
    }
    edit->setText(edit->text() + QString::fromStdString(key));
    edit->setCursorPosition(int(edit->text().size()));
    return 0;
}

int TDialPanelForm::DeleteDigit(const void *owner, const std::string &)
{
    QLineEdit *edit = Pad(owner)->c_pEditNumber;
    if (!edit->text().isEmpty()) {
        edit->setText(edit->text().chopped(1));
        edit->setCursorPosition(int(edit->text().size()));
    }
    return 0;
}

int TDialPanelForm::Dial(const void *owner, const std::string &)
{
    TDialPanelForm *pad = Pad(owner);
    const std::string number = pad->GetNumber();
    if (number.empty()) {
        pad->Message(ZoxText(EN_ZOX_TEXT::DialEmpty));
        return 0;
    }
    for (char c : number)
        if (c < '0' || c > '9') {
            pad->Message(ZoxText(EN_ZOX_TEXT::DialIncorrect));
            return 0;
        }
    PostWindowMessage(pad->m_owner, WM_DIALPAD_DIAL, uintptr_t(0), intptr_t(0));
    return 0;
}

void TDialPanelForm::OnImageContactClick()
{
    if (!m_openContacts || !m_openContacts())
        Message(ZoxText(EN_ZOX_TEXT::AddressBookOpenFailed));
}

bool TDialPanelForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == c_pEditNumber && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Dial(this, "");
            return true; // consumed
        }
    }
    return QWidget::eventFilter(watched, event);
}
