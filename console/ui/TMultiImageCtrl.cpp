#include "console/ui/TMultiImageCtrl.h"

#include "core/ui/PngResource.h"

#include <QEvent>
#include <QGestureEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>

using namespace zox::skin;

TMultiImageCtrl::TMultiImageCtrl(QWidget *owner)
    : QWidget(owner), background_(new QLabel(this)), foreground_(new QLabel(this))
{
    setFixedSize(kSize, kSize);
    setAttribute(Qt::WA_TranslucentBackground);
    for (QLabel *l : {background_, foreground_}) {
        l->setGeometry(rect());
        l->setAlignment(Qt::AlignCenter);
        l->setScaledContents(false);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    foreground_->raise();
    backgroundNames_ = {"IMG_PANEL_BG_DISABLED", "IMG_PANEL_BG_NORMAL", "IMG_PANEL_BG_FOCUSED",
                        "IMG_PANEL_BG_PRESSED"};
}

void TMultiImageCtrl::SetForegroundImage(const std::string &normal, const std::string &focused,
                                         const std::string &pressed, const std::string &disabled)
{
    foregroundNames_ = {disabled, normal, focused, pressed};
}

void TMultiImageCtrl::SetBackgroundImage(const std::string &normal, const std::string &focused,
                                         const std::string &pressed, const std::string &disabled)
{
    backgroundNames_ = {disabled, normal, focused, pressed};
}

void TMultiImageCtrl::UpdateForegroundImage(const std::string &normal, const std::string &focused,
                                            const std::string &pressed, const std::string &disabled)
{
    SetForegroundImage(normal, focused, pressed, disabled);
    SetImageStatus(state_);
}

void TMultiImageCtrl::SetImageStatus(int v)
{
    if (!IsPictureState(v))
        return;
    state_ = foreground_->isEnabled() ? v : kPictureDisabled;
    LoadPngResource(background_, QString::fromStdString(backgroundNames_[state_]));
    LoadPngResource(foreground_, QString::fromStdString(foregroundNames_[state_]));
}

bool TMultiImageCtrl::IsPictureEnabled() const
{
    return foreground_->isEnabled();
}

void TMultiImageCtrl::SetEnabled(bool enabled)
{
    if (foreground_->isEnabled() == enabled)
        return;
    foreground_->setEnabled(enabled);
    armed_ = false;
    SetImageStatus(enabled ? kPictureNormal : kPictureDisabled);
    if (!enabled)
        EndPress(); // a press held while the button is disabled still ends
}

void TMultiImageCtrl::SetHint(const QString &text)
{
    // The hint shows over the whole control, which the foreground fills.
    foreground_->setToolTip(text);
    setToolTip(text);
}

void TMultiImageCtrl::SetGestureManager(const QList<Qt::GestureType> &gestures)
{
    if (gestures.isEmpty())
        return;
    for (Qt::GestureType g : gestures)
        grabGesture(g);
}

void TMultiImageCtrl::EndPress()
{
    if (latch_.TakeRelease() && onMouseUp_)
        onMouseUp_(foreground_);
}

bool TMultiImageCtrl::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Gesture:
        if (foreground_->isEnabled() && onGesture_) {
            onGesture_(foreground_, static_cast<QGestureEvent *>(event));
            return true;
        }
        break;
    case QEvent::Hide:
    case QEvent::WindowBlocked:
    case QEvent::WindowDeactivate:
        // The button can no longer come up over us: end the press now.
        armed_ = false;
        EndPress();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TMultiImageCtrl::enterEvent(QEnterEvent *)
{
    if (foreground_->isEnabled())
        SetImageStatus(kPictureFocused);
}

void TMultiImageCtrl::leaveEvent(QEvent *)
{
    if (foreground_->isEnabled())
        SetImageStatus(kPictureNormal);
}

void TMultiImageCtrl::Press(bool countsAsClick)
{
    SetImageStatus(kPicturePressed);
    armed_ = countsAsClick;
    if (latch_.IsHeld())
        return;
    latch_.Press();
    if (onMouseDown_)
        onMouseDown_(foreground_);
}

void TMultiImageCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && foreground_->isEnabled())
        Press(true);
}

void TMultiImageCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && foreground_->isEnabled())
        Press(false);
}

void TMultiImageCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = armed_ && foreground_->isEnabled() && rect().contains(event->position().toPoint());
    armed_ = false;
    if (foreground_->isEnabled() && state_ == kPicturePressed)
        SetImageStatus(kPictureFocused);
    QPointer<TMultiImageCtrl> self(this);
    EndPress();
    if (self && click && onClick_)
        onClick_(foreground_);
}
