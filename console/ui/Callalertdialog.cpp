#include "console/ui/Callalertdialog.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "console/ui/CallDialogParts.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/NumberUtils.h"
#include "core/ui/PngResource.h"

using namespace zox::calldlg;

namespace {

QLabel *TextLabel(QWidget *parent, const QRect &r, int pixelSize, bool bold, const char *colour)
{
    auto *l = new QLabel(parent);
    l->setGeometry(r);
    QFont f(QString::fromUtf8(zox::edition::kFormFaceArial));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(QLatin1String(colour)));
    l->setAttribute(Qt::WA_TransparentForMouseEvents); // drags the window with its panel
    return l;
}

} // namespace

TCallAlertForm::TCallAlertForm(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("TCallAlertForm"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(299, 120);
    c_PanelClient = new QFrame(this);
    c_PanelClient->setObjectName(QStringLiteral("c_PanelClient"));
    c_PanelClient->setGeometry(0, 0, 299, 80);
    c_PanelClient->setStyleSheet(QStringLiteral("QFrame#c_PanelClient { background: #F0F0F0; }"));
    c_PanelClient->installEventFilter(this);
    c_pImageUser = new QLabel(c_PanelClient);
    c_pImageUser->setGeometry(10, 10, 60, 60);
    c_pImageUser->setScaledContents(true);
    c_pImageUser->setAttribute(Qt::WA_TransparentForMouseEvents);
    LoadPngResource(c_pImageUser, QStringLiteral("IMG_UNKNOWN_PERSON"));
    // The Chinese-language build draws the title, the caller and the two captions bold,
    // the caller and the captions 14 pixels high.
    constexpr bool cn = zox::edition::kChinese;
    c_pLabelTitle = TextLabel(c_PanelClient, QRect(80, 11, 210, 20), 15, cn, "#434E54");
    c_pLabelTitle->setText(ZoxQText(EN_ZOX_TEXT::CallAlertTitle));
    c_pLabelContent = TextLabel(c_PanelClient, QRect(80, 38, 210, 20), cn ? 14 : 13, cn, "#6D6D6D");
    c_PanelReject = MakeButtonPanel(this, QRect(0, 80, 150, 40), kRed, ZoxQText(EN_ZOX_TEXT::Decline), cn ? 14 : 15,
                                    cn, &c_pLabelReject);
    c_pPanelAccept = MakeButtonPanel(this, QRect(150, 80, 149, 40), kGreen, ZoxQText(EN_ZOX_TEXT::Answer),
                                     cn ? 14 : 15, cn, &c_pLabelAccept);
    c_PanelReject->installEventFilter(this);
    c_pPanelAccept->installEventFilter(this);
    m_parts.dialog = this;
    m_parts.red = c_PanelReject;
    m_parts.green = c_pPanelAccept;
    m_parts.client = c_PanelClient;
    m_parts.onRed = [this] { OnCtrlRejectClick(); };
    m_parts.onGreen = [this] { OnCtrlAcceptClick(); };
    c_pTimer = new QTimer(this);
    c_pTimer->setInterval(1000);
    connect(c_pTimer, &QTimer::timeout, this, &TCallAlertForm::OnTimerOut);
}

TCallAlertForm::~TCallAlertForm() { c_pTimer->stop(); }

void TCallAlertForm::ShowCall(int32_t callId, const std::string &number, int32_t kind)
{
    m_number = number;
    m_callId = callId;
    const std::string name = m_lookup ? m_lookup(number) : std::string();
    c_pLabelContent->setText(QString::fromStdString(MakeDisplayName(number, name)));
    c_pLabelTitle->setText(ZoxQText(kind == 2   ? EN_ZOX_TEXT::CallKindVideo
                                    : kind == 3 ? EN_ZOX_TEXT::CallKindPtt
                                                : EN_ZOX_TEXT::CallKindVoice));
    m_countdown = kCountdownSeconds;
    c_pTimer->start();
    ShowCountdown();
}

void TCallAlertForm::ShowCountdown()
{
    c_pLabelReject->setText(ZoxDeclineCountdown(m_countdown));
}

void TCallAlertForm::OnTimerOut()
{
    --m_countdown;
    if (m_countdown > 0) {
        ShowCountdown();
        return;
    }
    c_pTimer->stop();
    done(2);
}

void TCallAlertForm::Dismiss()
{
    c_pTimer->stop();
    done(2);
}

void TCallAlertForm::OnCtrlRejectClick()
{
    c_pTimer->stop();
    done(2);
}

void TCallAlertForm::OnCtrlAcceptClick()
{
    c_pTimer->stop();
    done(1);
}

void TCallAlertForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnCtrlAcceptClick();
        return;
    }
    event->accept(); // Esc and the rest do nothing
}

bool TCallAlertForm::eventFilter(QObject *watched, QEvent *event)
{
    return m_parts.Filter(watched, event) || QDialog::eventFilter(watched, event);
}
