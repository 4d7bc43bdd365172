#include "console/ui/TDialBtnCtrl.h"

#include "core/ui/PngResource.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {
const QColor kPanelColour(0x30, 0x31, 0x33); // 0x333130 as BGR
}

TDialBtnCtrl::TDialBtnCtrl(QWidget *owner, const std::string &picture, const std::string &key, Callback callback)
    : QWidget(owner), picture_(new QLabel(this)), key_(key), callback_(callback), context_(owner)
{
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::TabFocus);
    picture_->setGeometry(rect());
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
    picture_->setAttribute(Qt::WA_TranslucentBackground);
    LoadPngResource(picture_, QString::fromStdString(picture));
}

void TDialBtnCtrl::SetNormalState()
{
    pressed_ = false;
    picture_->setGeometry(rect());
    update();
}

void TDialBtnCtrl::SetFocusedState()
{
    SetNormalState();
}

void TDialBtnCtrl::SetPressedState()
{
    pressed_ = true;
    picture_->setGeometry(rect().adjusted(1, 1, -1, -1));
    update();
}

void TDialBtnCtrl::SetEnabled(bool enabled)
{
    picture_->setEnabled(enabled);
}

bool TDialBtnCtrl::IsPictureEnabled() const
{
    return picture_->isEnabled();
}

void TDialBtnCtrl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kPanelColour);
    if (pressed_) {
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TDialBtnCtrl::enterEvent(QEnterEvent *)
{
    if (picture_->isEnabled())
        SetFocusedState();
}

void TDialBtnCtrl::leaveEvent(QEvent *)
{
    SetNormalState();
}

void TDialBtnCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !picture_->isEnabled())
        return;
    SetPressedState();
    armed_ = true;
}

void TDialBtnCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    SetFocusedState();
    const bool click = armed_ && rect().contains(event->position().toPoint());
    armed_ = false;
    if (click)
        Fire();
}

void TDialBtnCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click enters the key once more; its release is no
    // further click.
    if (event->button() != Qt::LeftButton || !picture_->isEnabled())
        return;
    SetPressedState();
    armed_ = false;
    Fire();
}

void TDialBtnCtrl::Fire()
{
    if (callback_ && context_ && picture_->isEnabled())
        callback_(context_, key_);
}
