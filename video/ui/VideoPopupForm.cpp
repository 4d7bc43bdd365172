#include "video/ui/VideoPopupForm.h"

#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/ui/PngResource.h"
#include "video/RtspClient.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

class RtspClientSource : public IPopupVideoSource {
public:
    int PlayVideo(int type, const std::string &number, IVideoTile *tile) override
    {
        return g_pRtspClient ? g_pRtspClient->PlayVideo(type, number, tile) : -1;
    }
    int MoveVideo(int type, const std::string &number, IVideoTile *tile) override
    {
        return g_pRtspClient ? g_pRtspClient->MoveVideo(type, number, tile) : -1;
    }
    void StopVideo(int type, const std::string &number) override
    {
        if (g_pRtspClient)
            g_pRtspClient->StopVideo(type, number);
    }
    void DetachTile(int type, const std::string &number, IVideoTile *tile) override
    {
        if (g_pRtspClient)
            g_pRtspClient->DetachTile(type, number, tile);
    }
};

void Fill(QWidget *w, QColor c)
{
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
}

const char *const kCloseNames[4] = {"IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_FOCUSED",
                                    "IMG_BTN_CLOSE_PRESSED"};
const char *const kAcceptNames[4] = {"IMG_EXTEND_WINDOW_DISABLED", "IMG_EXTEND_WINDOW_NORMAL",
                                     "IMG_EXTEND_WINDOW_FOCUSED", "IMG_EXTEND_WINDOW_PRESSED"};

} // namespace

IPopupVideoSource *RtspClientVideoSource()
{
    static RtspClientSource source;
    return g_pRtspClient ? &source : nullptr;
}

TVideoPopupForm::TVideoPopupForm(QWidget *owner, IVideoPopupOwner *popupOwner, const std::string &title,
                                 const std::string &number, int userType, IPopupVideoSource *source)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_owner(popupOwner),
      m_source(source), m_title(title), m_number(number), m_userType(userType)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Video pop ups"));
    resize(642, 394);

    c_pPanelTitle = new QWidget(this);
    Fill(c_pPanelTitle, QColor(46, 46, 56));
    c_pPanelTitle->setGeometry(0, 0, 642, 30);
    c_pLabelTitle = new QLabel(c_pPanelTitle);
    c_pLabelTitle->setStyleSheet(QStringLiteral("color: palette(highlighted-text); font: bold 11px \"%1\";")
                                     .arg(QString::fromUtf8(zox::edition::kFormFace)));
    c_pLabelTitle->setText(QString::fromStdString("  " + m_title));
    c_pImageClose = new QLabel(c_pPanelTitle);
    c_pImageClose->setToolTip(ZoxQText(EN_ZOX_TEXT::PopupCloseHint));
    c_pImageAccept = new QLabel(c_pPanelTitle);
    c_pImageAccept->setToolTip(ZoxQText(EN_ZOX_TEXT::PopupAcceptHint));
    for (QLabel *p : {c_pImageClose, c_pImageAccept}) {
        p->setFixedSize(30, 30);
        p->setAlignment(Qt::AlignCenter);
        p->installEventFilter(this);
        SetPicture(p, 1);
    }
    c_pImageAccept->hide();
    c_pPanelTitle->installEventFilter(this);
    c_pLabelTitle->installEventFilter(this);

    c_pPanelVideo = new QWidget(this);
    Fill(c_pPanelVideo, Qt::black);

    c_pTimer = new QTimer(this);
    c_pTimer->setInterval(1000);
    QObject::connect(c_pTimer, &QTimer::timeout, this, [this] { OnTimerOut(); });
    c_pTimer->start();
}

TVideoPopupForm::~TVideoPopupForm() { ReleaseVideoCtrl(); }

IPopupVideoSource *TVideoPopupForm::Source() const { return m_source ? m_source : RtspClientVideoSource(); }

void TVideoPopupForm::SetPicture(QLabel *picture, int state)
{
    if (state < 0 || state > 3)
        return;
    picture->setProperty("state", state);
    LoadPngResource(picture, picture == c_pImageClose ? kCloseNames[state] : kAcceptNames[state]);
}

void TVideoPopupForm::EnsureVideoCtrl()
{
    if (m_tile)
        return;
    m_tile = new TVideoWndCtrl(c_pPanelVideo, this);
    m_tile->SetTitleBarVisible(false);
    m_tile->SetWndClickEnabled(false);
    m_tile->setGeometry(0, 0, c_pPanelVideo->width(), c_pPanelVideo->height());
    m_tile->show();
}

int TVideoPopupForm::StartPreview()
{
    IPopupVideoSource *src = Source();
    if (!src)
        return -1;
    EnsureVideoCtrl();
    return src->PlayVideo(m_userType, m_number, m_tile);
}

int TVideoPopupForm::RestartPreview()
{
    IPopupVideoSource *src = Source();
    if (!src)
        return -1;
    EnsureVideoCtrl();
    return src->MoveVideo(m_userType, m_number, m_tile);
}

void TVideoPopupForm::ReleaseVideoCtrl()
{
    if (!m_tile)
        return;
    // A session still tearing down must not drive the tile after it is gone.
    if (IPopupVideoSource *src = Source())
        src->DetachTile(m_userType, m_number, m_tile);
    m_tile->SetSelected(false);
    m_tile->SetState(ZOX_VIDEOWND_FREE);
    delete m_tile;
    m_tile = nullptr;
}

void TVideoPopupForm::OnTimerOut()
{
    if (!m_tile || !m_tile->IsUsed())
        return;
    c_pImageAccept->show();
    c_pTimer->stop();
}

void TVideoPopupForm::OnImageCloseClick()
{
    if (IPopupVideoSource *src = Source())
        src->StopVideo(m_userType, m_number);
    m_closing = true;
    if (m_owner)
        m_owner->CloseVideoPopup(this);
    else
        close();
}

void TVideoPopupForm::OnImageAcceptClick()
{
    IPopupVideoSource *src = Source();
    m_closing = true;
    if (src && m_tile && m_tile->IsUsed() && m_owner) {
        TVideoWndCtrl *wall = m_owner->GetFreeVideoWindow();
        if (wall && src->MoveVideo(m_userType, m_number, wall) == 0) {
            m_owner->CloseVideoPopup(this);
            return;
        }
    }
    // Nowhere to show it: the preview is not left running unseen.
    if (src)
        src->StopVideo(m_userType, m_number);
    if (m_owner)
        m_owner->CloseVideoPopup(this);
    else
        close();
}

void TVideoPopupForm::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        // Closed by other means (the window manager, the owner going away): stop the
        // preview and leave the owner's list like the close picture does.
        m_closing = true;
        if (IPopupVideoSource *src = Source())
            src->StopVideo(m_userType, m_number);
        if (m_owner)
            m_owner->CloseVideoPopup(this);
    }
    c_pTimer->stop();
    ReleaseVideoCtrl();
    event->accept();
}

void TVideoPopupForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    c_pPanelTitle->setGeometry(0, 0, width(), 30);
    c_pPanelVideo->setGeometry(0, 30, width(), std::max(height() - 30, 0));
    if (m_tile)
        m_tile->setGeometry(0, 0, c_pPanelVideo->width(), c_pPanelVideo->height());
}

bool TVideoPopupForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (watched == c_pPanelTitle && t == QEvent::Resize) {
        const int w = c_pPanelTitle->width();
        c_pImageClose->move(w - 30, 0);
        c_pImageAccept->move(w - 60, 0);
        c_pLabelTitle->setGeometry(0, 0, std::max(w - 60, 0), 30);
        return false;
    }
    if ((watched == c_pPanelTitle || watched == c_pLabelTitle) && t == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            if (QWindow *w = windowHandle())
                w->startSystemMove();
        return true;
    }
    auto *picture = qobject_cast<QLabel *>(watched);
    if (picture != c_pImageClose && picture != c_pImageAccept)
        return false;
    const int state = picture->property("state").toInt();
    switch (t) {
    case QEvent::MouseButtonPress:
        SetPicture(picture, 3);
        break;
    case QEvent::Enter:
        SetPicture(picture, 2);
        break;
    case QEvent::Leave:
        SetPicture(picture, 1);
        break;
    case QEvent::MouseButtonRelease:
        if (state == 3) {
            SetPicture(picture, 2);
            if (picture->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
                if (picture == c_pImageClose)
                    OnImageCloseClick();
                else
                    OnImageAcceptClick();
            }
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}
