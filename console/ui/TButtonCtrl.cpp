#include "console/ui/TButtonCtrl.h"

#include "core/ui/PngResource.h"
#include "core/Edition.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QStackedLayout>

using namespace zox::skin;

namespace {
const QColor kCaptionColour(0xFF, 0xFF, 0xFF);
const QColor kCaptionDisabledColour(0xA0, 0xA0, 0xA4); // 0xA4A0A0 as BGR

void SetCaptionColour(QLabel *label, const QColor &c)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, c);
    label->setPalette(pal);
}
} // namespace

TButtonCtrl::TButtonCtrl(QWidget *owner, const QString &caption)
    : QWidget(owner), picture_(new QLabel(this)), caption_(new QLabel(caption, this))
{
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_TranslucentBackground);
    auto *stack = new QStackedLayout(this);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(caption_);
    stack->addWidget(picture_);
    caption_->raise();

    picture_->setScaledContents(true);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setAttribute(Qt::WA_TransparentForMouseEvents);

    caption_->setAlignment(Qt::AlignCenter);
    caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
    caption_->setAutoFillBackground(false);
    QFont f(QString::fromUtf8(zox::edition::kQuickActionFace), zox::edition::kQuickActionPoints);
    caption_->setFont(f);
    SetCaptionColour(caption_, kCaptionColour);

    map_.control = picture_;
    map_.names = {"IMG_BTN_OPERATE_DISABLED", "IMG_TASK_OPERATE_NORMAL", "IMG_BTN_OPERATE_FOCUSED",
                  "IMG_BTN_OPERATE_PRESSED"};
    SetImageStatus(kPictureNormal);
}

void TButtonCtrl::SetImageStatus(int state)
{
    if (!IsPictureState(state))
        return;
    if (picture_->isEnabled()) {
        LoadPngResource(picture_, QString::fromStdString(map_.names[state]));
        map_.state = state;
    } else {
        LoadPngResource(picture_, QString::fromStdString(map_.names[kPictureDisabled]));
        map_.state = kPictureDisabled;
    }
}

int TButtonCtrl::GetImageStatus() const
{
    return map_.state;
}

bool TButtonCtrl::IsPictureEnabled() const
{
    return picture_->isEnabled();
}

void TButtonCtrl::SetEnabled(bool enabled)
{
    if (picture_->isEnabled() == enabled)
        return;
    picture_->setEnabled(enabled);
    armed_ = false;
    if (enabled) {
        SetImageStatus(kPictureNormal);
        SetCaptionColour(caption_, kCaptionColour);
    } else {
        SetImageStatus(kPictureDisabled);
        SetCaptionColour(caption_, kCaptionDisabledColour);
    }
}

void TButtonCtrl::enterEvent(QEnterEvent *)
{
    SetImageStatus(kPictureFocused);
}

void TButtonCtrl::leaveEvent(QEvent *)
{
    SetImageStatus(kPictureNormal);
}

void TButtonCtrl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    SetImageStatus(kPicturePressed);
    armed_ = true;
}

void TButtonCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click shows pressed but clicks no second time.
    if (event->button() == Qt::LeftButton)
        SetImageStatus(kPicturePressed);
}

void TButtonCtrl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (map_.state == kPicturePressed)
        SetImageStatus(kPictureFocused);
    const bool click = armed_ && rect().contains(event->position().toPoint());
    armed_ = false;
    if (click && picture_->isEnabled() && onClick_)
        onClick_(this);
}
