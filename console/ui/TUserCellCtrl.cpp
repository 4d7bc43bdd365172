#include "console/ui/TUserCellCtrl.h"

#include "console/UserCellRules.h"
#include "core/ui/PngResource.h"
#include "core/Edition.h"

#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QToolTip>

using namespace zox::skin;

namespace {
void ApplyIcon(QLabel *icon, const CellIcon &c, std::string &shown)
{
    icon->setVisible(c.visible);
    icon->setToolTip(QString::fromStdString(c.hint));
    if (shown != c.picture) {
        LoadPngResource(icon, QString::fromStdString(c.picture));
        shown = c.picture;
    }
}
} // namespace

TUserCellCtrl::TUserCellCtrl(QWidget *owner, int userType, const std::string &name, const std::string &number,
                             std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState)
    : CellPanel(owner), picture_(new QLabel(this)), nameLabel_(new QLabel(this)), presenceIcon_(new QLabel(this)),
      callIcon_(new QLabel(this)), videoIcon_(new QLabel(this)), userType_(userType)
{
    resize(kCellWidth, kCellHeight);
    picture_->setAlignment(Qt::AlignCenter);
    LoadPngResource(picture_, QStringLiteral("IMG_USER_ICON_ONLINE"));

    nameLabel_->setAlignment(Qt::AlignCenter);
    nameLabel_->setWordWrap(true); // a wide (CJK) caption takes a second line
    QPalette pal = nameLabel_->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    nameLabel_->setPalette(pal);
    if (*zox::edition::kCellFace)
        nameLabel_->setFont(QFont(QString::fromUtf8(zox::edition::kCellFace), zox::edition::kCellPoints));
    for (QLabel *icon : {presenceIcon_, callIcon_, videoIcon_}) {
        icon->setFixedSize(kCellIconWidth, kCellIconHeight);
        icon->setAlignment(Qt::AlignCenter);
        icon->hide();
    }
    // The tile takes every mouse event itself (the cover over the whole tile).
    for (QLabel *l : {picture_, nameLabel_, presenceIcon_, callIcon_, videoIcon_})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);

    BindUser(userType, name, number, regState, callState, vpState);
}

void TUserCellCtrl::BindUser(int userType, const std::string &name, const std::string &number,
                             std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState)
{
    name_ = name;
    number_ = number;
    userType_ = userType;
    nameLabel_->setText(QString::fromStdString(UserCellCaption(name_, number_)));
    const std::string hint = UserCellHint(name_, number_);
    // The Chinese-language build shows no tip on its user cells.
    nameHintShown_ = !hint.empty() && !zox::edition::kChinese;
    nameLabel_->setToolTip(QString::fromStdString(hint));
    if (constructed_) {
        // A reused tile draws its new user's state whatever it showed before.
        lastRegState_ = regState;
        lastCallState_ = callState;
        lastVpState_ = vpState;
        DrawState();
        return;
    }
    constructed_ = true;
    UpdateUserState(regState, callState, vpState);
}

void TUserCellCtrl::UpdateUserState(std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState)
{
    if (regState == lastRegState_ && callState == lastCallState_ && vpState == lastVpState_)
        return;
    lastRegState_ = regState;
    lastCallState_ = callState;
    lastVpState_ = vpState;
    DrawState();
}

void TUserCellCtrl::DrawState()
{
    const UserCellIcons icons = UserCellIconsOf(lastRegState_, lastCallState_, lastVpState_);
    SetRegisterState(icons.presence);
    SetAudioTalkState(icons.call);
    SetVideoPushState(icons.video);
    LayoutControls();
}

void TUserCellCtrl::SetRegisterState(int value)
{
    ApplyIcon(presenceIcon_, PresenceIconOf(value), presencePicture_);
}

void TUserCellCtrl::SetAudioTalkState(int value)
{
    ApplyIcon(callIcon_, CallIconOf(value), callPicture_);
}

void TUserCellCtrl::SetVideoPushState(int value)
{
    ApplyIcon(videoIcon_, VideoIconOf(value), videoPicture_);
}

void TUserCellCtrl::LayoutControls()
{
    const std::array<bool, 3> visible = {!presenceIcon_->isHidden(), !callIcon_->isHidden(), !videoIcon_->isHidden()};
    const UserCellLayout l = LayoutUserCell(width(), height(), visible);
    picture_->setGeometry(0, 0, kCellPictureWidth, height());
    nameLabel_->setGeometry(l.nameLabel.left, l.nameLabel.top, l.nameLabel.width, l.nameLabel.height);
    QLabel *icons[3] = {presenceIcon_, callIcon_, videoIcon_};
    for (int i = 0; i < 3; ++i) {
        if (visible[i])
            icons[i]->move(l.icons[i].left, l.icons[i].top);
    }
}

void TUserCellCtrl::resizeEvent(QResizeEvent *)
{
    LayoutControls();
}

void TUserCellCtrl::SetUserTip(const std::string &tip)
{
    if (!tip.empty())
        nameLabel_->setToolTip(QString::fromStdString(tip));
}

void TUserCellCtrl::OnClickHandler(QObject *sender)
{
    if (IsSelected())
        return;
    QPointer<TUserCellCtrl> self(this);
    if (onSelect_)
        onSelect_(this, sender != nullptr);
    if (self)
        SetSelectedLook(true);
}

void TUserCellCtrl::OnDblClickHandler(QObject *)
{
    if (onUsableCheck_)
        onUsableCheck_(this);
}

void TUserCellCtrl::mouseDoubleClickEvent(QMouseEvent *event)
{
    CellPanel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        OnDblClickHandler(this);
}

bool TUserCellCtrl::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // The children let the mouse through; show the hint of the one under it.
        auto *help = static_cast<QHelpEvent *>(event);
        for (QLabel *icon : {presenceIcon_, callIcon_, videoIcon_}) {
            if (!icon->isHidden() && icon->geometry().contains(help->pos()) && !icon->toolTip().isEmpty()) {
                QToolTip::showText(help->globalPos(), icon->toolTip(), this, icon->geometry());
                return true;
            }
        }
        if (nameHintShown_ && nameLabel_->geometry().contains(help->pos()) && !nameLabel_->toolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), nameLabel_->toolTip(), this, nameLabel_->geometry());
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return CellPanel::event(event);
}
