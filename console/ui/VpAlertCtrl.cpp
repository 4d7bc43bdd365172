#include "console/ui/VpAlertCtrl.h"

#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "console/ui/CallDialogParts.h"
#include "core/EditionText.h"
#include "core/ui/PngResource.h"

using namespace zox::calldlg;

namespace {

constexpr int kBottomHeight = 40;
constexpr int kButtonWidth = 150;
const char *const kButtonFace = "#F0F0F0";        // clBtnFace
const char *const kTitleColour = "#000000";       // clInactiveCaptionText
const char *const kUserColour = "#6D6D6D";        // clGrayText

QLabel *TextLabel(QWidget *parent, int left, int top, int pixelSize, bool bold, const char *colour)
{
    auto *l = new QLabel(parent);
    l->move(left, top);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(QLatin1String(colour)));
    return l;
}

} // namespace

TVpAlertCtrl::TVpAlertCtrl(QWidget *owner, const std::string &number, const std::string &name, uint32_t sourceId,
                           uint32_t destinationId)
    : QWidget(owner), m_state(number, name, sourceId, destinationId)
{
    setObjectName(QStringLiteral("TVpAlertCtrl"));
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("TVpAlertCtrl { background: %1; }").arg(QLatin1String(kButtonFace)));

    c_pPanelClient = new QFrame(this);
    c_pPanelClient->setObjectName(QStringLiteral("c_pPanelClient"));
    c_pPanelClient->setGeometry(0, 0, kWidth, kHeight - kBottomHeight);
    c_pPanelClient->setStyleSheet(QStringLiteral("QFrame#c_pPanelClient { background: %1; }").arg(kButtonFace));
    c_pImageAvatar = new QLabel(c_pPanelClient);
    c_pImageAvatar->setGeometry(10, 10, 60, 60);
    c_pImageAvatar->setAlignment(Qt::AlignCenter);
    c_pImageAvatar->setAttribute(Qt::WA_TranslucentBackground);
    LoadPngResource(c_pImageAvatar, QStringLiteral("IMG_UNKNOWN_PERSON"));
    c_pLabelTitle = TextLabel(c_pPanelClient, 80, 10, 15, true, kTitleColour);
    c_pLabelTitle->setText(ZoxQText(EN_ZOX_TEXT::VpAlertTitle));
    c_pLabelTitle->adjustSize();
    c_pLabelUser = TextLabel(c_pPanelClient, 80, 38, 13, false, kUserColour);
    c_pLabelUser->setText(QString::fromStdString(name));
    c_pLabelUser->adjustSize();

    c_pPanelBottom = new QFrame(this);
    c_pPanelBottom->setObjectName(QStringLiteral("c_pPanelBottom"));
    c_pPanelBottom->setGeometry(0, kHeight - kBottomHeight, kWidth, kBottomHeight);
    c_pPanelBottom->setStyleSheet(QStringLiteral("QFrame#c_pPanelBottom { background: %1; }").arg(kButtonFace));
    c_pPanelDecline = MakeButtonPanel(c_pPanelBottom, QRect(0, 0, kButtonWidth, kBottomHeight), kRed, QString(), 15,
                                      true, &c_pLabelDecline);
    c_pPanelAnswer = MakeButtonPanel(c_pPanelBottom, QRect(kWidth - kButtonWidth, 0, kButtonWidth, kBottomHeight),
                                     kGreen, ZoxQText(EN_ZOX_TEXT::Answer), 15, true, &c_pLabelAnswer);
    c_pLabelDecline->setFont([] {
        QFont f(QStringLiteral("Tahoma"));
        f.setPixelSize(15);
        f.setBold(true);
        return f;
    }());
    c_pLabelAnswer->setFont(c_pLabelDecline->font());

    for (QWidget *w : {static_cast<QWidget *>(c_pPanelClient), static_cast<QWidget *>(c_pImageAvatar),
                       static_cast<QWidget *>(c_pLabelTitle), static_cast<QWidget *>(c_pLabelUser),
                       static_cast<QWidget *>(c_pPanelDecline), static_cast<QWidget *>(c_pPanelAnswer)})
        w->installEventFilter(this);

    c_pTimer = new QTimer(this);
    c_pTimer->setInterval(1000);
    connect(c_pTimer, &QTimer::timeout, this, &TVpAlertCtrl::OnTimerOut);
    c_pTimer->start();
    UpdateCountdown();
}

TVpAlertCtrl::~TVpAlertCtrl() { c_pTimer->stop(); }

void TVpAlertCtrl::SetEventHandler(AlertHandler accept, AlertHandler decline)
{
    m_accept = std::move(accept);
    m_decline = std::move(decline);
}

void TVpAlertCtrl::UpdateCountdown() { c_pLabelDecline->setText(QString::fromStdString(m_state.Caption())); }

void TVpAlertCtrl::OnTimerOut()
{
    if (m_state.Tick()) {
        c_pTimer->stop();
        if (m_decline)
            m_decline(this);
        return;
    }
    UpdateCountdown();
}

void TVpAlertCtrl::OnAcceptClick()
{
    c_pTimer->stop();
    if (m_accept)
        m_accept(this);
}

void TVpAlertCtrl::OnRejectClick()
{
    c_pTimer->stop();
    if (m_decline)
        m_decline(this);
}

void TVpAlertCtrl::OnTitleMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton && m_move)
        m_move(this, button);
}

void TVpAlertCtrl::OnAcceptMouseEnter() { SetPanelColour(c_pPanelAnswer, kGreenHover); }
void TVpAlertCtrl::OnAcceptMouseLeave() { SetPanelColour(c_pPanelAnswer, kGreen); }
void TVpAlertCtrl::OnRejectMouseEnter() { SetPanelColour(c_pPanelDecline, kRedHover); }
void TVpAlertCtrl::OnRejectMouseLeave() { SetPanelColour(c_pPanelDecline, kRed); }

bool TVpAlertCtrl::eventFilter(QObject *watched, QEvent *event)
{
    const bool answer = watched == c_pPanelAnswer;
    const bool decline = watched == c_pPanelDecline;
    switch (event->type()) {
    case QEvent::Enter:
        if (answer)
            OnAcceptMouseEnter();
        else if (decline)
            OnRejectMouseEnter();
        break;
    case QEvent::Leave:
        if (answer)
            OnAcceptMouseLeave();
        else if (decline)
            OnRejectMouseLeave();
        break;
    case QEvent::MouseButtonPress:
        if (!answer && !decline) {
            OnTitleMouseDown(static_cast<QMouseEvent *>(event)->button());
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto *me = static_cast<QMouseEvent *>(event);
        auto *w = static_cast<QWidget *>(watched);
        if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint())) {
            if (answer) {
                OnAcceptClick();
                return true;
            }
            if (decline) {
                OnRejectClick();
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
