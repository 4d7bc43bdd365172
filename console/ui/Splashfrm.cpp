#include "console/ui/Splashfrm.h"

#include "core/Edition.h"
#include "console/SplashDots.h"

#include "core/EditionText.h"
#include "core/ui/PngResource.h"
#include "core/ui/SystemMessageBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>



TSplashForm::TSplashForm(QWidget *owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TSplashForm"));
    setFixedSize(482, 130);
    setFocusPolicy(Qt::StrongFocus);

    c_pImageSplash = new QLabel(this);
    c_pImageSplash->setGeometry(0, 0, 482, 100);
    c_pImageSplash->setScaledContents(true);
    LoadPngResource(c_pImageSplash, QStringLiteral("IMG_SPLASH"));

    c_pPanelBottom = new QFrame(this);
    c_pPanelBottom->setGeometry(0, 100, 482, 30);
    c_pPanelBottom->setObjectName(QStringLiteral("splashBottom"));
    c_pPanelBottom->setStyleSheet(QStringLiteral(
        "QFrame#splashBottom { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F0F0F0, stop:1 #C0C0C0); }"));

    c_pLabelStatus = new QLabel(ZoxQText(EN_ZOX_TEXT::SplashConnecting), c_pPanelBottom);
    c_pLabelStatus->move(180, 10);
    c_pLabelStatus->setMinimumWidth(290);
    QFont f(QString::fromUtf8(zox::edition::kFormFace));
    f.setPixelSize(11);
    f.setBold(true);
    c_pLabelStatus->setFont(f);
    c_pLabelStatus->setStyleSheet(QStringLiteral("color: #6D6D6D; background: transparent;"));

    c_pProgTimer = new QTimer(this);
    connect(c_pProgTimer, &QTimer::timeout, this, &TSplashForm::OnProgTimerOut);
}

void TSplashForm::SetStatus(const std::string &text)
{
    m_status = text;
    if (text == ZoxText(EN_ZOX_TEXT::LoggingIn))
        c_pProgTimer->start(500);
    else
        c_pProgTimer->stop();
    c_pLabelStatus->setText(QString::fromStdString(text));
}

void TSplashForm::OnProgTimerOut()
{
    c_pLabelStatus->setText(QString::fromStdString(NextSplashDotText(m_status)));
}

void TSplashForm::keyPressEvent(QKeyEvent *event)
{
    OnFormKeyDown(event->key());
    event->accept();
}

void TSplashForm::OnFormKeyDown(int key)
{
    if (key != Qt::Key_Escape)
        return;
    const int answer = SystemMessageBox(this, EN_ZOX_MSGBOX::Question, ZoxQText(EN_ZOX_TEXT::SplashCancelCaption),
                                        ZoxQText(EN_ZOX_TEXT::SplashCancelQuestion));
    if (answer == kMsgBoxOk && m_cancelAction)
        m_cancelAction();
}

void TSplashForm::showEvent(QShowEvent *event)
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    QWidget::showEvent(event);
    activateWindow();
    setFocus();
}
