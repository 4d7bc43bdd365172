#include "video/ui/VideoWndCtrl.h"

#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/SystemConfig.h"
#include "core/ui/PngResource.h"
#include "video/VideoWall.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <utility>

namespace {

const QColor kTileColour(0, 12, 17);
const QColor kTitleColour(46, 46, 56);
const QColor kDeselectedColour(38, 48, 53);
const QColor kSelectedColour(255, 255, 0);
constexpr int kTitleHeight = 28;
constexpr int kTitlePadLeft = 5;
constexpr int kTitlePadRight = 1;
constexpr const int (&kToolWidths)[TVideoWndCtrl::ToolCount] = zox::edition::kTileToolWidths;
constexpr int kDragThreshold = 10;
const char *const kTileMime = "application/x-zox-video-tile";

QWidget *MakePanel(QWidget *parent, QColor colour)
{
    auto *w = new QWidget(parent);
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    return w;
}

// The tile a dragged object belongs to, when it carries the tile tag.
TVideoWndCtrl *TileOf(QObject *o)
{
    for (; o; o = o->parent())
        if (o->property("zoxTag").toInt() == kVideoTileTag)
            return dynamic_cast<TVideoWndCtrl *>(o);
    return nullptr;
}

} // namespace

TVideoWndCtrl::TVideoWndCtrl(QWidget *owner, CVideoWndHandler *handler) : QWidget(owner), m_handler(handler)
{
    RegisterVideoTile(this);
    setProperty("zoxTag", kVideoTileTag);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, kTileColour);
    setPalette(p);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);

    m_titleBar = MakePanel(this, kTitleColour);
    m_titleBar->setFixedHeight(kTitleHeight);
    m_titleLabel = new QLabel(m_titleBar);
    m_titleLabel->setStyleSheet("color: white; background: transparent;");
    QFont f = m_titleLabel->font();
    if (*zox::edition::kTileFace)
        f.setFamily(QString::fromUtf8(zox::edition::kTileFace));
    f.setPointSize(zox::edition::kTilePoints);
    m_titleLabel->setFont(f);

    using T = EN_ZOX_TEXT;
    static constexpr T captions[ToolCount] = {T::TileMaximize, T::TileStop,   T::TileForward,
                                              T::TileStretch,  T::TileRecord, T::TileSound};
    for (int t = 0; t < ToolCount; ++t) {
        auto *b = new QToolButton(m_titleBar);
        b->setText(ZoxQText(captions[t]));
        b->setFont(f);
        b->setFixedSize(kToolWidths[t], kTitleHeight);
        b->setStyleSheet("QToolButton { color: white; border: none; padding-left: 20px; background: transparent; }"
                         "QToolButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                         "stop:0 rgb(98,98,98), stop:1 rgb(36,36,45)); border: 1px solid rgb(46,46,56); }");
        b->hide();
        m_buttons[t] = b;
        auto *icon = new QLabel(m_titleBar);
        icon->setFixedSize(20, kTitleHeight);
        icon->setAlignment(Qt::AlignCenter);
        icon->setAttribute(Qt::WA_TransparentForMouseEvents);
        icon->hide();
        m_icons[t] = icon;
    }
    m_stretch = DefaultStretch();
    SetIcon(ToolMaximize, "IMG_WND_MAX_NORMAL");
    SetIcon(ToolStop, "IMG_BTN_STOP_NORMAL");
    SetIcon(ToolForward, "IMG_BTN_SHARE_NORMAL");
    SetIcon(ToolStretch, m_stretch ? "IMG_BTN_STRETCH_ACTIVED" : "IMG_BTN_STRETCH_NORMAL");
    SetIcon(ToolRecord, "IMG_BTN_RECORD_STOPPED");
    SetIcon(ToolSound, "IMG_BTN_VOLUME_MUTE_NORMAL");

    connect(m_buttons[ToolMaximize], &QToolButton::clicked, this, [this] { OnBtnWndSizeClick(); });
    connect(m_buttons[ToolStop], &QToolButton::clicked, this, [this] { OnBtnVideoStopClick(); });
    connect(m_buttons[ToolForward], &QToolButton::clicked, this, [this] { OnBtnVideoShareClick(); });
    connect(m_buttons[ToolStretch], &QToolButton::clicked, this, [this] { OnBtnVideoScaleClick(); });
    connect(m_buttons[ToolRecord], &QToolButton::clicked, this, [this] { OnBtnVideoRecordClick(); });
    connect(m_buttons[ToolSound], &QToolButton::clicked, this, [this] { OnBtnSoundClick(); });

    m_hostPanel = MakePanel(this, kTileColour);
    m_videoPanel = MakePanel(m_hostPanel, kTileColour);
    for (QWidget *w : {m_titleBar, m_hostPanel, m_videoPanel}) {
        w->installEventFilter(this);
        w->setMouseTracking(true);
    }
    m_titleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    setMouseTracking(true);
    LayoutHost();
    m_videoWidth = static_cast<uint32_t>(m_hostPanel->width());
    m_videoHeight = static_cast<uint32_t>(m_hostPanel->height());
}

TVideoWndCtrl::~TVideoWndCtrl() { RetireVideoTile(this); }

bool TVideoWndCtrl::DefaultStretch()
{
    return g_pSystemConfig ? !g_pSystemConfig->IsKeepAspectRatio() : true;
}

void TVideoWndCtrl::SetIcon(Tool tool, const char *name)
{
    m_iconNames[tool] = QString::fromLatin1(name);
    LoadPngResource(m_icons[tool], m_iconNames[tool]);
}

QString TVideoWndCtrl::ToolIconName(Tool tool) const { return m_iconNames[tool]; }

void TVideoWndCtrl::SetUser(const std::string &name, const std::string &number, int userType)
{
    m_userName = name;
    m_userNumber = number;
    m_userType = userType;
}

void TVideoWndCtrl::SetService(EN_ZOX_VIDEOWND_SERVICE service) { m_service = service; }

void TVideoWndCtrl::SetService(int service)
{
    SetService(service == 1 ? ZOX_VIDEOWND_CALL : ZOX_VIDEOWND_UPLOAD);
}

void TVideoWndCtrl::SetState(int state)
{
    switch (state) {
    case kTileStarting:
        SetState(ZOX_VIDEOWND_STARTING);
        break;
    case kTilePlaying:
        SetState(ZOX_VIDEOWND_PLAYING);
        break;
    default:
        SetState(ZOX_VIDEOWND_FREE);
        break;
    }
}

void TVideoWndCtrl::SetState(EN_ZOX_VIDEOWND_STATE state)
{
    if (state == m_state)
        return;
    if (state == ZOX_VIDEOWND_PLAYING) {
        m_titleLabel->setText(QString::fromStdString(m_userName.empty() ? m_userNumber : m_userName));
        m_titleLabel->adjustSize();
        m_buttons[ToolStop]->setText(
            ZoxQText(m_service == ZOX_VIDEOWND_CALL ? EN_ZOX_TEXT::TileHangup : EN_ZOX_TEXT::TileStop));
        SetVideoStopCtrlVisible(true);
        SetVideoShareCtrlVisible(true);
        SetVideoScaleCtrlVisible(true);
        SetVideoRecordCtrlVisible(true);
        SetSoundCtrlVisible(m_soundEnabled);
        LayoutToolsCtrl();
    } else if (m_state == ZOX_VIDEOWND_PLAYING) {
        m_titleLabel->clear();
        SetVideoStopCtrlVisible(false);
        SetVideoShareCtrlVisible(false);
        SetVideoRecordCtrlVisible(false);
        SetSoundCtrlVisible(false);
        m_soundEnabled = false;
        // The source's audio belongs to the video that stopped.
        m_soundOpen = false;
        m_stretch = DefaultStretch();
        m_karCallback = nullptr;
        m_karUserData = nullptr;
        SetVideoScaleCtrlVisible(false);
        ResetVideoPanel();
        LayoutToolsCtrl();
    }
    m_state = state;
}

void TVideoWndCtrl::SetSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (!selected) {
        m_borderBold = false;
        m_flatColour = kDeselectedColour;
        update();
    }
}

uintptr_t TVideoWndCtrl::GetHandle() { return std::as_const(*this).GetHandle(); }

uintptr_t TVideoWndCtrl::GetHandle() const
{
    if (!m_videoPanel)
        return 0;
    // Only a real display has windows that a video sink can draw into.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return 0;
    return static_cast<uintptr_t>(m_videoPanel->winId());
}

void TVideoWndCtrl::SetVideoSize(uint32_t width, uint32_t height)
{
    // A size not decoded yet (0) would leave nothing to scale by.
    if (width == 0 || height == 0)
        return;
    if (m_state != ZOX_VIDEOWND_PLAYING || m_stretch)
        return;
    if (width == m_videoWidth && height == m_videoHeight)
        return;
    m_videoWidth = width;
    m_videoHeight = height;
    LayoutVideoPanel();
}

void TVideoWndCtrl::SetRecording(bool recording)
{
    if (recording == m_recording)
        return;
    m_recording = recording;
    if (m_buttons[ToolRecord]->isVisibleTo(m_titleBar))
        SetIcon(ToolRecord, m_recording ? "IMG_BTN_RECORD_STARTED" : "IMG_BTN_RECORD_STOPPED");
}

void TVideoWndCtrl::SetSoundEnable(bool enable) { m_soundEnabled = enable; }

void TVideoWndCtrl::SetSoundOpen(bool open)
{
    if (!m_soundEnabled || open == m_soundOpen)
        return;
    m_soundOpen = open;
    if (m_buttons[ToolSound]->isVisibleTo(m_titleBar))
        SetIcon(ToolSound, m_soundOpen ? "IMG_BTN_VOLUME_NORMAL" : "IMG_BTN_VOLUME_MUTE_NORMAL");
}

void TVideoWndCtrl::SetVideoKarCallback(const void *userData, VideoKarCallback callback)
{
    m_karUserData = userData;
    m_karCallback = callback;
}

void TVideoWndCtrl::Clone(IVideoTile *source)
{
    auto *src = dynamic_cast<TVideoWndCtrl *>(source);
    if (!src)
        return;
    SetVideoKarCallback(src->m_karUserData, src->m_karCallback);
    m_stretch = src->m_stretch;
    SetUser(src->m_userName, src->m_userNumber, src->m_userType);
    SetService(src->m_service);
    SetState(src->m_state);
    SetVideoSize(src->m_videoWidth, src->m_videoHeight);
    SetRecording(src->m_recording);
    SetSelected(src->m_selected);
}

void TVideoWndCtrl::SetTitleBarVisible(bool visible)
{
    m_titleBar->setVisible(visible);
    LayoutHost();
}

void TVideoWndCtrl::LayoutToolsCtrl()
{
    int x = m_titleBar->width() - kTitlePadRight;
    for (int t = 0; t < ToolCount; ++t) {
        if (!m_buttons[t]->isVisibleTo(m_titleBar))
            continue;
        const int left = x - kToolWidths[t];
        m_buttons[t]->move(left, 0);
        m_icons[t]->move(left + (t == ToolMaximize ? 3 : 7), 0);
        m_icons[t]->raise();
        x -= kToolWidths[t] + 1;
    }
    m_titleLabel->move(kTitlePadLeft, (kTitleHeight - m_titleLabel->height()) / 2);
}

void TVideoWndCtrl::LayoutVideoPanel()
{
    const int W = m_hostPanel->width(), H = m_hostPanel->height();
    if (m_stretch) {
        m_videoWidth = static_cast<uint32_t>(W);
        m_videoHeight = static_cast<uint32_t>(H);
        m_videoAligned = true;
        m_videoPanel->setGeometry(0, 0, W, H);
        return;
    }
    m_videoAligned = false;
    const zox::video::WallRect r = zox::video::LetterboxVideo(W, H, m_videoWidth, m_videoHeight);
    m_videoPanel->setGeometry(r.left, r.top, r.width, r.height);
}

void TVideoWndCtrl::ResetVideoPanel()
{
    m_videoAligned = true;
    m_videoPanel->setGeometry(0, 0, m_hostPanel->width(), m_hostPanel->height());
    m_videoWidth = static_cast<uint32_t>(m_hostPanel->width());
    m_videoHeight = static_cast<uint32_t>(m_hostPanel->height());
}

void TVideoWndCtrl::LayoutHost()
{
    const int b = 1;
    const int top = m_titleBar->isVisibleTo(this) ? kTitleHeight : 0;
    m_titleBar->setGeometry(b, b, std::max(width() - 2 * b, 0), kTitleHeight);
    m_hostPanel->setGeometry(b, b + top, std::max(width() - 2 * b, 0), std::max(height() - 2 * b - top, 0));
    if (m_videoAligned)
        m_videoPanel->setGeometry(0, 0, m_hostPanel->width(), m_hostPanel->height());
    else
        LayoutVideoPanel();
    LayoutToolsCtrl();
}

void TVideoWndCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutHost();
}

void TVideoWndCtrl::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(m_flatColour, m_borderBold ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TVideoWndCtrl::SetToolVisible(Tool tool, bool visible)
{
    m_buttons[tool]->setVisible(visible);
    m_icons[tool]->setVisible(visible);
    if (visible)
        m_icons[tool]->raise();
}

void TVideoWndCtrl::SetWndSizeCtrlVisible(bool visible) { SetToolVisible(ToolMaximize, visible); }
void TVideoWndCtrl::SetVideoStopCtrlVisible(bool visible) { SetToolVisible(ToolStop, visible); }
void TVideoWndCtrl::SetVideoShareCtrlVisible(bool visible) { SetToolVisible(ToolForward, visible); }

void TVideoWndCtrl::SetVideoScaleCtrlVisible(bool visible)
{
    if (visible)
        SetIcon(ToolStretch, m_stretch ? "IMG_BTN_STRETCH_ACTIVED" : "IMG_BTN_STRETCH_NORMAL");
    SetToolVisible(ToolStretch, visible);
}

void TVideoWndCtrl::SetVideoRecordCtrlVisible(bool visible)
{
    if (visible)
        SetIcon(ToolRecord, m_recording ? "IMG_BTN_RECORD_STARTED" : "IMG_BTN_RECORD_STOPPED");
    SetToolVisible(ToolRecord, visible);
}

void TVideoWndCtrl::SetSoundCtrlVisible(bool visible)
{
    if (visible)
        SetIcon(ToolSound, m_soundOpen ? "IMG_BTN_VOLUME_NORMAL" : "IMG_BTN_VOLUME_MUTE_NORMAL");
    SetToolVisible(ToolSound, visible);
}

void TVideoWndCtrl::UpdateWndSizeCtrlVisible()
{
    m_buttons[ToolMaximize]->setText(ZoxQText(m_maximised ? EN_ZOX_TEXT::TileRestore : EN_ZOX_TEXT::TileMaximize));
    SetIcon(ToolMaximize, m_maximised ? "IMG_WND_RESET_NORMAL" : "IMG_WND_MAX_NORMAL");
}

void TVideoWndCtrl::OnClickHandler(QObject *sender)
{
    if (!m_clicksEnabled || m_selected || !m_handler)
        return;
    m_handler->OnVideoWindowSelected(this, sender != nullptr);
    m_selected = true;
    m_borderBold = true;
    m_flatColour = kSelectedColour;
    update();
}

void TVideoWndCtrl::OnDblClickHandler()
{
    if (!m_clicksEnabled || !m_handler)
        return;
    m_maximised = !m_maximised;
    UpdateWndSizeCtrlVisible();
    m_handler->SetSingleVideoWindow(this, m_maximised);
}

void TVideoWndCtrl::OnMouseMoveHandler()
{
    if (m_handler)
        m_handler->AutoShowTopBar(this);
}

void TVideoWndCtrl::OnMouseDownHandler(QObject *sender, Qt::MouseButton button, QPoint globalPos)
{
    if (!m_clicksEnabled || button != Qt::LeftButton)
        return;
    OnClickHandler(sender);
    m_dragArmed = true;
    m_dragStart = globalPos;
}

bool TVideoWndCtrl::OnDragOverHandler(QObject *dragged) const { return TileOf(dragged) != nullptr; }

void TVideoWndCtrl::OnDragDropHandler(QObject *dragged)
{
    TVideoWndCtrl *source = TileOf(dragged);
    if (!source || source == this || !m_handler)
        return;
    m_handler->SwapVideoWindows(this, source);
}

bool TVideoWndCtrl::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        OnMouseDownHandler(watched, me->button(), me->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease:
        m_dragArmed = false;
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            OnClickHandler(watched);
        break;
    case QEvent::MouseButtonDblClick:
        OnDblClickHandler();
        return true;
    case QEvent::MouseMove: {
        OnMouseMoveHandler();
        auto *me = static_cast<QMouseEvent *>(event);
        if (m_dragArmed && m_clicksEnabled && (me->buttons() & Qt::LeftButton) &&
            (me->globalPosition().toPoint() - m_dragStart).manhattanLength() >= kDragThreshold) {
            m_dragArmed = false;
            auto *drag = new QDrag(this);
            auto *mime = new QMimeData;
            mime->setData(kTileMime, QByteArray::number(kVideoTileTag));
            drag->setMimeData(mime);
            drag->exec(Qt::MoveAction);
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TVideoWndCtrl::dragEnterEvent(QDragEnterEvent *event)
{
    if (OnDragOverHandler(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TVideoWndCtrl::dragMoveEvent(QDragMoveEvent *event)
{
    if (OnDragOverHandler(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TVideoWndCtrl::dropEvent(QDropEvent *event)
{
    OnDragDropHandler(event->source());
    event->acceptProposedAction();
}

void TVideoWndCtrl::OnBtnWndSizeClick()
{
    OnClickHandler(m_buttons[ToolMaximize]);
    m_maximised = !m_maximised;
    UpdateWndSizeCtrlVisible();
    if (m_handler)
        m_handler->SetSingleVideoWindow(this, m_maximised);
}

void TVideoWndCtrl::OnBtnVideoStopClick()
{
    if (!m_handler)
        return;
    switch (m_service) {
    case ZOX_VIDEOWND_UPLOAD:
        m_handler->StopVideoUploadOfWindow(m_userNumber, m_userName);
        break;
    case ZOX_VIDEOWND_CALL:
        m_handler->HangupVideoWindow(m_userNumber, m_userName);
        break;
    case ZOX_VIDEOWND_RTSP:
        m_handler->StopRtspVideo(m_userType, m_userNumber);
        break;
    }
}

void TVideoWndCtrl::OnBtnVideoShareClick()
{
    if (m_handler)
        m_handler->OnForwardVideo(m_userType, m_userNumber, m_service);
}

void TVideoWndCtrl::OnBtnVideoRecordClick()
{
    if (!m_handler)
        return;
    switch (m_service) {
    case ZOX_VIDEOWND_UPLOAD:
        m_handler->ToggleSessionRecord(m_userNumber, 4);
        break;
    case ZOX_VIDEOWND_CALL:
        m_handler->ToggleSessionRecord(m_userNumber, 2);
        break;
    case ZOX_VIDEOWND_RTSP:
        m_handler->ToggleRtspRecord(m_userType, m_userNumber);
        break;
    }
}

void TVideoWndCtrl::OnBtnSoundClick()
{
    if (!m_handler || !m_soundEnabled || m_service != ZOX_VIDEOWND_RTSP)
        return;
    if (m_handler->ToggleRtspAudio(m_userType, m_userNumber, this) != 0)
        return;
    m_soundOpen = !m_soundOpen;
    if (m_buttons[ToolSound]->isVisibleTo(m_titleBar))
        SetIcon(ToolSound, m_soundOpen ? "IMG_BTN_VOLUME_NORMAL" : "IMG_BTN_VOLUME_MUTE_NORMAL");
}

void TVideoWndCtrl::OnBtnVideoScaleClick()
{
    if (m_state != ZOX_VIDEOWND_PLAYING || !m_karCallback || !m_karUserData)
        return;
    m_stretch = !m_stretch;
    SetIcon(ToolStretch, m_stretch ? "IMG_BTN_STRETCH_ACTIVED" : "IMG_BTN_STRETCH_NORMAL");
    m_karCallback(m_karUserData, m_stretch ? 0 : 1);
    LayoutVideoPanel();
}
