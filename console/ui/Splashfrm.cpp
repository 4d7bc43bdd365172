#include "console/ui/Splashfrm.h"

#include "console/SplashDots.h"

#include "core/Edition.h"
#include "core/ui/SystemMessageBox.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>


namespace {
// The product artwork: drawn once, 482 x 100.
QPixmap SplashArtwork()
{
    QPixmap pix(482, 100);
    QPainter p(&pix);
    QLinearGradient g(0, 0, 482, 100);
    g.setColorAt(0, QColor(0x00, 0x2D, 0x3E));
    g.setColorAt(1, QColor(0x00, 0x6A, 0x8E));
    p.fillRect(pix.rect(), g);
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(24);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pix.rect().adjusted(20, 0, -20, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromUtf8(zox::edition::kProductTitle));
    return pix;
}
} // namespace

TSplashForm::TSplashForm(QWidget *owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TSplashForm"));
    setFixedSize(482, 130);
    setFocusPolicy(Qt::StrongFocus);

    c_pImageSplash = new QLabel(this);
    c_pImageSplash->setGeometry(0, 0, 482, 100);
    c_pImageSplash->setScaledContents(true);
    c_pImageSplash->setPixmap(SplashArtwork());

    c_pPanelBottom = new QFrame(this);
    c_pPanelBottom->setGeometry(0, 100, 482, 30);
    c_pPanelBottom->setObjectName(QStringLiteral("splashBottom"));
    c_pPanelBottom->setStyleSheet(QStringLiteral(
        "QFrame#splashBottom { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F0F0F0, stop:1 #C0C0C0); }"));

    c_pLabelStatus = new QLabel(QStringLiteral("Connecting ..."), c_pPanelBottom);
    c_pLabelStatus->move(180, 10);
    c_pLabelStatus->setMinimumWidth(290);
    QFont f(QStringLiteral("Tahoma"));
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
    if (text == "Logging in")
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
    const int answer = SystemMessageBox(this, EN_ZOX_MSGBOX::Question, QStringLiteral("Confirmation"),
                                        QStringLiteral("Logging in. Are you sure you want to cancel?"));
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
